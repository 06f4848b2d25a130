#include "lab/statistics.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace lab {

namespace {

/// P(|T| ≤ t) for `df` degrees of freedom, in closed form (Abramowitz and Stegun 26.7.3).
double twoSidedT(double t, int df)
{
    const double theta = std::atan(t / std::sqrt(static_cast<double>(df)));
    const double c2 = std::cos(theta) * std::cos(theta);
    const double s = std::sin(theta);
    double sum = 0.0;
    if (df % 2 == 1) {
        double term = std::cos(theta);
        for (int k = 3; k <= df; k += 2) {
            sum += term;
            term *= c2 * (k - 1) / k;
        }
        return 2.0 / std::numbers::pi * (theta + s * sum);
    }
    double term = 1.0;
    for (int k = 2; k <= df; k += 2) {
        sum += term;
        term *= c2 * (k - 1) / k;
    }
    return s * sum;
}

double normalQuantile(double p)
{
    // Bisection on erfc is plenty for the handful of calls an analysis makes.
    double lo = 0.0, hi = 40.0;
    for (int i = 0; i < 200 && hi - lo > 1e-14; ++i) {
        const double mid = 0.5 * (lo + hi);
        (0.5 * std::erfc(-mid / std::numbers::sqrt2) < p ? lo : hi) = mid;
    }
    return 0.5 * (lo + hi);
}

/// The curvature of the weighted least-squares quadratic through points first..last − 1, in
/// its standard errors; 0 when the points do not determine it.
double curvatureSigmas(std::span<const double> x, std::span<const double> y,
                       std::span<const double> sd, double noise, std::size_t first,
                       std::size_t last)
{
    // About the middle and scaled to ±1, so that the normal equations stay well conditioned.
    const double mid = 0.5 * (x[first] + x[last - 1]), half = 0.5 * (x[last - 1] - x[first]);
    if (!(half > 0.0))
        return 0.0;
    double m[3][3] = {}, v[3] = {};
    for (std::size_t i = first; i < last; ++i) {
        const double w = 1.0 / (noise * noise * sd[i] * sd[i]), u = (x[i] - mid) / half;
        const double p[3] = {1.0, u, u * u};
        for (int r = 0; r < 3; ++r) {
            v[r] += w * p[r] * y[i];
            for (int c = 0; c < 3; ++c)
                m[r][c] += w * p[r] * p[c];
        }
    }
    // The curvature and its variance by Cramer's rule: det(m with v in column 2) / det(m).
    const auto det = [](const double a[3][3]) {
        return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
               a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
               a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
    };
    const double d = det(m);
    const double minor = m[0][0] * m[1][1] - m[0][1] * m[1][0];
    if (!(d > 0.0) || !(minor > 0.0) || !std::isfinite(d))
        return 0.0;
    double withV[3][3];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            withV[r][c] = c == 2 ? v[r] : m[r][c];
    return std::abs(det(withV) / d) / std::sqrt(minor / d);
}

} // namespace

double studentTQuantile(double p, int df)
{
    if (df < 1)
        return 0.0;
    if (df > 2000) {
        // The closed form's sum has df/2 terms; here the first correction to the normal is
        // already below 1e-6.
        const double z = normalQuantile(p);
        return z + (z * z * z + z) / (4.0 * df);
    }
    const double target = 2.0 * p - 1.0;
    double lo = 0.0, hi = 1.0;
    while (twoSidedT(hi, df) < target && hi < 1e12)
        hi *= 2.0;
    for (int i = 0; i < 200 && hi - lo > 1e-12 * hi; ++i) {
        const double mid = 0.5 * (lo + hi);
        (twoSidedT(mid, df) < target ? lo : hi) = mid;
    }
    return 0.5 * (lo + hi);
}

chem::Result<Line> fitLine(std::span<const double> x, std::span<const double> y,
                           std::span<const double> weight)
{
    using Failure = chem::Result<Line>;
    const std::size_t n = x.size();
    if (n < 3 || y.size() != n || weight.size() != n)
        return Failure::failed("fewer than 3 points");
    double sw = 0.0, swx = 0.0, swy = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        sw += weight[i];
        swx += weight[i] * x[i];
        swy += weight[i] * y[i];
    }
    // About the weighted means, so that nothing cancels.
    const double mx = swx / sw, my = swy / sw;
    double sxx = 0.0, sxy = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        sxx += weight[i] * (x[i] - mx) * (x[i] - mx);
        sxy += weight[i] * (x[i] - mx) * (y[i] - my);
    }
    if (!(sxx > 0.0) || !std::isfinite(sxx + sxy))
        return Failure::failed("the points do not spread along x");
    Line line;
    line.slope = sxy / sxx;
    line.intercept = my - line.slope * mx;
    double ssr = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double r = y[i] - line.intercept - line.slope * x[i];
        ssr += weight[i] * r * r;
    }
    line.degreesOfFreedom = static_cast<int>(n) - 2;
    const double s2 = ssr / line.degreesOfFreedom;
    line.varSlope = s2 / sxx;
    line.varIntercept = s2 * (1.0 / sw + mx * mx / sxx);
    line.covariance = -mx * s2 / sxx;
    return Failure::success(line);
}

std::optional<std::pair<std::size_t, std::size_t>>
straightRun(std::span<const double> x, std::span<const double> y, std::span<const double> sd,
            double noise, std::size_t fewest, bool fromEnd)
{
    constexpr std::size_t kEveryPoint = 48, kPlaces = 16;
    const std::size_t n = x.size();
    const std::size_t places = n <= kEveryPoint ? n : kPlaces;
    // The far edge moves in from the farthest point, a cut at a time.
    for (std::size_t k = 0; k < places; ++k) {
        const std::size_t cut = fromEnd ? k * n / places : n - k * n / places;
        const std::size_t first = fromEnd ? cut : 0, last = fromEnd ? n : cut;
        if (last - first < std::max(fewest, std::size_t{1}))
            break;
        if (curvatureSigmas(x, y, sd, noise, first, last) <= 3.0)
            return std::pair{first, last};
    }
    return std::nullopt;
}

std::optional<std::array<double, 2>> xInterceptInterval(const Line& line, double t)
{
    // The x where |a + b·x| ≤ t·sd(a + b·x): a quadratic whose roots bound the interval when
    // the slope itself is significant (leading coefficient > 0).
    const double t2 = t * t;
    const double a = line.slope * line.slope - t2 * line.varSlope;
    const double b = line.intercept * line.slope - t2 * line.covariance;
    const double c = line.intercept * line.intercept - t2 * line.varIntercept;
    const double discriminant = b * b - a * c;
    if (!(a > 0.0) || !(discriminant >= 0.0))
        return std::nullopt;
    const double root = std::sqrt(discriminant);
    return std::array<double, 2>{(-b - root) / a, (-b + root) / a};
}

double readingsScatter(std::span<const double> x, std::span<const double> y)
{
    // For independent noise σ a reading's deviation from the line through its neighbours has
    // the variance σ²(1 + a² + b²), a and b the neighbours' weights.
    std::vector<double> scaled;
    for (std::size_t i = 1; i + 1 < x.size() && i + 1 < y.size(); ++i) {
        const double h = x[i + 1] - x[i - 1];
        if (!(x[i] > x[i - 1] && x[i + 1] > x[i]))
            continue;
        const double a = (x[i + 1] - x[i]) / h, b = (x[i] - x[i - 1]) / h;
        scaled.push_back(std::abs(y[i] - a * y[i - 1] - b * y[i + 1]) /
                         std::sqrt(1 + a * a + b * b));
    }
    if (scaled.empty())
        return 0.0;
    const auto middle = scaled.begin() + static_cast<std::ptrdiff_t>(scaled.size() / 2);
    std::nth_element(scaled.begin(), middle, scaled.end());
    return 1.4826 * *middle;
}

} // namespace lab
