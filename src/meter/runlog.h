#pragma once
// A live run on disk, so that nothing kept is lost: each reading is written to the file and
// handed to the system the moment it is kept, before anything shows it, so a crash, a pulled
// cable or a closed laptop loses none. The file is a readings file like any other (comment
// lines, a header, "volume,pH" lines) and opens as one; a run ends with "# finished", and one
// without it is offered for resuming. No Qt.

#include "chem/result.h"
#include "meter/liverun.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace meter {

/// A run's name and value lines at its head ("# setup titrant 0.1"): what it was taken with.
using RunHeader = std::vector<std::pair<std::string, std::string>>;

class RunLog
{
public:
    RunLog() = default;
    RunLog(const RunLog&) = delete;
    RunLog& operator=(const RunLog&) = delete;
    ~RunLog();

    /// Starts a run in `path` (a new file, or one left off whose readings `resumed` are, to
    /// go on with); fails with the system's reason.
    chem::Result<bool> start(const std::filesystem::path& path, const RunHeader& header);
    chem::Result<bool> resume(const std::filesystem::path& path);
    /// Writes one reading and hands it to the system; fails with the system's reason.
    chem::Result<bool> append(const Reading& reading);
    /// Writes the file anew with the readings left after an undo.
    chem::Result<bool> rewrite(const std::vector<Reading>& readings);
    /// Marks the run finished and closes the file.
    chem::Result<bool> finish();
    bool isOpen() const { return file_ != nullptr; }
    const std::filesystem::path& path() const { return path_; }

private:
    chem::Result<bool> write(const std::string& text);
    void close();

    std::FILE* file_ = nullptr;
    std::filesystem::path path_;
    RunHeader header_;
};

/// A run read back from its file.
struct SavedRun
{
    std::filesystem::path path;
    RunHeader header;
    std::vector<Reading> readings;
    bool finished = false;
};

/// The run in `text` (a RunLog's file).
SavedRun readRun(std::string_view text);
/// The runs in `folder` not finished, with readings, newest first; none when it does not exist.
std::vector<SavedRun> unfinishedRuns(const std::filesystem::path& folder);
/// A run's line for a reading: "12.5,4.7445" with every digit the numbers need.
std::string readingLine(const Reading& reading);

} // namespace meter
