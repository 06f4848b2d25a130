#pragma once
// Save as…: the file dialog, the format, the write and its failure message, the same for the
// curve and the results. The bytes come from the writers; this only chooses where they go.

#include "app/platform.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace app {

/// Asks where to save, starting in the folder last saved to, with `baseName` suggested in the
/// first format. The format is the extension of the name the dialog returns. Writes
/// `bytesFor(extension)` whole or not at all; a failure is told in a message box with the system's
/// reason. Nothing is written when the user cancels. True when a file was written.
bool saveWithDialog(QWidget* parent, Platform& platform, const QString& caption,
                    const QString& baseName, const std::vector<FileFormat>& formats,
                    const std::function<QByteArray(const QString& extension)>& bytesFor);

/// A file name from a title: the characters a file system may refuse become blanks.
QString fileNameFrom(const QString& title);

} // namespace app
