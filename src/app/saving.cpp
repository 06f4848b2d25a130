#include "app/saving.h"

#include "app/appinfo.h"
#include "app/platform.h"
#include "output/writers.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace app {

namespace {
const QString kLastFolderKey = QStringLiteral("save/lastFolder");
}

QString fileNameFrom(const QString& title)
{
    QString name = title;
    for (QChar& c : name)
        if (c < QLatin1Char(' ') || QStringLiteral("/\\:*?\"<>|").contains(c))
            c = QLatin1Char(' ');
    name = name.simplified();
    return name.isEmpty() ? QStringLiteral("Acidora") : name;
}

bool saveWithDialog(QWidget* parent, Platform& platform, const QString& caption,
                    const QString& baseName, const std::vector<FileFormat>& formats,
                    const std::function<QByteArray(const QString& extension)>& bytesFor)
{
    QSettings settings;
    const QString folder =
        settings
            .value(kLastFolderKey,
                   QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .toString();
    const QString path = platform.files.askSaveName(
        parent, caption, QDir(folder).filePath(baseName + QLatin1Char('.') + formats[0].extension),
        formats);
    if (path.isEmpty())
        return false; // cancelled

    // The dialog has given the name its extension, so its question about replacing a file was
    // about this one.
    const QString extension = QFileInfo(path).suffix().toLower();

    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QByteArray bytes = bytesFor(extension);
    const std::optional<QString> failure =
        bytes.isEmpty() ? std::optional<QString>(QStringLiteral("Nothing could be drawn."))
                        : output::saveFile(path, bytes);
    QApplication::restoreOverrideCursor();
    if (failure) {
        platform.messages.show(parent, MessageBoxes::Icon::Exclamation, kProgramName,
                               QStringLiteral("Sorry, %1 could not be saved.\n%2")
                                   .arg(QDir::toNativeSeparators(path), *failure));
        return false;
    }
    settings.setValue(kLastFolderKey, QFileInfo(path).absolutePath());
    return true;
}

} // namespace app
