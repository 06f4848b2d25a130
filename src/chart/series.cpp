#include "chart/series.h"

#include <array>
#include <cmath>

namespace chart {

namespace {

using indicators::rgb;

// After Okabe and Ito, without their vermilion and bluish green (too near the model's red and
// the green stretches) and their yellow (unreadable on white), with two darker tones added.
constexpr std::array<Colour, 6> kKeptPalette = {rgb(0, 114, 178),   rgb(230, 159, 0),
                                                rgb(204, 121, 167), rgb(86, 180, 233),
                                                rgb(51, 34, 136),   rgb(136, 85, 0)};

} // namespace

SeriesStyle seriesStyle(SeriesRole role, std::size_t index)
{
    switch (role) {
    case SeriesRole::Model:
        return {rgb(196, 0, 0), 1, false, false};
    case SeriesRole::Readings:
        return {rgb(0, 0, 0), 0.6, false, true};
    case SeriesRole::Kept:
        return {kKeptPalette[index % kKeptPalette.size()], 1, false, false};
    case SeriesRole::Fitted:
        return {rgb(0, 68, 136), 1, true, false};
    case SeriesRole::Derivative:
        return {rgb(117, 112, 179), 1, false, false};
    case SeriesRole::ReadingsDerivative:
        return {rgb(117, 112, 179), 0.5, false, true};
    }
    return {};
}

Series makeSeries(SeriesRole role, std::vector<std::pair<double, double>> points,
                  std::string legend, std::size_t index)
{
    Series s;
    s.points = std::move(points);
    s.role = role;
    s.style = seriesStyle(role, index);
    s.axis = role == SeriesRole::Derivative || role == SeriesRole::ReadingsDerivative
                 ? SeriesAxis::Derivative
                 : SeriesAxis::PH;
    s.legend = std::move(legend);
    return s;
}

Series derivativeSeries(const std::vector<std::pair<double, double>>& curve)
{
    std::vector<std::pair<double, double>> p;
    for (const auto& [v, y] : curve)
        if (std::isfinite(v) && std::isfinite(y) && (p.empty() || v > p.back().first))
            p.emplace_back(v, y);
    std::vector<std::pair<double, double>> d;
    if (p.size() >= 2) {
        // The slope of the parabola through each point and its neighbours; at the ends, of
        // the parabola through the first or last three.
        const auto slope = [&](std::size_t i) {
            return (p[i + 1].second - p[i].second) / (p[i + 1].first - p[i].first);
        };
        const auto step = [&](std::size_t i) { return p[i + 1].first - p[i].first; };
        const std::size_t n = p.size();
        for (std::size_t i = 0; i < n; ++i) {
            double s;
            if (n == 2)
                s = slope(0);
            else if (i == 0)
                s = slope(0) - step(0) * (slope(1) - slope(0)) / (step(0) + step(1));
            else if (i == n - 1)
                s = slope(n - 2) +
                    step(n - 2) * (slope(n - 2) - slope(n - 3)) / (step(n - 3) + step(n - 2));
            else
                s = (step(i) * slope(i - 1) + step(i - 1) * slope(i)) / (step(i - 1) + step(i));
            d.emplace_back(p[i].first, s);
        }
    }
    return makeSeries(SeriesRole::Derivative, std::move(d), "dpH/dV");
}

} // namespace chart
