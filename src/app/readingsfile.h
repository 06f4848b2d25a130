#pragma once
// Measured readings from a file, for the window and the command line alike.

#include "chem/result.h"
#include "lab/readings.h"

#include <QString>

namespace app {

/// The readings in the file at `path`, or why they cannot be had: the file's own failure or the
/// reader's ("line 7: …"). A file over the reader's limit is refused after reading one byte
/// past it, never read whole.
chem::Result<lab::Readings> readReadingsFile(const QString& path);

} // namespace app
