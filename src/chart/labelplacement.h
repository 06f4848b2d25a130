#pragma once
// Where the chart's labels go: the nearest free place to the point they name, clear of what is
// drawn on the plot already. Rectangles and segments in the surface's units (pixels on screen,
// millimetres on paper); nothing here draws.

#include <cstddef>
#include <optional>
#include <vector>

namespace chart {

struct Rect
{
    double left, top, right, bottom;

    /// Whether the two share more than an edge.
    bool overlaps(const Rect& o) const
    {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    Rect grown(double d) const { return {left - d, top - d, right + d, bottom + d}; }
    /// The distance from (x, y) to the nearest point of the rectangle.
    double distanceTo(double x, double y) const;
};

struct Segment
{
    double x1, y1, x2, y2;

    /// Rising or falling more than it runs: where the curve jumps at an equivalence point.
    bool steep() const;
    /// Whether any part of the segment lies within `r` (Liang-Barsky clipping).
    bool crosses(const Rect& r) const;
};

/// Where the series drawn with the model's curve lie, in cells of the plot, so that placing a
/// label costs the same whatever their number of points: cells that any of their lines or
/// markers touch, and cells where a line rises or falls more than it runs.
class Coverage
{
public:
    Coverage(const Rect& area, double cell);

    void mark(const Rect& r);
    void mark(const Segment& s);

    /// Whether a marked cell (a steep one, with `steepOnly`) meets `r`.
    bool covers(const Rect& r, bool steepOnly) const;

private:
    std::size_t index(double d) const { return static_cast<std::size_t>(d / cell_); }
    std::size_t first(double d) const { return d <= 0 ? 0 : index(d); }
    std::size_t last(double d, std::size_t count) const;
    void set(std::size_t k, bool steep);
    void sum() const;

    Rect area_;
    double cell_;
    std::size_t columns_, rows_;
    std::vector<char> any_, steep_;
    bool empty_ = true;
    mutable std::vector<std::vector<int>> sums_; ///< of any_ and steep_, once asked for
};

/// A label's place: its box and, when it stands away from its dot, the leader line to it.
struct Place
{
    Rect rect;
    std::optional<Segment> leader;
};

/// The labels' room on the plot: what they must keep clear of, and the free place nearest to
/// a point.
class LabelPlacer
{
public:
    /// Labels stay within `plot`; `dotSize` is the diameter of an equivalence point's dot (the
    /// series are tracked in cells of half of it, and a leader starts clear of the dot).
    LabelPlacer(const Rect& plot, double dotSize);

    /// The band, a dot, a text's box or the legend: no label may cover it.
    void avoid(const Rect& r) { obstacles_.push_back(r); }
    /// A segment of the model's curve: labels keep clear of all of it if they can, else of its
    /// steep parts.
    void avoidCurve(const Segment& s) { curve_.push_back(s); }
    /// A marker or a line segment of another series, avoided like the model's curve.
    void avoidSeries(const Rect& marker) { coverage_.mark(marker); }
    void avoidSeries(const Segment& line) { coverage_.mark(line); }

    /// The free place for a `width` × `height` box nearest to (x, y) within the plot, on a
    /// grid of half lines across and quarter lines down (`L` is the line height): a quarter
    /// line clear of everything avoided, and of the whole of the curves if possible, else of
    /// their steep parts. With `leader`, a place further than a line from (x, y) comes with a
    /// leader from the dot there, crossing no box. None when there is no such place.
    std::optional<Place> freePlace(double width, double height, double x, double y, double L,
                                   bool leader) const;

    /// A label now stands at `place`: its box and its leader are avoided from now on.
    void take(const Place& place);

private:
    Rect plot_;
    double dotSize_;
    Coverage coverage_;           ///< the other series
    std::vector<Rect> obstacles_; ///< the band, dots, texts and labels placed so far
    std::vector<Segment> curve_;  ///< the model's curve
    std::vector<Segment> leaders_;
};

} // namespace chart
