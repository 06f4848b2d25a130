#include "app/platform.h"

#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QSettings>

namespace app {

bool QtClipboard::setText(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->clear();
    clipboard->setText(text);
    // Another program may hold the clipboard; only what reads back counts as copied.
    return clipboard->text() == text;
}

bool QtClipboard::setImage(const QImage& image)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setImage(image); // offered as image/png, among others
    const QMimeData* data = clipboard->mimeData();
    return data && data->hasImage();
}

QString QtFileDialogs::askOpenName(QWidget* parent, const QString& caption, const QString& filter)
{
    QSettings settings;
    const QString key = QStringLiteral("lastOpenFolder");
    const QString name =
        QFileDialog::getOpenFileName(parent, caption, settings.value(key).toString(), filter);
    if (!name.isEmpty())
        settings.setValue(key, QFileInfo(name).absolutePath());
    return name;
}

QString QtFileDialogs::askSaveName(QWidget* parent, const QString& caption,
                                   const QString& suggested, const std::vector<FileFormat>& formats)
{
    QStringList filters;
    for (const FileFormat& f : formats)
        filters << f.filter;
    QFileDialog dialog(parent, caption);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    // The dialog adds the suffix itself, before it asks about replacing a file.
    dialog.setDefaultSuffix(formats.front().extension);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        const auto f = std::find_if(formats.begin(), formats.end(),
                                    [&](const FileFormat& x) { return x.filter == filter; });
        if (f != formats.end())
            dialog.setDefaultSuffix(f->extension);
    });
    dialog.selectFile(suggested);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        QString name = dialog.selectedFiles().constFirst();
        const QString suffix = QFileInfo(name).suffix().toLower();
        if (std::any_of(formats.begin(), formats.end(),
                        [&](const FileFormat& f) { return f.extension == suffix; }))
            return name;
        // "notes.v2": a suffix the dialog leaves alone, so the extension is added here and the
        // question about an existing file asked here too.
        name += QLatin1Char('.') + dialog.defaultSuffix();
        if (!QFileInfo::exists(name) ||
            QMessageBox::question(&dialog, caption,
                                  QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                      .arg(QFileInfo(name).fileName())) == QMessageBox::Yes)
            return name;
        dialog.selectFile(name);
    }
}

void QtMessageBoxes::show(QWidget* parent, Icon icon, const QString& title, const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(icon == Icon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon, title,
                    shown, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText); // messages quote paths and the print server's words
    box.exec();
}

int QtMessageBoxes::ask(QWidget* parent, const QString& title, const QString& text,
                        const QStringList& buttons)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    QList<QAbstractButton*> pressed;
    for (const QString& caption : buttons) {
        QPushButton* button = box.addButton(caption, QMessageBox::AcceptRole);
        pressed << button;
        if (pressed.size() == 1)
            box.setDefaultButton(button);
    }
    if (!pressed.isEmpty())
        box.setEscapeButton(pressed.back());
    box.exec();
    return int(pressed.indexOf(box.clickedButton()));
}

void QtOpener::open(const QUrl& target, QObject* context, std::function<void(bool)> done)
{
    // A document that is not there is a failure before any program is started.
    if (target.isLocalFile() && !QFileInfo::exists(target.toLocalFile())) {
        done(false);
        return;
    }
    // No parent: the program it starts (a PDF reader, say) outlives this window.
    auto* process = new QProcess;
    process->setProgram(program_);
    process->setArguments(
        {target.isLocalFile() ? target.toLocalFile() : target.toString(QUrl::FullyEncoded)});
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, context,
                     [done](int code, QProcess::ExitStatus status) {
                         done(status == QProcess::NormalExit && code == 0);
                     });
    QObject::connect(process, &QProcess::errorOccurred, context,
                     [done](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart)
                             done(false);
                     });
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QObject::connect(process, &QProcess::errorOccurred, process, [process](auto error) {
        if (error == QProcess::FailedToStart)
            process->deleteLater();
    });
    process->start();
}

} // namespace app
