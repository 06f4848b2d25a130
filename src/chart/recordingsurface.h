#pragma once

#include "chart/drawingsurface.h"

#include <vector>

namespace chart {

/// A surface that draws nothing and keeps every operation, for tests to read back. Text is
/// measured as if every character were half a font size wide and a line 1.15 font sizes high.
class RecordingSurface : public DrawingSurface
{
public:
    enum class Kind { Cls, Print, Line, Box, PSet };

    struct Operation
    {
        Kind kind;
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0; ///< Print: the top-left corner; Box: two corners
        Colour colour = 0;
        int penWidth = 1;
        std::string text;
        double fontSize = 0;
        bool bold = false;
        std::string fontName; ///< Print only
        bool italic = false;
    };

    /// `unitsPerPoint`: 96/72 for a screen in pixels, 25.4/72 for paper in millimetres.
    explicit RecordingSurface(double unitsPerPoint, double twipsPerPixel = 15)
        : unitsPerPoint_(unitsPerPoint), twipsPerPixel_(twipsPerPixel)
    {}

    std::vector<Operation> operations;

    void Cls() override
    {
        operations.push_back({Kind::Cls, 0, 0, 0, 0, 0, penWidth_, {}, 0, false, {}, false});
    }
    void Print(const std::string& text) override
    {
        operations.push_back({Kind::Print, currentX(), currentY(), currentX(), currentY(), 0,
                              penWidth_, text, fontSize_, bold_, fontName_, italic_});
    }
    double TextWidth(const std::string& text) override
    {
        return 0.5 * fontSize_ * unitsPerPoint_ * static_cast<double>(text.size());
    }
    double TextHeight(const std::string&) override { return 1.15 * fontSize_ * unitsPerPoint_; }
    void Line(double x1, double y1, double x2, double y2, Colour colour) override
    {
        operations.push_back(
            {Kind::Line, x1, y1, x2, y2, colour, penWidth_, {}, 0, false, {}, false});
    }
    void Box(double x, double y, double dx, double dy, Colour colour) override
    {
        operations.push_back(
            {Kind::Box, x, y, x + dx, y + dy, colour, penWidth_, {}, 0, false, {}, false});
    }
    void PSet(double x, double y, Colour colour) override
    {
        operations.push_back({Kind::PSet, x, y, x, y, colour, penWidth_, {}, 0, false, {}, false});
    }
    void setDrawWidth(int pixels) override { penWidth_ = pixels; }
    void setFillColor(Colour) override {}
    void setFillStyleSolid() override {}
    void setFontName(const std::string& name) override { fontName_ = name; }
    void setFontSize(double points) override { fontSize_ = points; }
    void setFontBold(bool bold) override { bold_ = bold; }
    void setFontItalic(bool italic) override { italic_ = italic; }
    double twipsPerPixelX() const override { return twipsPerPixel_; }
    double twipsPerPixelY() const override { return twipsPerPixel_; }

private:
    double unitsPerPoint_;
    double twipsPerPixel_;
    int penWidth_ = 1;
    double fontSize_ = 10;
    bool bold_ = false;
    std::string fontName_;
    bool italic_ = false;
};

} // namespace chart
