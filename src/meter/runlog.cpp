#include "meter/runlog.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

namespace meter {

namespace {

using Done = chem::Result<bool>;

constexpr std::string_view kTitle = "# Acidora live readings";
constexpr std::string_view kColumns = "volume (mL),pH";
constexpr std::string_view kFinished = "# finished";

std::string systemReason(const std::filesystem::path& path)
{
    return path.string() + ": " + std::strerror(errno);
}

std::string number(double x)
{
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, x);
    return error == std::errc{} ? std::string(buffer, end) : std::string("0");
}

std::string headText(const RunHeader& header)
{
    std::string text = std::string(kTitle) + '\n';
    for (const auto& [name, value] : header)
        text += "# " + name + ' ' + value + '\n';
    return text + std::string(kColumns) + '\n';
}

std::optional<double> numberIn(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    double x = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), x);
    if (error != std::errc{} || end == text.data())
        return std::nullopt;
    return x;
}

std::optional<Reading> readingIn(std::string_view line)
{
    const std::size_t comma = line.find(',');
    if (comma == std::string_view::npos)
        return std::nullopt;
    const auto volume = numberIn(line.substr(0, comma));
    const auto pH = numberIn(line.substr(comma + 1));
    if (!volume || !pH || !std::isfinite(*volume) || !std::isfinite(*pH))
        return std::nullopt; // "nan" and "inf" are numbers to from_chars
    return Reading{*volume, *pH};
}

} // namespace

RunLog::~RunLog()
{
    close();
}

void RunLog::close()
{
    if (file_)
        std::fclose(file_);
    file_ = nullptr;
}

Done RunLog::write(const std::string& text)
{
    if (!file_)
        return Done::failed("no run is being written");
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() || std::fflush(file_) != 0)
        return Done::failed(systemReason(path_));
    return Done::success(true);
}

Done RunLog::start(const std::filesystem::path& path, const RunHeader& header)
{
    close();
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);
    path_ = path;
    header_ = header;
    file_ = std::fopen(path.c_str(), "wx"); // never over a run already there
    if (!file_)
        return Done::failed(systemReason(path));
    return write(headText(header));
}

Done RunLog::resume(const std::filesystem::path& path)
{
    close();
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in)
        return Done::failed(systemReason(path));
    path_ = path;
    header_ = readRun(text.str()).header;
    file_ = std::fopen(path.c_str(), "a");
    if (!file_)
        return Done::failed(systemReason(path));
    return Done::success(true);
}

Done RunLog::append(const Reading& reading)
{
    return write(readingLine(reading) + '\n');
}

Done RunLog::rewrite(const std::vector<Reading>& readings)
{
    if (!file_)
        return Done::failed("no run is being written");
    // A new file beside the old, then renamed over it: a crash meanwhile leaves one of the two.
    std::filesystem::path fresh = path_;
    fresh += ".new";
    std::string text = headText(header_);
    for (const Reading& r : readings)
        text += readingLine(r) + '\n';
    std::FILE* out = std::fopen(fresh.c_str(), "w");
    if (!out)
        return Done::failed(systemReason(fresh));
    const bool whole =
        std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0;
    const bool closed = std::fclose(out) == 0;
    std::error_code renamed;
    if (whole && closed)
        std::filesystem::rename(fresh, path_, renamed);
    if (!whole || !closed || renamed) {
        std::filesystem::remove(fresh, renamed);
        return Done::failed(path_.string() + ": the run could not be written anew");
    }
    std::fclose(file_);
    file_ = std::fopen(path_.c_str(), "a");
    return file_ ? Done::success(true) : Done::failed(systemReason(path_));
}

Done RunLog::finish()
{
    const Done done = write(std::string(kFinished) + '\n');
    close();
    return done;
}

std::string readingLine(const Reading& reading)
{
    return number(reading.volume) + ',' + number(reading.pH);
}

SavedRun readRun(std::string_view text)
{
    SavedRun run;
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line == kFinished) {
            run.finished = true;
        } else if (line.rfind("# ", 0) == 0 && line != kTitle) {
            const std::size_t blank = line.find(' ', 2);
            if (blank != std::string::npos)
                run.header.emplace_back(line.substr(2, blank - 2), line.substr(blank + 1));
        } else if (const auto reading = readingIn(line)) {
            run.readings.push_back(*reading);
            run.finished = false; // readings after a finish: the run went on
        }
    }
    return run;
}

std::vector<SavedRun> unfinishedRuns(const std::filesystem::path& folder)
{
    std::vector<std::pair<std::filesystem::file_time_type, SavedRun>> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().extension() != ".csv" || !entry.is_regular_file(error))
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        SavedRun run = readRun(text.str());
        if (run.finished || run.readings.empty())
            continue;
        run.path = entry.path();
        found.emplace_back(entry.last_write_time(error), std::move(run));
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<SavedRun> runs;
    for (auto& [time, run] : found)
        runs.push_back(std::move(run));
    return runs;
}

} // namespace meter
