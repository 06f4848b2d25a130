#include "chart/labelplacement.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace chart {

double Rect::distanceTo(double x, double y) const
{
    return std::hypot(std::max({left - x, 0.0, x - right}), std::max({top - y, 0.0, y - bottom}));
}

bool Segment::steep() const
{
    return std::fabs(y2 - y1) > std::fabs(x2 - x1);
}

bool Segment::crosses(const Rect& r) const
{
    const double dx = x2 - x1, dy = y2 - y1;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {x1 - r.left, r.right - x1, y1 - r.top, r.bottom - y1};
    double t0 = 0, t1 = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    return true;
}

Coverage::Coverage(const Rect& area, double cell)
    : area_(area), cell_(cell), columns_(index(area.right - area.left) + 1),
      rows_(index(area.bottom - area.top) + 1), any_(columns_ * rows_), steep_(columns_ * rows_)
{}

void Coverage::mark(const Rect& r)
{
    for (std::size_t row = first(r.top - area_.top); row <= last(r.bottom - area_.top, rows_);
         ++row)
        for (std::size_t c = first(r.left - area_.left); c <= last(r.right - area_.left, columns_);
             ++c)
            set(row * columns_ + c, false);
}

void Coverage::mark(const Segment& s)
{
    const double length = std::hypot(s.x2 - s.x1, s.y2 - s.y1);
    const auto steps = static_cast<std::size_t>(std::ceil(length / (cell_ / 2)));
    for (std::size_t i = 0; i <= steps; ++i) {
        const double t = steps ? static_cast<double>(i) / static_cast<double>(steps) : 0;
        const double x = s.x1 + (s.x2 - s.x1) * t - area_.left;
        const double y = s.y1 + (s.y2 - s.y1) * t - area_.top;
        if (x >= 0 && y >= 0 && index(x) < columns_ && index(y) < rows_)
            set(index(y) * columns_ + index(x), s.steep());
    }
}

bool Coverage::covers(const Rect& r, bool steepOnly) const
{
    if (empty_ || r.right < area_.left || r.bottom < area_.top || r.left > area_.right ||
        r.top > area_.bottom)
        return false;
    if (sums_.empty())
        sum();
    const std::vector<int>& s = sums_[steepOnly];
    const std::size_t c0 = first(r.left - area_.left),
                      c1 = last(r.right - area_.left, columns_) + 1;
    const std::size_t r0 = first(r.top - area_.top), r1 = last(r.bottom - area_.top, rows_) + 1;
    const std::size_t w = columns_ + 1;
    return s[r1 * w + c1] - s[r0 * w + c1] - s[r1 * w + c0] + s[r0 * w + c0] > 0;
}

std::size_t Coverage::last(double d, std::size_t count) const
{
    return d <= 0 ? 0 : std::min(index(d), count - 1);
}

void Coverage::set(std::size_t k, bool steep)
{
    any_[k] = 1;
    steep_[k] = steep_[k] || steep;
    empty_ = false;
    sums_.clear();
}

/// Sums over every rectangle of cells from the top-left corner, for queries in four reads.
void Coverage::sum() const
{
    const std::size_t w = columns_ + 1;
    for (const std::vector<char>* cells : {&any_, &steep_}) {
        std::vector<int>& s = sums_.emplace_back(w * (rows_ + 1));
        for (std::size_t row = 0; row < rows_; ++row)
            for (std::size_t c = 0; c < columns_; ++c)
                s[(row + 1) * w + c + 1] = (*cells)[row * columns_ + c] + s[row * w + c + 1] +
                                           s[(row + 1) * w + c] - s[row * w + c];
    }
}

LabelPlacer::LabelPlacer(const Rect& plot, double dotSize)
    : plot_(plot), dotSize_(dotSize), coverage_(plot, dotSize / 2)
{}

std::optional<Place> LabelPlacer::freePlace(double width, double height, double x, double y,
                                            double L, bool leader) const
{
    // Candidates on a grid of half lines over the plot, nearest first.
    std::vector<std::pair<double, Rect>> candidates;
    const double step = L / 2;
    for (double left = plot_.left; left + width <= plot_.right; left += step)
        for (double top = plot_.top; top + height <= plot_.bottom; top += step / 2) {
            const Rect r{left, top, left + width, top + height};
            candidates.emplace_back(r.distanceTo(x, y), r);
        }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });

    const double margin = L / 4;
    for (const bool wholeCurve : {true, false})
        for (const auto& [distance, r] : candidates) {
            const Rect clear = r.grown(margin);
            const auto covers = [&](const Rect& o) { return o.overlaps(clear); };
            const auto crosses = [&](const Segment& c) {
                return (wholeCurve || c.steep()) && c.crosses(clear);
            };
            const auto crossesLine = [&](const Segment& c) { return c.crosses(clear); };
            if (std::ranges::any_of(obstacles_, covers) || std::ranges::any_of(curve_, crosses) ||
                coverage_.covers(clear, !wholeCurve) || std::ranges::any_of(leaders_, crossesLine))
                continue;
            std::optional<Segment> line;
            if (leader && distance > L) {
                // From the dot's edge to the nearest point of the label.
                const double tx = std::clamp(x, r.left, r.right);
                const double ty = std::clamp(y, r.top, r.bottom);
                const double d = std::hypot(tx - x, ty - y), start = 0.75 * dotSize_ / d;
                line = Segment{x + (tx - x) * start, y + (ty - y) * start, tx, ty};
                if (std::ranges::any_of(obstacles_,
                                        [&](const Rect& o) { return line->crosses(o); }))
                    continue;
            }
            return Place{r, line};
        }
    return std::nullopt;
}

void LabelPlacer::take(const Place& place)
{
    if (place.leader)
        leaders_.push_back(*place.leader);
    obstacles_.push_back(place.rect);
}

} // namespace chart
