#include "lab/readings.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <numeric>
#include <optional>
#include <span>
#include <string>

namespace lab {

namespace {

using Failure = chem::Result<Readings>;

enum class Separator { Comma, Semicolon, Tab, Blanks };

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

/// Whether `s` is well-formed UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool isUtf8(std::string_view s)
{
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const auto* const end = p + s.size();
    while (p < end) {
        const unsigned c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int more = 0;
        unsigned low = 0x80, high = 0xBF; // the allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            low = c == 0xE0 ? 0xA0 : 0x80;
            high = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            low = c == 0xF0 ? 0x90 : 0x80;
            high = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (end - p <= more || p[1] < low || p[1] > high)
            return false;
        for (int i = 2; i <= more; ++i)
            if ((p[i] & 0xC0) != 0x80)
                return false;
        p += more + 1;
    }
    return true;
}

/// The number `field` spells in full: an optional sign, digits with a decimal point (or a
/// decimal comma when `decimalComma`), an optional exponent. Nothing else, and finite.
std::optional<double> number(std::string_view field, bool decimalComma)
{
    char buffer[64];
    if (field.empty() || field.size() >= sizeof buffer)
        return std::nullopt;
    if (field.front() == '+') {
        field.remove_prefix(1); // from_chars takes no '+', and must not see "+-1"
        if (field.empty() || field.front() == '-' || field.front() == '+')
            return std::nullopt;
    }
    std::size_t n = 0;
    for (const char c : field) {
        // Only what a number is spelt with: from_chars would also take "inf" and "nan".
        const bool allowed = (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' ||
                             c == 'e' || c == 'E' || (decimalComma && c == ',');
        if (!allowed)
            return std::nullopt;
        buffer[n++] = c == ',' ? '.' : c;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(buffer, buffer + n, value);
    if (error != std::errc{} || end != buffer + n || !std::isfinite(value))
        return std::nullopt;
    return value;
}

/// The separator of a line: a semicolon if there is one; else blanks when a run of blanks
/// stands between two characters that are not commas ("12,5 4,7" has a decimal comma); else a
/// comma if there is one ("12.5, 4.7").
Separator separatorOf(std::string_view line)
{
    line = trimmed(line);
    if (line.find(';') != std::string_view::npos)
        return Separator::Semicolon;
    for (std::size_t i = 1; i < line.size(); ++i) {
        if (!isBlank(line[i]) || isBlank(line[i - 1]))
            continue;
        std::size_t j = i;
        while (j < line.size() && isBlank(line[j]))
            ++j;
        if (line[i - 1] != ',' && j < line.size() && line[j] != ',')
            return Separator::Blanks;
    }
    return line.find(',') != std::string_view::npos ? Separator::Comma : Separator::Blanks;
}

/// A field quoted in a refusal: at most 24 bytes, cut at a character boundary.
std::string quoted(std::string_view field)
{
    if (field.size() > 24) {
        std::size_t n = 24;
        while (n > 0 && (static_cast<unsigned char>(field[n]) & 0xC0) == 0x80)
            --n;
        return '"' + std::string(field.substr(0, n)) + "...\"";
    }
    return '"' + std::string(field) + '"';
}

std::string numberText(double x)
{
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, x);
    return error == std::errc{} ? std::string(buffer, end) : std::string("?");
}

/// Splits `line` into `fields`, each trimmed and without its surrounding double quotes. A
/// separator inside double quotes is text ("Volume (mL, total)"). Tabs alone keep empty cells
/// at either end of the line.
void split(std::string_view line, Separator separator, std::vector<std::string_view>& fields)
{
    fields.clear();
    const auto add = [&](std::string_view f) {
        f = trimmed(f);
        if (f.size() >= 2 && f.front() == '"' && f.back() == '"')
            f = trimmed(f.substr(1, f.size() - 2));
        fields.push_back(f);
    };
    if (separator != Separator::Tab)
        line = trimmed(line);
    if (separator == Separator::Blanks) {
        std::size_t i = 0;
        while (i < line.size()) {
            const std::size_t start = i;
            while (i < line.size() && !isBlank(line[i]))
                ++i;
            add(line.substr(start, i - start));
            while (i < line.size() && isBlank(line[i]))
                ++i;
        }
        return;
    }
    const char c = separator == Separator::Comma ? ',' : separator == Separator::Tab ? '\t' : ';';
    bool inQuotes = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        if (i < line.size() && line[i] == '"')
            inQuotes = !inQuotes;
        else if (i == line.size() || (!inQuotes && line[i] == c)) {
            add(line.substr(start, i - start));
            start = i + 1;
        }
    }
}

/// The lines of a text, ended by LF, CR LF or CR alone (old spreadsheets and some meters),
/// each without its comment; a line that is not text stops the reading with its reason.
class Lines
{
public:
    explicit Lines(std::string_view text) : rest_(text) {}

    /// The next line's content (up to a "#"), or none at the end or at a line that is not text
    /// (then `fault` says why).
    std::optional<std::string_view> next()
    {
        if (rest_.empty())
            return std::nullopt;
        ++number_;
        const std::size_t end = rest_.find_first_of("\r\n");
        std::string_view line = rest_.substr(0, end);
        std::size_t skip = end == std::string_view::npos ? rest_.size() : end + 1;
        if (end != std::string_view::npos && rest_[end] == '\r' && end + 1 < rest_.size() &&
            rest_[end + 1] == '\n')
            ++skip;
        rest_.remove_prefix(skip);
        if (line.find('\0') != std::string_view::npos)
            fault = "not text (a NUL byte)";
        else if (!isUtf8(line))
            fault = "not text (not UTF-8)";
        if (!fault.empty()) {
            rest_ = {};
            return std::nullopt;
        }
        return line.substr(0, line.find('#'));
    }
    std::size_t number() const { return number_; }

    std::string fault;

private:
    std::string_view rest_;
    std::size_t number_ = 0;
};

/// Lower case in ASCII only: a header's case, whatever the locale (no Turkish dotless i).
char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

/// The run a header names ("Run 3: pH" is run 3), and the rest of it; run 0 when none.
std::pair<int, std::string_view> runOf(std::string_view header)
{
    if (header.size() < 5 || lowerAscii(header[0]) != 'r' || lowerAscii(header[1]) != 'u' ||
        lowerAscii(header[2]) != 'n')
        return {0, header};
    std::size_t i = 3;
    while (i < header.size() && isBlank(header[i]))
        ++i;
    int run = 0;
    const auto [end, error] =
        std::from_chars(header.data() + i, header.data() + header.size(), run);
    std::string_view rest = header.substr(std::size_t(end - header.data()));
    rest = trimmed(rest);
    if (error != std::errc{} || run <= 0 || rest.empty() || rest.front() != ':')
        return {0, header};
    return {run, trimmed(rest.substr(1))};
}

/// The words of a header in lower case: runs of ASCII letters, digits, '^' and non-ASCII
/// bytes, so that "cm³" and "cm^3" are single words.
std::vector<std::string> wordsOf(std::string_view header)
{
    std::vector<std::string> words(1);
    for (const char c : header) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (letter || (c >= '0' && c <= '9') || c == '^' || static_cast<unsigned char>(c) >= 0x80)
            words.back() += lowerAscii(c);
        else if (!words.back().empty())
            words.emplace_back();
    }
    if (words.back().empty())
        words.pop_back();
    return words;
}

enum class Quantity { Other, Volume, PH };

/// What a header names: a volume word anywhere ("Volume of NaOH added (cm³)"), or "V" first;
/// "pH" as a word of its own, so that "dpH/dV" and "ΔpH" are neither.
Quantity quantityOf(std::string_view header)
{
    static constexpr std::array<std::string_view, 12> kVolumeWords{
        "volume",  "vol",   "ml",        "cm³",     "cm^3",  "cm3",
        "titrant", "added", "dispensed", "burette", "buret", "delivered"};
    const std::vector<std::string> words = wordsOf(runOf(header).second);
    if (std::find(words.begin(), words.end(), "ph") != words.end())
        return Quantity::PH;
    for (const std::string& w : words)
        if (std::find(kVolumeWords.begin(), kVolumeWords.end(), w) != kVolumeWords.end())
            return Quantity::Volume;
    return !words.empty() && words.front() == "v" ? Quantity::Volume : Quantity::Other;
}

std::string lowered(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = lowerAscii(c);
    return out;
}

/// What the first lines of a file say: the header, the separator and the width of a line.
struct Survey
{
    std::size_t headerLine = 0; ///< 0 without a header
    std::string_view header;
    Separator separator = Separator::Blanks;
    std::size_t width = 2; ///< the header's columns, else the first reading's; at least 2
};

Survey survey(std::string_view text)
{
    Survey s;
    Lines lines(text);
    std::vector<std::string_view> fields;
    while (const std::optional<std::string_view> line = lines.next()) {
        if (trimmed(*line).empty())
            continue;
        Separator sep = separatorOf(*line);
        split(*line, sep, fields);
        const auto filled =
            std::find_if(fields.begin(), fields.end(), [](auto f) { return !f.empty(); });
        if (s.headerLine == 0 && s.header.empty() && filled != fields.end() &&
            !number(*filled, sep != Separator::Comma)) {
            s.headerLine = lines.number();
            s.header = *line;
            continue;
        }
        // Tabs alone separate a tab-separated export, whose empty cells are its log's blanks.
        if (sep == Separator::Blanks && line->find('\t') != std::string_view::npos &&
            (s.header.find('\t') != std::string_view::npos ||
             line->find("\t\t") != std::string_view::npos))
            sep = Separator::Tab;
        s.separator = sep;
        split(*line, sep, fields);
        s.width = std::max<std::size_t>(2, fields.size());
        if (!s.header.empty()) {
            split(s.header, sep, fields);
            if (fields.size() >= 2)
                s.width = fields.size();
        }
        break;
    }
    return s;
}

/// Whether each column holds numbers: the first filled cell of each column, over the readings,
/// is one. Looks no further than it must to know the columns in `wanted`.
std::vector<bool> numericColumns(std::string_view text, const Survey& s,
                                 const std::vector<std::size_t>& wanted)
{
    std::vector<int> state(s.width, -1); // -1 unknown, 0 text, 1 number
    Lines lines(text);
    std::vector<std::string_view> fields;
    const auto known = [&] {
        int numeric = 0;
        for (const std::size_t c : wanted) {
            if (state[c] < 0)
                return false;
            if ((numeric += state[c]) == 2)
                return true;
        }
        return true;
    };
    while (const std::optional<std::string_view> line = lines.next()) {
        if (lines.number() == s.headerLine || trimmed(*line).empty())
            continue;
        split(*line, s.separator, fields);
        for (std::size_t c = 0; c < std::min(fields.size(), s.width); ++c)
            if (state[c] < 0 && !fields[c].empty())
                state[c] = number(fields[c], s.separator != Separator::Comma) ? 1 : 0;
        if (known())
            break;
    }
    std::vector<bool> numeric(s.width);
    for (std::size_t c = 0; c < s.width; ++c)
        numeric[c] = state[c] == 1;
    return numeric;
}

std::string runList(const std::vector<int>& runs)
{
    std::string list;
    for (const int r : runs)
        list += (list.empty() ? "" : ", ") + std::to_string(r);
    return list;
}

/// The run to read and its columns, or why there is none.
chem::Result<std::vector<std::size_t>> chooseRun(ReadingsLayout& layout, int wanted)
{
    using Failed = chem::Result<std::vector<std::size_t>>;
    std::vector<int> runOfColumn;
    for (const std::string& h : layout.headers) {
        runOfColumn.push_back(runOf(h).first);
        if (runOfColumn.back() > 0 && std::find(layout.runs.begin(), layout.runs.end(),
                                                runOfColumn.back()) == layout.runs.end())
            layout.runs.push_back(runOfColumn.back());
    }
    if (wanted > 0 && layout.runs.empty())
        return Failed::failed("no run " + std::to_string(wanted) +
                              ": no header names a run (\"Run 1: pH\")");
    if (wanted > 0 &&
        std::find(layout.runs.begin(), layout.runs.end(), wanted) == layout.runs.end())
        return Failed::failed("no run " + std::to_string(wanted) +
                              " in the file (its runs: " + runList(layout.runs) + ")");
    layout.run = wanted > 0 ? wanted : layout.runs.empty() ? 0 : layout.runs.front();
    std::vector<std::size_t> columns;
    for (std::size_t c = 0; c < runOfColumn.size(); ++c)
        if (layout.run == 0 || runOfColumn[c] == layout.run)
            columns.push_back(c);
    return Failed::success(std::move(columns));
}

/// The column `pick` names among `columns` (or in the whole line, by number), or why none.
chem::Result<std::size_t> pickedColumn(const ColumnPick& pick, const ReadingsLayout& layout,
                                       const std::vector<std::size_t>& columns, std::size_t width)
{
    using Failed = chem::Result<std::size_t>;
    if (pick.number > 0) {
        if (pick.number > width)
            return Failed::failed("no column " + std::to_string(pick.number) + ": the file has " +
                                  std::to_string(width));
        return Failed::success(pick.number - 1);
    }
    const std::string wanted = lowered(pick.header);
    if (layout.headers.empty())
        return Failed::failed("no column headed \"" + pick.header + "\": the file has no header");
    // A whole header (without its run) before a part of one: "pH" is not "dpH/dV".
    for (const bool whole : {true, false})
        for (const std::size_t c : columns) {
            const std::string h = lowered(runOf(layout.headers[c]).second);
            if (whole ? h == wanted : h.find(wanted) != std::string::npos)
                return Failed::success(c);
        }
    return Failed::failed("no column headed \"" + pick.header + "\"" +
                          (layout.run > 0 ? " in run " + std::to_string(layout.run) : ""));
}

/// Which columns hold the volume and the pH: the options', else the headers', else the first
/// numeric columns (in a two-column file, the volume then the pH).
std::string chooseColumns(std::string_view text, const Survey& s, const ReadOptions& options,
                          ReadingsLayout& layout)
{
    layout.columns = s.width;
    if (!s.header.empty()) {
        std::vector<std::string_view> fields;
        split(s.header, s.separator, fields);
        if (fields.size() == s.width)
            layout.headers.assign(fields.begin(), fields.end());
    }
    chem::Result<std::vector<std::size_t>> run = chooseRun(layout, options.run);
    if (!run)
        return run.failure;
    std::vector<std::size_t> columns = *run.value;
    if (layout.headers.empty())
        for (std::size_t c = 0; c < s.width; ++c)
            columns.push_back(c);

    std::array<std::optional<std::size_t>, 2> found; // volume, pH
    const std::array<const ColumnPick*, 2> picks{&options.volume, &options.pH};
    for (std::size_t k = 0; k < 2; ++k) {
        if (!picks[k]->given())
            continue;
        chem::Result<std::size_t> c = pickedColumn(*picks[k], layout, columns, s.width);
        if (!c)
            return c.failure;
        found[k] = *c.value;
    }
    for (const std::size_t c : columns) {
        const Quantity q = layout.headers.empty() ? Quantity::Other : quantityOf(layout.headers[c]);
        const std::size_t k = q == Quantity::Volume ? 0 : 1;
        if (q != Quantity::Other && !found[k] && found[1 - k] != c)
            found[k] = c;
    }
    layout.settled = (found[0] && found[1]) || (s.width == 2 && layout.runs.empty());
    if (!found[0] || !found[1]) {
        const std::vector<bool> numeric =
            s.width == 2 ? std::vector<bool>{true, true} : numericColumns(text, s, columns);
        for (const std::size_t c : columns)
            for (auto& f : found)
                if (!f && numeric[c] && found[0] != c && found[1] != c)
                    f = c;
    }
    if (!found[0] || !found[1])
        return "no volume and pH columns: fewer than two columns of numbers";
    if (*found[0] == *found[1])
        return "the volume and the pH cannot both be column " + std::to_string(*found[0] + 1);
    layout.volumeColumn = *found[0];
    layout.pHColumn = *found[1];
    return {};
}

/// The median of the last kLoggedReadingsPerVolume values of `pH`.
double medianOfLast(std::span<const double> pH)
{
    std::array<double, kLoggedReadingsPerVolume> last{};
    const std::size_t n = std::min(pH.size(), last.size());
    std::copy(pH.end() - std::ptrdiff_t(n), pH.end(), last.begin());
    std::sort(last.begin(), last.begin() + std::ptrdiff_t(n));
    return n % 2 ? last[n / 2] : (last[n / 2 - 1] + last[n / 2]) / 2;
}

/// A log's rows (NaN volume where none was typed) reduced to one reading a volume: the rows
/// from a typed volume up to the next different one.
Readings mergeLogged(const std::vector<std::pair<double, double>>& rows)
{
    Readings r;
    std::vector<double> at; // the pH values logged at the current volume
    double current = std::numeric_limits<double>::quiet_NaN();
    const auto close = [&] {
        if (at.empty())
            return;
        r.volume.push_back(current);
        r.pH.push_back(medianOfLast(at));
        r.loggedReadings += at.size();
        at.clear();
    };
    for (const auto& [volume, pH] : rows) {
        if (!std::isnan(volume) && volume != current) {
            close();
            current = volume;
        }
        if (!std::isnan(current)) // before the first typed volume: not a reading
            at.push_back(pH);
    }
    close();
    return r;
}

std::string columnsText(std::size_t n)
{
    return std::to_string(n) + (n == 1 ? " column" : " columns");
}

/// The rows of the file as (volume, pH), NaN for a volume not typed; or the refusal.
chem::Result<std::vector<std::pair<double, double>>>
readRows(std::string_view text, const Survey& s, const ReadingsLayout& layout)
{
    using Failed = chem::Result<std::vector<std::pair<double, double>>>;
    std::vector<std::pair<double, double>> rows;
    const bool decimalComma = s.separator != Separator::Comma;
    std::vector<std::string_view> fields;
    Lines lines(text);
    while (const std::optional<std::string_view> line = lines.next()) {
        const auto refuse = [&](const std::string& why) {
            return Failed::failed("line " + std::to_string(lines.number()) + ": " + why);
        };
        if (lines.number() == s.headerLine || trimmed(*line).empty())
            continue;
        split(*line, s.separator, fields);
        if (fields.size() > s.width || (s.width == 2 && fields.size() != 2))
            return refuse(
                columnsText(fields.size()) + " where " +
                (s.width == 2 ? std::string("a volume and a pH") : std::to_string(s.width)) +
                " were expected");
        const auto cell = [&](std::size_t c) { return c < fields.size() ? fields[c] : ""; };
        const std::string_view volumeCell = cell(layout.volumeColumn);
        const std::string_view pHCell = cell(layout.pHColumn);
        if (volumeCell.empty() && pHCell.empty())
            continue; // a run shorter than another beside it
        const std::optional<double> volume = number(volumeCell, decimalComma);
        if (!volume && !volumeCell.empty())
            return refuse("the volume " + quoted(volumeCell) + " is not a number");
        const std::optional<double> pH = number(pHCell, decimalComma);
        if (!pH)
            return refuse("the pH " + quoted(pHCell) + " is not a number");
        if (volume && *volume < 0.0)
            return refuse("the volume " + numberText(*volume) + " mL is negative");
        if (volume && *volume > kMaxReadingVolume)
            return refuse("the volume " + numberText(*volume) + " mL is over 10 L");
        if (*pH < kMinReadingPH || *pH > kMaxReadingPH)
            return refuse("the pH " + numberText(*pH) + " is outside -2 to 16");
        rows.emplace_back(volume.value_or(std::numeric_limits<double>::quiet_NaN()), *pH);
    }
    if (!lines.fault.empty())
        return Failed::failed("line " + std::to_string(lines.number()) + ": " + lines.fault);
    return Failed::success(std::move(rows));
}

Readings sortedByVolume(const Readings& file)
{
    std::vector<std::size_t> order(file.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return file.volume[a] < file.volume[b]; });
    Readings sorted;
    sorted.loggedReadings = file.loggedReadings;
    sorted.volume.reserve(order.size());
    sorted.pH.reserve(order.size());
    for (const std::size_t i : order) {
        sorted.volume.push_back(file.volume[i]);
        sorted.pH.push_back(file.pH[i]);
    }
    return sorted;
}

/// 1843 as "1,843".
std::string grouped(std::size_t n)
{
    const std::string digits = std::to_string(n);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    return text;
}

} // namespace

ReadingsRead readReadings(std::string_view text, const ReadOptions& options)
{
    using Failure = chem::Result<Readings>;
    ReadingsRead read;
    if (text.size() > kMaxReadingsBytes) {
        read.readings = Failure::failed("the file is over 10 MB");
        return read;
    }
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);

    const Survey s = survey(text);
    if (std::string failure = chooseColumns(text, s, options, read.layout); !failure.empty()) {
        read.readings = Failure::failed(std::move(failure));
        return read;
    }
    chem::Result<std::vector<std::pair<double, double>>> rows = readRows(text, s, read.layout);
    if (!rows) {
        read.readings = Failure::failed(rows.failure);
        return read;
    }
    const bool logged = std::any_of(rows.value->begin(), rows.value->end(),
                                    [](const auto& row) { return std::isnan(row.first); });
    Readings file;
    if (logged) {
        file = mergeLogged(*rows.value);
    } else {
        for (const auto& [volume, pH] : *rows.value) {
            file.volume.push_back(volume);
            file.pH.push_back(pH);
        }
    }
    if (file.size() < kMinReadings)
        read.readings = Failure::failed(std::to_string(file.size()) +
                                        (file.size() == 1 ? " reading" : " readings") +
                                        "; at least 5 are needed");
    else
        read.readings = Failure::success(sortedByVolume(file));
    return read;
}

ReadingsLayout readingsLayout(std::string_view text, const ReadOptions& options)
{
    ReadingsLayout layout;
    if (text.size() <= kMaxReadingsBytes)
        chooseColumns(text, survey(text.substr(text.starts_with("\xEF\xBB\xBF") ? 3 : 0)), options,
                      layout);
    return layout;
}

chem::Result<Readings> readReadings(std::string_view text)
{
    return readReadings(text, ReadOptions{}).readings;
}

std::optional<std::array<ColumnPick, 2>> parseColumns(std::string_view text)
{
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos || text.find(',', comma + 1) != std::string_view::npos)
        return std::nullopt;
    std::array<ColumnPick, 2> picks;
    for (std::size_t k = 0; k < 2; ++k) {
        const std::string_view part =
            trimmed(k == 0 ? text.substr(0, comma) : text.substr(comma + 1));
        if (part.empty())
            return std::nullopt;
        if (std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            const auto [end, error] =
                std::from_chars(part.data(), part.data() + part.size(), picks[k].number);
            if (error != std::errc{} || picks[k].number == 0)
                return std::nullopt;
        } else {
            picks[k].header = part;
        }
    }
    return picks;
}

std::string loggedReadingsText(const Readings& readings)
{
    if (readings.loggedReadings == 0)
        return {};
    return grouped(readings.size()) + (readings.size() == 1 ? " volume" : " volumes") + " from " +
           grouped(readings.loggedReadings) + " logged readings";
}

} // namespace lab
