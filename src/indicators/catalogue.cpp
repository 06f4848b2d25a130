#include "indicators/catalogue.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace indicators {

namespace {

// "colourless" is a near-white grey, so that it stays distinguishable from the pure white of a
// flask without indicator.
// clang-format off
const Indicator kIndicators[] = {
    {"alizarin yellow R", 10.1, 12.0, rgb(255, 255, 128), rgb(160, 160, 64), "yellow", "brown yellow"},
    {"bromophenol blue", 3.0, 4.6, rgb(255, 255, 128), rgb(192, 128, 255), "yellow", "violet"},
    {"bromothymol blue", 6.0, 7.6, rgb(255, 240, 160), rgb(128, 192, 255), "yellow", "blue"},
    {"phenolphthalein", 8.2, 9.8, rgb(248, 248, 248), rgb(224, 128, 255), "colourless", "violet"},
    {"m-cresol purple", 7.4, 9.0, rgb(255, 255, 160), rgb(232, 160, 255), "yellow", "purple"},
    {"methyl orange", 3.1, 4.4, rgb(255, 96, 96), rgb(255, 200, 128), "red", "yellow orange"},
    {"bromocresol purple", 5.2, 6.8, rgb(248, 248, 128), rgb(224, 160, 255), "yellow", "purple"},
    {"congo red", 3.0, 5.2, rgb(128, 64, 255), rgb(255, 100, 32), "blue violet", "red orange"},
    {"bromophenol red", 5.2, 6.8, rgb(255, 212, 160), rgb(224, 160, 255), "yellow orange", "purple"},
    {"cresol red", 7.0, 8.8, rgb(255, 255, 160), rgb(224, 160, 255), "yellow", "purple"},
    {"phenol red", 6.4, 8.2, rgb(255, 255, 128), rgb(255, 128, 128), "yellow", "red"},
    {"methyl red", 4.4, 6.2, rgb(255, 96, 96), rgb(255, 220, 128), "red", "yellow orange"},
    {"neutral red", 6.4, 8.0, rgb(196, 0, 255), rgb(255, 196, 128), "reddish blue", "yellow orange"},
    {"thymolphthalein", 9.4, 10.6, rgb(248, 248, 248), rgb(128, 192, 255), "colourless", "blue"},
    {"litmus", 5.0, 8.0, rgb(255, 96, 128), rgb(128, 192, 255), "red", "blue"},
    {"methyl violet", 0.1, 1.6, rgb(255, 255, 64), rgb(128, 92, 255), "yellow", "blue"},
    {"4-dimethylaminobenzol", 2.9, 4.0, rgb(255, 96, 96), rgb(255, 220, 128), "red", "yellow orange"},
    {"(F) esculin", 1.0, 1.5, rgb(196, 196, 255), rgb(64, 96, 255), "pale indigo", "strong blue"},
    {"(F) beta-naphthylamine", 2.8, 4.4, rgb(240, 240, 240), rgb(192, 128, 255), "colourless", "violet"},
    {"(F) alpha-naphthylamine", 3.4, 4.8, rgb(240, 240, 240), rgb(64, 128, 255), "colourless", "blue"},
    {"(F) fluorescein", 3.8, 4.3, rgb(196, 196, 255), rgb(64, 64, 255), "pale blue", "strong blue"},
    {"(F) eosin", 3.9, 4.5, rgb(240, 240, 240), rgb(255, 220, 128), "colourless", "yellow orange"},
    {"(F) eritrosine", 3.7, 4.6, rgb(240, 240, 240), rgb(230, 255, 128), "colourless", "lime"},
    {"(F) acridine", 5.3, 6.4, rgb(128, 255, 128), rgb(200, 128, 255), "green", "violet"},
    {"(F) umbelliferone", 6.2, 8.3, rgb(240, 240, 240), rgb(64, 128, 255), "colourless", "blue"},
    {"(F) coumarin", 9.2, 10.5, rgb(240, 240, 240), rgb(200, 255, 128), "colourless", "lime"},
    {"(F) beta-methylumbelliferone", 6.9, 7.1, rgb(196, 196, 255), rgb(64, 192, 255), "pale indigo", "blue"},
};
// clang-format on

} // namespace

void InicializarIndicadores(IndicatorCatalogue& catalogue)
{
    std::int32_t slot = 0;
    for (const Indicator& indicator : kIndicators)
        catalogue.table[static_cast<std::size_t>(++slot)] = indicator;
    catalogue.indicatorCount = slot;
}

int findIndicator(const IndicatorCatalogue& catalogue, std::string_view wanted)
{
    const auto same = [](std::string_view a, std::string_view b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) ==
                   std::tolower(static_cast<unsigned char>(y));
        });
    };
    int number = 0;
    const auto [end, error] = std::from_chars(wanted.data(), wanted.data() + wanted.size(), number);
    if (error == std::errc{} && end == wanted.data() + wanted.size())
        return number >= 1 && number <= catalogue.indicatorCount ? number : 0;
    int found = 0, matches = 0;
    for (int k = 1; k <= catalogue.indicatorCount; ++k) {
        const std::string_view name = catalogue.table[static_cast<std::size_t>(k)].name;
        if (same(name, wanted))
            return k;
        if (name.starts_with("(F) ") && same(name.substr(4), wanted)) {
            found = k;
            ++matches;
        }
    }
    return matches == 1 ? found : 0;
}

const IndicatorCatalogue& filledCatalogue()
{
    static const IndicatorCatalogue catalogue = [] {
        IndicatorCatalogue c;
        InicializarIndicadores(c);
        return c;
    }();
    return catalogue;
}

} // namespace indicators
