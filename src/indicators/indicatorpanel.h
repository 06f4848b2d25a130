#pragma once
// What the indicator panel shows for a chooser position: the colour names, the range ends over
// the pH strip, the range markers and the fluorescent note. Where things go on the strip is
// computed here; how wide a label is after its caption is up to the view.

#include "indicators/catalogue.h"

#include <string>

namespace indicators {

struct IndicatorPanel
{
    bool indicatorChosen = false; ///< false: captions empty, markers hidden, strip cleared
    std::string acidCaption;      ///< Label5(0): "yellow (acid)"
    std::string basicCaption;     ///< Label5(1): "blue (basic)"
    std::string lowText;          ///< Label5(2): the range's lower end
    std::string highText;         ///< Label5(3): the range's upper end
    std::string chartCaption;     ///< Label5(11): the indicator's name, shown on the chart page
    bool fluorescentNote = false; ///< Label5(13)
    double pHLow = 0;
    double pHHigh = 0;
};

/// The panel for chooser position `position` (0 or less: no indicator).
IndicatorPanel indicatorPanelFor(const IndicatorCatalogue& catalogue, int position);

/// Where pH `pH` lies on a strip from `left` that is `width` wide and spans pH 0 to 14.
double stripX(double left, double width, double pH);

/// The colour of column x of a strip `width` wide for the indicator at `position`.
Colour stripColour(const IndicatorCatalogue& catalogue, int position, double x, double width);

} // namespace indicators
