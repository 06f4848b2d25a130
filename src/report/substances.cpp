#include "report/substances.h"

#include "report/constanttext.h"
#include "report/numberreading.h"

#include "chem/activity.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <numeric>

namespace report {

// Generated from data/substances.tsv by src/report/CMakeLists.txt.
extern const char* const kSubstancesData;

namespace {

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> out;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        out.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            return out;
        start = end + 1;
    }
}

/// The pKa column: blank-separated numbers, ascending, within the accepted range. Empty with
/// `why` set when it is not.
std::vector<double> readValues(std::string_view column, std::string& why)
{
    std::vector<double> values;
    for (const std::string_view word : split(column, ' ')) {
        if (word.empty())
            continue;
        double x = 0;
        const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), x);
        if (ec != std::errc() || end != word.data() + word.size()) {
            why = "'" + std::string(word) + "' is not a number";
            return {};
        }
        if (!(x >= chem::kMinPKa && x <= chem::kMaxPKa)) {
            why = "pKa " + std::string(word) + " is outside -5 to 20";
            return {};
        }
        if (!values.empty() && !(x > values.back())) {
            why = "pKa values are not ascending";
            return {};
        }
        values.push_back(x);
    }
    if (values.empty() || values.size() > std::size_t(chem::kMaxProtons))
        why = "needs 1 to 6 pKa values, not " + std::to_string(values.size());
    return why.empty() ? values : std::vector<double>{};
}

/// The ions column: the titrated form's charge, non-zero within ±6, and its counter-ion, whose
/// sign is the other (-2 Na+, +1 Cl-). `why` set when it is not.
void readIons(std::string_view column, Substance& s, std::string& why)
{
    const std::vector<std::string_view> words = split(trimmed(column), ' ');
    int charge = 0;
    const std::string_view number =
        words.front().starts_with('+') ? words.front().substr(1) : words.front();
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), charge);
    const bool sound = words.size() == 2 && ec == std::errc() &&
                       end == number.data() + number.size() && charge != 0 &&
                       std::abs(charge) <= chem::kMaxCharge && words[1].size() > 1 &&
                       words[1].back() == (charge < 0 ? '+' : '-');
    if (!sound) {
        why = "'" + std::string(trimmed(column)) +
              "' is not a charge and a counter-ion of the other sign (-2 Na+)";
        return;
    }
    s.charge = charge;
    s.counterIon = std::string(words[1]);
}

/// Edit distance with insertions, deletions and substitutions of one character each.
std::size_t editDistance(std::string_view a, std::string_view b)
{
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] =
                std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0u : 1u)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

struct Library
{
    std::vector<Substance> substances;
    std::vector<std::string> errors;
};

const Library& library()
{
    static const Library lib = [] {
        Library l;
        l.substances = parseSubstances(kSubstancesData, l.errors);
        return l;
    }();
    return lib;
}

} // namespace

std::vector<Substance> parseSubstances(std::string_view text, std::vector<std::string>& errors)
{
    std::vector<Substance> out;
    bool header = true;
    std::size_t number = 0;
    for (const std::string_view rawLine : split(text, '\n')) {
        ++number;
        const std::string_view line = trimmed(rawLine);
        if (line.empty() || line.front() == '#')
            continue;
        if (header) { // the column names
            header = false;
            continue;
        }
        const std::vector<std::string_view> cells = split(line, '\t');
        std::string why;
        Substance s;
        if (cells.size() < 6 || cells.size() > 7) { // a line is trimmed: a missing source shows
            why = "has " + std::to_string(cells.size()) + " columns, not 6" +
                  (cells.size() > 7 ? " or 7" : "");
        } else {
            s.name = lowerCase(std::string(trimmed(cells[0])));
            for (const std::string_view synonym : split(cells[1], '|'))
                if (!trimmed(synonym).empty())
                    s.synonyms.push_back(lowerCase(std::string(trimmed(synonym))));
            s.formula = std::string(trimmed(cells[2]));
            const std::string_view kind = trimmed(cells[3]);
            s.base = kind == "base";
            s.pKa = readValues(cells[4], why);
            s.source = std::string(trimmed(cells[5]));
            if (why.empty() && cells.size() == 7)
                readIons(cells[6], s, why);
            if (why.empty() && (s.name.empty() || s.formula.empty()))
                why = "has no name or no formula";
            else if (why.empty() && kind != "acid" && kind != "base")
                why = "'" + std::string(kind) + "' is neither acid nor base";
        }
        if (why.empty())
            out.push_back(std::move(s));
        else
            errors.push_back("line " + std::to_string(number) + ": " + why);
    }
    return out;
}

const std::vector<Substance>& substanceLibrary()
{
    return library().substances;
}

const std::vector<std::string>& substanceLibraryErrors()
{
    return library().errors;
}

const Substance* findSubstance(std::string_view nameOrFormula)
{
    const std::string key = lowerCase(std::string(trimmed(nameOrFormula)));
    if (key.empty())
        return nullptr;
    for (const Substance& s : substanceLibrary())
        if (s.name == key || lowerCase(s.formula) == key ||
            std::find(s.synonyms.begin(), s.synonyms.end(), key) != s.synonyms.end())
            return &s;
    return nullptr;
}

std::vector<std::string> nearestNames(std::string_view typed, bool base, std::size_t count)
{
    const std::string key = lowerCase(std::string(trimmed(typed)));
    std::vector<std::pair<std::size_t, const std::string*>> ranked;
    for (const Substance& s : substanceLibrary()) {
        if (s.base != base)
            continue;
        // A substance ranks by the nearest of its names; the suggestion is its main name.
        std::size_t best = editDistance(key, s.name);
        for (const std::string& synonym : s.synonyms)
            best = std::min(best, editDistance(key, synonym));
        ranked.emplace_back(best, &s.name);
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> out;
    for (std::size_t i = 0; i < ranked.size() && i < count; ++i)
        out.push_back(*ranked[i].second);
    return out;
}

} // namespace report
