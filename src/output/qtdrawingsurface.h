#pragma once

#include "chart/drawingsurface.h"

#include <QColor>
#include <QFont>

class QPainter;

namespace output {

/// A colour of the catalogue, the schematic or the chart as Qt takes it.
QColor toQColor(indicators::Colour colour);

/// The chart's drawing surface over a QPainter: a widget's picture, an image or a printer.
/// Coordinates are in the surface's unit — pixels, or millimetres on paper — and are turned
/// into device pixels here; pen widths are device pixels already.
class QtDrawingSurface : public chart::DrawingSurface
{
public:
    /// `devicePixelsPerUnit`: 1 for a picture in pixels, dots per millimetre for a printer.
    QtDrawingSurface(QPainter& painter, double devicePixelsPerUnit, QColor textColour,
                     QColor background = Qt::white);

    void Cls() override;
    void Print(const std::string& text) override;
    double TextWidth(const std::string& text) override;
    double TextHeight(const std::string& text) override;
    void Line(double x1, double y1, double x2, double y2, chart::Colour colour) override;
    void Box(double x, double y, double dx, double dy, chart::Colour colour) override;
    void PSet(double x, double y, chart::Colour colour) override;
    void setDrawWidth(int pixels) override;
    void setFillColor(chart::Colour colour) override;
    void setFillStyleSolid() override;
    void setFontName(const std::string& name) override;
    void setFontSize(double points) override;
    void setFontBold(bool bold) override;
    void setFontItalic(bool italic) override;
    double twipsPerPixelX() const override;
    double twipsPerPixelY() const override;

private:
    QPainter& painter_;
    double scale_;
    QColor textColour_;
    QColor background_;
    QFont font_;
    int drawWidth_ = 1;
};

} // namespace output
