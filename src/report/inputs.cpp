#include "report/inputs.h"

#include "report/numbertext.h"

namespace report {

const char* InputDescription::optionFor(std::optional<chem::TitrationType> type) const
{
    return baseOption && type == chem::TitrationType::WeakBaseStrongAcid ? baseOption : option;
}

std::string InputDescription::wordsFor(std::optional<chem::TitrationType> type) const
{
    return baseWords && type == chem::TitrationType::WeakBaseStrongAcid ? baseWords : words;
}

std::string InputDescription::rangeText() const
{
    const std::string unitText = *unit ? std::string(" ") + unit : std::string();
    return NumberText(low) + " to " + NumberText(high) + unitText +
           (bothExcluded ? ", both excluded" : "");
}

const InputDescription& describe(Input box)
{
    for (const InputDescription& d : kInputs)
        if (d.box == box)
            return d;
    return kInputs.front(); // None has no box; callers ask only for boxes
}

const InputDescription* inputForOption(std::string_view option)
{
    for (const InputDescription& d : kInputs)
        if (option == d.option || (d.baseOption && option == d.baseOption))
            return &d;
    return nullptr;
}

} // namespace report
