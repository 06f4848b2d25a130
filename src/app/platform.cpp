#include "app/platform.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>

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

void QtMessageBoxes::show(QWidget* parent, Icon icon, const QString& title, const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(icon == Icon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon, title,
                    shown, QMessageBox::Ok, parent);
    box.exec();
}

bool QtOpener::open(const QUrl& target)
{
    // A document that is not there is a failure before any program is started.
    if (target.isLocalFile() && !QFileInfo::exists(target.toLocalFile()))
        return false;
    return QDesktopServices::openUrl(target);
}

} // namespace app
