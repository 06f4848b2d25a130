#include "lab/groups.h"

#include <algorithm>
#include <cmath>

namespace lab {

namespace {

/// The share of the run's span below which readings are averaged.
constexpr double kFinestStep = 1e-3;
/// The noise never counts as less than a meter's last digit (0.001 pH) can hide.
constexpr double kMinNoise = 0.0005;

double median(std::vector<double> v)
{
    if (v.empty())
        return 0.0;
    const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}

/// The readings from `begin` to `end` as one group of `g`, and the slope of their line (0 at
/// one volume).
double addGroup(const Readings& r, std::size_t begin, std::size_t end, Groups& g)
{
    const double n = static_cast<double>(end - begin);
    double mx = 0.0, my = 0.0;
    for (std::size_t i = begin; i < end; ++i) {
        mx += r.volume[i];
        my += r.pH[i];
    }
    mx /= n;
    my /= n;
    double sxx = 0.0, sxy = 0.0, syy = 0.0;
    for (std::size_t i = begin; i < end; ++i) {
        const double dx = r.volume[i] - mx, dy = r.pH[i] - my;
        sxx += dx * dx;
        sxy += dx * dy;
        syy += dy * dy;
    }
    const double slope = sxx > 0.0 ? sxy / sxx : 0.0;
    g.x.push_back(r.volume[begin] == r.volume[end - 1] ? r.volume[begin] : mx);
    g.y.push_back(my);
    g.count.push_back(n);
    g.within.push_back(std::max(syy - slope * sxy, 0.0));
    g.first.push_back(begin);
    return slope;
}

void splitGroup(const Readings& r, std::size_t begin, std::size_t end, double noise, Groups& g)
{
    const double slope = addGroup(r, begin, end, g);
    if (end - begin < 2 || !(std::abs(slope) * (r.volume[end - 1] - r.volume[begin]) > noise))
        return;
    for (auto* v : {&g.x, &g.y, &g.count, &g.within})
        v->pop_back();
    g.first.pop_back();
    const std::size_t middle = begin + (end - begin) / 2;
    splitGroup(r, begin, middle, noise, g);
    splitGroup(r, middle, end, noise, g);
}

} // namespace

Groups groupReadings(const Readings& r)
{
    Groups g;
    if (r.size() == 0)
        return g;
    const double step = kFinestStep * (r.volume.back() - r.volume.front());
    double start = r.volume.front();
    for (std::size_t i = 0; i < r.size(); ++i) {
        if (!g.x.empty() && (r.volume[i] == start || r.volume[i] < start + step)) {
            // Running means: at one volume the mean is that volume exactly.
            const double n = ++g.count.back();
            g.x.back() += (r.volume[i] - g.x.back()) / n;
            g.y.back() += (r.pH[i] - g.y.back()) / n;
        } else {
            start = r.volume[i];
            g.x.push_back(r.volume[i]);
            g.y.push_back(r.pH[i]);
            g.count.push_back(1.0);
            g.first.push_back(i);
        }
    }
    g.first.push_back(r.size());
    return g;
}

Groups fitGroups(const Readings& r, const Groups& coarse, double noise)
{
    Groups g;
    for (std::size_t k = 0; k < coarse.size(); ++k)
        splitGroup(r, coarse.first[k], coarse.first[k + 1], noise, g);
    g.first.push_back(r.size());
    return g;
}

Local localQuadratic(const Groups& s, std::size_t j)
{
    const std::size_t n = s.x.size();
    const std::size_t lo = std::min(j > kHalfWidth ? j - kHalfWidth : 0, n - 2 * kHalfWidth - 1);
    const std::size_t hi = lo + 2 * kHalfWidth;
    const double scale = std::max(s.x[hi] - s.x[j], s.x[j] - s.x[lo]);
    // Normal equations of y = a + b·u + c·u², u = (x − x_j)/scale, weighted by the count.
    double m[3][3] = {}, v[3] = {};
    for (std::size_t i = lo; i <= hi; ++i) {
        const double u = (s.x[i] - s.x[j]) / scale;
        const double p[3] = {1.0, u, u * u};
        for (int r = 0; r < 3; ++r) {
            v[r] += s.count[i] * p[r] * s.y[i];
            for (int c = 0; c < 3; ++c)
                m[r][c] += s.count[i] * p[r] * p[c];
        }
    }
    // The inverse by cofactors: five distinct points make the matrix well conditioned.
    double inv[3][3];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const int r1 = (c + 1) % 3, r2 = (c + 2) % 3, c1 = (r + 1) % 3, c2 = (r + 2) % 3;
            inv[r][c] = m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1];
        }
    const double det = m[0][0] * inv[0][0] + m[0][1] * inv[1][0] + m[0][2] * inv[2][0];
    double coef[3] = {};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            inv[r][c] /= det;
            coef[r] += inv[r][c] * v[c];
        }
    }
    Local l;
    l.slope = coef[1] / scale;
    l.secondDerivative = 2.0 * coef[2] / (scale * scale);
    l.slopeVariance = inv[1][1] / (scale * scale);
    l.residual = s.y[j] - coef[0];
    l.residualVariance = 1.0 / s.count[j] - inv[0][0];
    return l;
}

double readingNoise(const std::vector<Local>& local)
{
    std::vector<double> spread;
    spread.reserve(local.size());
    for (const Local& l : local)
        if (l.residualVariance > 1e-9)
            spread.push_back(std::abs(l.residual) / std::sqrt(l.residualVariance));
    return std::max(1.4826 * median(std::move(spread)), kMinNoise);
}

double readingNoise(const Groups& g)
{
    std::vector<Local> local;
    for (std::size_t j = 0; g.size() > 2 * kHalfWidth && j < g.size(); ++j)
        local.push_back(localQuadratic(g, j));
    return readingNoise(local);
}

} // namespace lab
