#include "report/captions.h"

#include "report/numberreading.h"
#include "report/numbertext.h"
#include "report/typenames.h"

#include <algorithm>

namespace report {

namespace {

using chem::TitrationType;

std::string N(double x)
{
    return NumberText(x);
}

/// The analyte's words in a caption or file name: its name when chosen by name.
std::string analyteWords(chem::TitrationType type, const std::optional<AnalyteConstants>& c)
{
    return c && !c->name.empty() ? c->name : std::string(typeNames(type).analyte);
}

/// pKa values as a list: "2.15, 7.2, 12.35".
std::string pKaList(const std::vector<double>& pKa)
{
    std::string text;
    for (const double p : pKa)
        text += (text.empty() ? "" : ", ") + N(Round(p, 3));
    return text;
}

} // namespace

std::string titrationTitle(chem::TitrationType type)
{
    return typeNames(type).title;
}

std::string titrationFileStem(chem::TitrationType type, const chem::TitrationInputs& in,
                              const std::optional<AnalyteConstants>& constants)
{
    return analyteWords(type, constants) + ' ' + N(in.analyteConc) + " M " + N(in.analyteVolume) +
           " mL";
}

std::string titrationCaption(chem::TitrationType type, const chem::TitrationInputs& in,
                             const std::string& constantText,
                             const std::optional<AnalyteConstants>& constants)
{
    const TypeNames& names = typeNames(type);
    std::string text = N(in.analyteVolume) + " mL of " + analyteWords(type, constants) + ' ' +
                       N(in.analyteConc) + " mol/L, ";
    if (chem::isWeak(type) && constants)
        text += "pKa " + pKaList(constants->pKa) + ", ";
    else if (chem::isWeak(type))
        text += std::string(type == TitrationType::WeakAcidStrongBase ? "Ka " : "Kb ") +
                constantAsShown(constantText) + ", ";
    return text + "titrated with " + names.titrant + ' ' + N(in.titrantConc) + " mol/L";
}

std::string analyteSummary(const AnalyteConstants& c)
{
    const std::string pKa = "pKa " + pKaList(c.pKa);
    return c.name.empty() ? pKa : c.name + " (" + c.formula + "), " + pKa;
}

std::string constantAsShown(const std::string& typed)
{
    std::string shown(trimmed(oneLine(typed)));
    std::transform(shown.begin(), shown.end(), shown.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    return shown;
}

} // namespace report
