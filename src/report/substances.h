#pragma once
// The substance library: acids and bases a teacher picks by name instead of looking up constants.
//
// Where the data lives and how it gets in:
//   data/substances.tsv          one line per substance, tab-separated: name, synonyms ("|"
//                                between them), formula, "acid" or "base", the stepwise pKa values
//                                at 25 °C (blank between them, ascending; of the conjugate acid
//                                for a base), the source table with its edition, and for a salt
//                                the ions it is weighed out as (optional). "#" starts a comment
//                                line. Edit this file, never the generated one.
//   src/report/CMakeLists.txt    reads the file at configure time (and re-runs when it changes)
//                                and writes substancesdata.cpp in the build tree, holding the
//                                bytes as one string: no file is opened at run time.
//   substances.cpp               parses that string once, on first use.
// Readers: the constant box's name lookup, the completion list, the command line's list and the
// manual's appendix.
//
// A line that does not parse is left out of the library and reported by substanceLibraryErrors();
// the unit tests fail on any, so a bad edit is caught before release and never crashes the
// program.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace report {

struct Substance
{
    std::string name;                  ///< lower case English: "phosphoric acid"
    std::vector<std::string> synonyms; ///< other names it goes by: "orthophosphoric acid"
    std::string formula;               ///< as usually written: "H3PO4", "Na2CO3"
    bool base = false;                 ///< titrated with a strong acid
    std::vector<double> pKa;           ///< 1 to 6, ascending; of the conjugate acid for a base
    std::string source;                ///< the table the values come from, with its edition
    /// For a salt, the charge of the form titrated (an acid's fully protonated form, a base's
    /// fully deprotonated one) and its monovalent counter-ion, from the formula: Na2CO3 is
    /// CO3 2− with 2 Na⁺ (−2, "Na+"). 0 and "" for a neutral acid or base. Only activities
    /// need them, for the ionic strength.
    int charge = 0;
    std::string counterIon;
};

/// The parsed library, in the order of the data file.
const std::vector<Substance>& substanceLibrary();

/// Why lines of the data file were left out ("line 12: ..."); empty for a sound file.
const std::vector<std::string>& substanceLibraryErrors();

/// Reads a library in the data file's format; lines that do not parse are skipped and described
/// in `errors`.
std::vector<Substance> parseSubstances(std::string_view text, std::vector<std::string>& errors);

/// The substance with this name, synonym or formula, whatever its case and surrounding blanks;
/// null when there is none.
const Substance* findSubstance(std::string_view nameOrFormula);

/// Up to `count` names of the library's bases (`base`) or acids nearest to `typed`
/// (case-insensitive edit distance against names and synonyms), nearest first, for "unknown
/// name — did you mean …": only names the titration at hand would take.
std::vector<std::string> nearestNames(std::string_view typed, bool base, std::size_t count);

} // namespace report
