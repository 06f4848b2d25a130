#pragma once
// Curve chart: the titration curve drawn on an abstract surface, so that one routine serves the
// screen (pixels) and the printer (millimetres).
//
// DrawingSurface is the small set of operations the chart needs: a current text position, text
// printing and measuring, lines, filled boxes, dots, a pen width in whole device pixels and a
// font whose attributes are set one at a time. Coordinates grow right and down from the
// top-left corner, in the surface's own unit.
//
// What the chart draws besides its axes and labels comes as series (series.h), computed before
// drawing: the model's curve, sampled by modelSeries, and whatever is handed in with it —
// readings, kept and fitted curves, derivatives. titrationchart.h holds the one routine that
// draws them all, on screen and paper.

#include "indicators/colour.h"

#include <string>

namespace chart {

using indicators::Colour;

class DrawingSurface
{
public:
    virtual ~DrawingSurface() = default;

    /// Clears the whole surface to its background.
    virtual void Cls() = 0;

    void setCurrentX(double x) { currentX_ = x; }
    void setCurrentY(double y) { currentY_ = y; }
    double currentX() const { return currentX_; }
    double currentY() const { return currentY_; }

    /// Draws `text` with the top-left corner of its line box at the current position.
    virtual void Print(const std::string& text) = 0;
    virtual double TextWidth(const std::string& text) = 0;
    virtual double TextHeight(const std::string& text) = 0;

    /// A straight line in the current pen width.
    virtual void Line(double x1, double y1, double x2, double y2, Colour colour) = 0;
    /// The same, the end given as offsets from the start.
    void LineRelative(double x, double y, double dx, double dy, Colour colour)
    {
        Line(x, y, x + dx, y + dy, colour);
    }
    /// A rectangle from (x, y) to (x + dx, y + dy), filled and outlined in `colour`.
    virtual void Box(double x, double y, double dx, double dy, Colour colour) = 0;
    /// A round dot centred on (x, y) whose diameter is the pen width.
    virtual void PSet(double x, double y, Colour colour) = 0;

    /// Pen width in whole device pixels, at least 1.
    virtual void setDrawWidth(int pixels) = 0;
    virtual void setFillColor(Colour colour) = 0;
    virtual void setFillStyleSolid() = 0;

    virtual void setFontName(const std::string& name) = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setFontBold(bool bold) = 0;
    virtual void setFontItalic(bool italic) = 0;

    /// The size of one device pixel in twips (1440 to the inch), across and down.
    virtual double twipsPerPixelX() const = 0;
    virtual double twipsPerPixelY() const = 0;

private:
    double currentX_ = 0;
    double currentY_ = 0;
};

} // namespace chart
