#pragma once
// Measured readings from a file, for the window and the command line alike.

#include "chem/result.h"
#include "lab/readings.h"

#include <QByteArray>
#include <QString>

namespace app {

/// Which files are read: the window refuses a FIFO or a device, which could keep it waiting
/// for ever; the command line reads a pipe, as `cat` does.
enum class FileKinds { Any, RegularOnly };

/// The bytes of the file at `path`, at most one past the reader's limit (a larger file is
/// refused by the reader without being read whole), or the system's reason there are none.
chem::Result<QByteArray> readingsBytes(const QString& path, FileKinds kinds);

/// The readings in the file at `path` with `options`, or why they cannot be had: the file's
/// own failure or the reader's ("line 7: …").
lab::ReadingsRead readReadingsFile(const QString& path, const lab::ReadOptions& options = {},
                                   FileKinds kinds = FileKinds::Any);

/// A file read for the window off its thread: its bytes, kept for a second reading with the
/// columns the user chooses, and what the reader made of them.
struct LoadedReadings
{
    QString path;
    QByteArray bytes;
    lab::ReadingsRead read;
    bool chosen = false; ///< read with the user's choice of run and columns
};

/// Reads a regular file at `path` with the columns found by themselves; for a worker thread.
LoadedReadings loadReadings(const QString& path);

/// `loaded` read again with the user's choice; for a worker thread.
LoadedReadings rereadReadings(LoadedReadings loaded, const lab::ReadOptions& options);

} // namespace app
