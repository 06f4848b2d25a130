#include "indicators/indicatorpanel.h"

#include "indicators/indicatorcolour.h"
#include "report/numbertext.h"

namespace indicators {

IndicatorPanel indicatorPanelFor(const IndicatorCatalogue& catalogue, int position)
{
    IndicatorPanel panel;
    if (position <= 0 || position > catalogue.indicatorCount)
        return panel;
    const Indicator& indicator = catalogue.table[static_cast<std::size_t>(position)];
    panel.indicatorChosen = true;
    panel.chartCaption = indicator.name;
    panel.fluorescentNote = indicator.name.starts_with("(F)");
    panel.acidCaption = indicator.acidColourName + " (acid)";
    panel.basicCaption = indicator.basicColourName + " (basic)";
    panel.lowText = report::NumberText(indicator.pHLow);
    panel.highText = report::NumberText(indicator.pHHigh);
    panel.pHLow = indicator.pHLow;
    panel.pHHigh = indicator.pHHigh;
    return panel;
}

double stripX(double left, double width, double pH)
{
    return left + width * pH / 14.0;
}

Colour stripColour(const IndicatorCatalogue& catalogue, int position, double x, double width)
{
    return Get_Color_INDIC(catalogue, position, 14.0 * x / width);
}

} // namespace indicators
