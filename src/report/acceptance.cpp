#include "report/acceptance.h"

#include "report/numbertext.h"

namespace report {

std::string quantityName(Refusal::Input box, std::optional<chem::TitrationType> type)
{
    return box == Input::None ? "the titration type" : describe(box).wordsFor(type);
}

std::optional<Refusal> equivalenceVolumeRefusal(double veq, int protons)
{
    const double last = protons * veq;
    if (veq >= kMinEquivalenceVolume && last <= kMaxEquivalenceVolume)
        return std::nullopt;
    const bool first = !(veq >= kMinEquivalenceVolume);
    const std::string which = protons == 1 ? "the" : first ? "the first" : "the last";
    return Refusal{Refusal::Input::None, Refusal::Kind::OutOfRange,
                   which + " equivalence volume " + NumberText(first ? veq : last) +
                       " mL is outside " + NumberText(kMinEquivalenceVolume) + " to " +
                       NumberText(kMaxEquivalenceVolume) + " mL"};
}

std::optional<Refusal> checkTitration(std::optional<chem::TitrationType> type,
                                      const chem::TitrationInputs& in, bool refreshFailed,
                                      int protons)
{
    using In = Refusal::Input;
    const auto missing = [&](In box) {
        return Refusal{box, Refusal::Kind::Missing, quantityName(box, type) + " is missing"};
    };
    if (!type)
        return missing(In::None);
    for (const InputDescription& d : kInputs)
        if (!d.weakOnly && !(in.*d.value > 0))
            return missing(d.box);
    if (refreshFailed)
        return Refusal{In::None, Refusal::Kind::NotComputable, "the pH could not be computed"};
    for (const InputDescription& d : kInputs)
        if (d.weakOnly && chem::isWeak(*type) && !(in.*d.value > 0))
            return missing(d.box);
    return equivalenceVolumeRefusal(equivalenceVolume(in), chem::isWeak(*type) ? protons : 1);
}

double equivalenceVolume(const chem::TitrationInputs& in)
{
    return (in.analyteVolume * in.analyteConc) / in.titrantConc;
}

} // namespace report
