#include "lab/endpoints.h"

#include "lab/groups.h"
#include "lab/statistics.h"
#include "lab/synthetic.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lab {

namespace {

/// A jump must stand this many standard deviations of the slope out of the noise ...
constexpr double kPeakNoiseSigmas = 8.0;
/// ... and be this share of the highest one: a shoulder is not a jump.
constexpr double kPeakShare = 0.05;
/// Gran's line is drawn through a straight run of at least this many readings, when it has
/// as many, and a quarter of those in its range: a few straight readings would put it
/// anywhere.
constexpr std::size_t kFewestStraight = 5;

/// Whether the maximum at j stands `height` above the lowest point between it and a higher
/// one (or the end) on both sides, its prominence. Both sides are walked a step at a time
/// and the walk stops as soon as the answer is known, so that the many small maxima of dense
/// noisy readings cost a few steps each.
bool standsOut(const std::vector<double>& d, std::size_t j, double height)
{
    const double low = d[j] - height;
    bool leftDone = false, rightDone = false;
    for (std::size_t l = j, r = j; !(leftDone && rightDone);) {
        if (!leftDone) {
            if (l == 0 || d[l - 1] > d[j])
                return false;
            leftDone = d[--l] <= low;
        }
        if (!rightDone) {
            if (r + 1 == d.size() || d[r + 1] > d[j])
                return false;
            rightDone = d[++r] <= low;
        }
    }
    return true;
}

/// Whether a higher slope lies within the quadratics' reach of j: two maxima that close are
/// one jump, split by the noise or by uneven steps.
bool higherNearby(const std::vector<double>& d, std::size_t j)
{
    const std::size_t lo = j > 2 * kHalfWidth ? j - 2 * kHalfWidth : 0;
    const std::size_t hi = std::min(j + 2 * kHalfWidth, d.size() - 1);
    for (std::size_t k = lo; k <= hi; ++k)
        if (d[k] > d[j])
            return true;
    return false;
}

/// The vertex of the parabola through three points, kept between the outer two.
double vertex(const double x[3], const double y[3])
{
    const double d01 = (y[1] - y[0]) / (x[1] - x[0]);
    const double d12 = (y[2] - y[1]) / (x[2] - x[1]);
    const double d012 = (d12 - d01) / (x[2] - x[0]);
    if (!(d012 < 0.0))
        return x[1];
    return std::clamp(0.5 * (x[0] + x[1]) - d01 / (2.0 * d012), x[0], x[2]);
}

/// The vertex of the parabola through the slopes at j − 1, j, j + 1.
double vertexAt(const std::vector<double>& x, const std::vector<double>& d, std::size_t j)
{
    const double xs[3] = {x[j - 1], x[j], x[j + 1]};
    const double ys[3] = {d[j - 1], d[j], d[j + 1]};
    return vertex(xs, ys);
}

/// The width of the step between the readings on either side of `volume`.
double stepAround(const std::vector<double>& x, double volume)
{
    const auto after = std::upper_bound(x.begin(), x.end(), volume);
    if (after == x.begin() || after == x.end())
        return 0.0;
    return *after - *(after - 1);
}

/// The volumes a point of `s` averages the model over: those of up to 16 of its readings,
/// spread evenly through them; one where they share a volume.
void sampleVolumes(const Readings& r, const Groups& s, std::size_t k, std::vector<double>& volumes)
{
    constexpr std::size_t kSamples = 16;
    const std::size_t begin = s.first[k], n = s.first[k + 1] - begin;
    if (r.volume[begin] == r.volume[begin + n - 1]) {
        volumes.push_back(r.volume[begin]);
        return;
    }
    const std::size_t m = std::min(n, kSamples);
    for (std::size_t q = 0; q < m; ++q)
        volumes.push_back(r.volume[begin + (2 * q + 1) * n / (2 * m)]);
}

/// Half the 95 % interval of a maximum found at `volume` next to point j, and of it the
/// scatter's part: the method run again on the nominal model's curve, averaged as the readings
/// around j are, with the noise read from the data, the model's end point moved through the step
/// that holds `volume` (where in a step a narrow jump lies is what the readings cannot say), and
/// again with it fixed at `volume`; none without a model for it.
std::optional<std::pair<double, double>> simulatedHalfWidth(const Readings& r, const Groups& s,
                                                            std::size_t j, double volume,
                                                            double noise, double sign,
                                                            const Setup& setup, int index)
{
    const std::optional<report::TitrationModel> model = setup.model();
    const std::vector<double> eq = model ? model->equivalenceVolumes() : std::vector<double>{};
    if (static_cast<std::size_t>(index) > eq.size() || !(eq[index - 1] > 0.0))
        return std::nullopt;
    constexpr std::size_t kWindow = 8;
    constexpr int kRuns = 200;
    const std::size_t lo = j > kWindow ? j - kWindow : 0;
    const std::size_t hi = std::min(j + kWindow, s.x.size() - 1);
    Groups w;
    w.x.assign(s.x.begin() + lo, s.x.begin() + hi + 1);
    w.count.assign(s.count.begin() + lo, s.count.begin() + hi + 1);
    w.y.resize(w.x.size());
    std::vector<double> volumes;
    std::vector<std::size_t> until; // where each point's volumes end
    for (std::size_t k = lo; k <= hi; ++k) {
        sampleVolumes(r, s, k, volumes);
        until.push_back(volumes.size());
    }
    const double step = stepAround(w.x, volume);
    const chem::Result<std::vector<double>> nominal = modelCurve(setup, volumes);
    if (!nominal || sign * (nominal.value->back() - nominal.value->front()) <= 0.0)
        return std::nullopt; // a model that runs the other way says nothing about these

    NormalNoise normal(1); // the same runs every time: the interval is reproducible
    std::vector<double> d(w.x.size());
    // The 95th percentile of the errors with the end point moved through the step (`step` 1) or
    // fixed (0).
    const auto percentile95 = [&](double moving) -> std::optional<double> {
        std::vector<double> errors;
        chem::Result<std::vector<double>> pH;
        for (int run = 0; run < kRuns; ++run) {
            const double truth = volume + moving * step * ((run + 0.5) / kRuns - 0.5);
            // Fixed, the end point gives the same curve every run: computed once.
            if (moving != 0.0 || run == 0) {
                Setup moved = setup;
                moved.inputs.analyteConc *= truth / eq[index - 1];
                pH = modelCurve(moved, volumes);
            }
            if (!pH)
                return std::nullopt;
            for (std::size_t i = 0, v = 0; i < w.x.size(); ++i) {
                const std::size_t from = v;
                double sum = 0.0;
                for (; v < until[i]; ++v)
                    sum += (*pH.value)[v];
                w.y[i] = sum / static_cast<double>(v - from) +
                         noise * normal.next() / std::sqrt(w.count[i]);
            }
            for (std::size_t i = 0; i < w.x.size(); ++i)
                d[i] = sign * localQuadratic(w, i).slope;
            const auto top = std::max_element(d.begin() + 1, d.end() - 1);
            errors.push_back(std::abs(vertexAt(w.x, d, top - d.begin()) - truth));
        }
        std::sort(errors.begin(), errors.end());
        return errors[errors.size() * 95 / 100];
    };
    const std::optional<double> combined = percentile95(1.0), scatter = percentile95(0.0);
    if (!combined || !scatter)
        return std::nullopt;
    return std::pair(*combined, std::min(*scatter, *combined));
}

/// The 95 % half-width a volume added has from the burette: two readings, each with the
/// setup's standard uncertainty.
double volumeReadingHalfWidth(const Setup& setup)
{
    return 1.96 * std::sqrt(2.0) * setup.volumeUncertainty;
}

/// The equivalence point (1, 2, ...) a volume belongs to: the nearest of the nominal model's.
int equivalenceIndex(double volume, const Setup& setup)
{
    const std::optional<report::TitrationModel> model = setup.model();
    if (!model)
        return 1;
    const std::vector<double> eq = model->equivalenceVolumes();
    int best = 1;
    for (std::size_t k = 1; k < eq.size(); ++k)
        if (std::abs(eq[k] - volume) < std::abs(eq[best - 1] - volume))
            best = static_cast<int>(k) + 1;
    return best;
}

void setConcentration(EndPoint& p, const Setup& setup)
{
    const double Ct = setup.inputs.titrantConc, Va = setup.inputs.analyteVolume;
    p.analyteConcentration = Ct > 0.0 && Va > 0.0 ? Ct * p.volume / (p.index * Va) : 0.0;
}

/// Gran's function at the readings from 10 to 95 % of the estimate (before) or from 105 to
/// 200 % (after): its argument x, its value y, the share sd of the value that a pH reading's
/// noise moves (up to ln 10 × the noise), and the reading's volume.
struct GranPoints
{
    std::vector<double> x, y, sd, volume;

    void keep(std::size_t first, std::size_t last)
    {
        for (auto* v : {&x, &y, &sd, &volume})
            *v = std::vector<double>(v->begin() + static_cast<std::ptrdiff_t>(first),
                                     v->begin() + static_cast<std::ptrdiff_t>(last));
    }
};

GranPoints granPoints(const Readings& readings, const Setup& setup, double estimate, GranSide side)
{
    const bool weak = chem::isWeak(setup.type), acid = chem::titrantIsBase(setup.type);
    const double Va = setup.inputs.analyteVolume, Ct = setup.inputs.titrantConc;
    const double from = side == GranSide::Before ? 0.1 * estimate : 1.05 * estimate;
    const double to = side == GranSide::Before ? 0.95 * estimate : 2.0 * estimate;
    GranPoints g;
    for (std::size_t i = 0; i < readings.size(); ++i) {
        const double V = readings.volume[i];
        if (V < from || V > to)
            continue;
        const double h = std::pow(10.0, -readings.pH[i]);
        const double oh = std::pow(10.0, readings.pH[i] - 14.0);
        const double excess = (h - oh) * (Va + V); // mmol of acid over base in the flask
        g.volume.push_back(V);
        if (!weak) {
            g.x.push_back(V);
            g.y.push_back(excess);
            g.sd.push_back((h + oh) * (Va + V));
        } else {
            const double corrected = acid ? V + excess / Ct : V - excess / Ct;
            g.x.push_back(corrected);
            g.y.push_back(corrected * (acid ? h : oh));
            g.sd.push_back(std::abs(g.y.back()));
        }
    }
    return g;
}

/// Gran's line, weighted by 1/sd²; the weak forms' sd, a constant share of the value, is taken
/// from the line in a second pass, which the noise in the readings does not bias.
chem::Result<Line> granLine(const GranPoints& g, bool weak)
{
    const double scale = *std::max_element(g.sd.begin(), g.sd.end());
    std::vector<double> w(g.y.size());
    for (std::size_t i = 0; i < g.y.size(); ++i)
        w[i] = scale * scale / std::max(g.sd[i] * g.sd[i], 1e-30 * scale * scale);
    chem::Result<Line> line = fitLine(g.x, g.y, w);
    if (line && weak) {
        for (std::size_t i = 0; i < g.y.size(); ++i) {
            const double fitted = line.value->intercept + line.value->slope * g.x[i];
            if (fitted * g.y[i] > 0.0)
                w[i] = scale * scale / (fitted * fitted);
        }
        line = fitLine(g.x, g.y, w);
    }
    return line;
}

/// The lowest slope a calibrated glass electrode is taken to have, a share of Nernst's; the
/// synthetic bench's (synthetic.h) range.
constexpr double kLowestSlope = 0.97;

/// Where Gran's line through the readings [run.first, run.second) of its range meets the axis
/// with each reading's pH taken as `reread` gives it; the line's own intercept when it cannot.
template <typename Reread>
double rereadIntercept(Readings readings, const Setup& setup, double estimate, GranSide side,
                       std::pair<std::size_t, std::size_t> run, double volume, Reread reread)
{
    for (std::size_t i = 0; i < readings.size(); ++i)
        readings.pH[i] = reread(i, readings.pH[i]);
    GranPoints g = granPoints(readings, setup, estimate, side);
    if (run.second > g.x.size())
        return volume;
    g.keep(run.first, run.second);
    const chem::Result<Line> line = granLine(g, chem::isWeak(setup.type));
    const double moved = line ? line.value->xIntercept() : volume;
    return std::isfinite(moved) ? moved : volume;
}

/// The 95 % half-width of what bends Gran's function unseen: a meter calibrated at pH 7 whose
/// electrode has kLowestSlope reads pH − 7 that much short, a slowly growing share of Gran's
/// function that a line fitted over many millilitres turns into a shifted end; and the readings
/// are activities (a meter reads −log a(H⁺)) whose coefficients change with the ionic strength
/// along the line, which the nominal model's curves with and without them tell.
double electrodeHalfWidth(const Readings& readings, const Setup& setup, double estimate,
                          GranSide side, std::pair<std::size_t, std::size_t> run, double volume,
                          std::array<double, 2> lineVolumes)
{
    const double slope =
        rereadIntercept(readings, setup, estimate, side, run, volume,
                        [](std::size_t, double pH) { return 7.0 + (pH - 7.0) / kLowestSlope; }) -
        volume;
    Setup withActivities = setup, without = setup;
    withActivities.activity = chem::ActivityModel::Davies;
    without.activity = chem::ActivityModel::None;
    // The curves' difference only where the line runs, at no more than kSamples volumes and
    // between them interpolated: dense readings hold a million, and it changes slowly.
    constexpr std::size_t kSamples = 64;
    const auto& v = readings.volume;
    const std::size_t first = std::lower_bound(v.begin(), v.end(), lineVolumes[0]) - v.begin();
    const std::size_t last = std::upper_bound(v.begin(), v.end(), lineVolumes[1]) - v.begin();
    std::vector<double> at;
    for (std::size_t k = 0; first < last && k < kSamples; ++k)
        at.push_back(v[first + (last - 1 - first) * k / (kSamples - 1)]);
    at.erase(std::unique(at.begin(), at.end()), at.end());
    const chem::Result<std::vector<double>> a = modelCurve(withActivities, at);
    const chem::Result<std::vector<double>> c = modelCurve(without, at);
    const auto difference = [&](double x) {
        const auto j = std::upper_bound(at.begin(), at.end(), x) - at.begin();
        if (j == 0 || j == static_cast<std::ptrdiff_t>(at.size()))
            return (*c.value)[j == 0 ? 0 : at.size() - 1] - (*a.value)[j == 0 ? 0 : at.size() - 1];
        const double t = (x - at[j - 1]) / (at[j] - at[j - 1]);
        const double d0 = (*c.value)[j - 1] - (*a.value)[j - 1], d1 = (*c.value)[j] - (*a.value)[j];
        return d0 + t * (d1 - d0);
    };
    double activities = 0.0;
    if (a && c && !at.empty())
        activities = rereadIntercept(readings, setup, estimate, side, run, volume,
                                     [&](std::size_t i, double pH) {
                                         return i < first || i >= last ? pH : pH + difference(v[i]);
                                     }) -
                     volume;
    // Both bend the function the same way where the ions thin out along the line: added.
    return std::abs(slope) + std::abs(activities);
}

} // namespace

void EndPoint::countWholeStep()
{
    budget.spacing = std::max(budget.spacing, kStepShare95 * step);
    ci95 = {volume - budget.total(), volume + budget.total()};
}

double EndPoint::Budget::total() const
{
    return std::sqrt(spacing * spacing + volumeReading * volumeReading + scatter * scatter +
                     electrode * electrode);
}

chem::Result<std::vector<EndPoint>> derivativeEndPoints(const Readings& readings,
                                                        const Setup& setup)
{
    using Failure = chem::Result<std::vector<EndPoint>>;
    const Groups s = groupReadings(readings);
    const std::size_t n = s.x.size();
    if (n < 5)
        return Failure::failed("fewer than 5 distinct volumes");

    std::vector<Local> local(n);
    for (std::size_t j = 0; j < n; ++j)
        local[j] = localQuadratic(s, j);
    const double noise = readingNoise(local);

    // Rising or falling: the analyte's kind would say, but the readings are what counts.
    const double sign = s.y.back() >= s.y.front() ? 1.0 : -1.0;
    std::vector<double> d(n), d2(n);
    for (std::size_t j = 0; j < n; ++j) {
        d[j] = sign * local[j].slope;
        d2[j] = sign * local[j].secondDerivative;
    }
    const double highest = *std::max_element(d.begin(), d.end());

    std::vector<EndPoint> found;
    for (std::size_t j = 1; j + 1 < n; ++j) {
        if (!(d[j] > d[j - 1] && d[j] >= d[j + 1]) || higherNearby(d, j))
            continue;
        const double slopeNoise = noise * std::sqrt(local[j].slopeVariance);
        if (!(d[j] > 0.0) ||
            !standsOut(d, j, std::max(kPeakNoiseSigmas * slopeNoise, kPeakShare * highest)))
            continue;

        EndPoint p;
        p.method = EndPointMethod::Derivative;
        p.volume = vertexAt(s.x, d, j);
        // Numbered in order, as the model's equivalence points, or on from the one before.
        p.index =
            std::max(equivalenceIndex(p.volume, setup), found.empty() ? 1 : found.back().index + 1);
        const auto simulated =
            simulatedHalfWidth(readings, s, j, p.volume, noise, sign, setup, p.index);
        p.step = stepAround(s.x, p.volume);
        const double half = simulated ? simulated->first : kStepShare95 * p.step;
        if (!std::isfinite(p.volume) || !std::isfinite(half))
            continue; // volumes too close or too far apart for floating point
        p.budget.scatter = simulated ? simulated->second : 0.0;
        p.budget.spacing = std::sqrt(half * half - p.budget.scatter * p.budget.scatter);
        p.budget.volumeReading = volumeReadingHalfWidth(setup);
        p.ci95 = {p.volume - p.budget.total(), p.volume + p.budget.total()};

        // The check: where the second derivative turns from rising to falling slope, found
        // across a step between points, so it may lie that much further off.
        const std::size_t from = j > kHalfWidth ? j - kHalfWidth : 0;
        for (std::size_t k = from; k < std::min(j + kHalfWidth, n - 1); ++k) {
            if (d2[k] > 0.0 && d2[k + 1] <= 0.0) {
                const double at = s.x[k] + d2[k] / (d2[k] - d2[k + 1]) * (s.x[k + 1] - s.x[k]);
                if (!p.crossingVolume ||
                    std::abs(at - p.volume) < std::abs(*p.crossingVolume - p.volume))
                    p.crossingVolume = at;
            }
        }
        const double slack = 0.5 * p.step;
        p.crossingDisagrees = !p.crossingVolume || *p.crossingVolume < p.ci95[0] - slack ||
                              *p.crossingVolume > p.ci95[1] + slack;
        setConcentration(p, setup);
        found.push_back(p);
    }
    if (found.empty())
        return Failure::failed("no jump in the readings stands out of their noise");
    return Failure::success(std::move(found));
}

chem::Result<EndPoint> granEndPoint(const Readings& readings, const Setup& setup, double estimate,
                                    GranSide side)
{
    using Failure = chem::Result<EndPoint>;
    const bool weak = chem::isWeak(setup.type);
    if (weak && side == GranSide::After)
        return Failure::failed("Gran's method applies before the end point of a weak analyte");
    if (weak && report::protonCount(setup.constants) > 1)
        return Failure::failed("Gran's method here is for an analyte with one proton");
    const double Va = setup.inputs.analyteVolume, Ct = setup.inputs.titrantConc;
    if (!(Va > 0.0) || !(Ct > 0.0) || !(estimate > 0.0))
        return Failure::failed("no analyte volume, titrant concentration or end point");

    GranPoints g = granPoints(readings, setup, estimate, side);
    if (g.x.size() < 3)
        return Failure::failed("fewer than 3 readings for Gran's line");
    std::pair<std::size_t, std::size_t> used{0, g.x.size()};
    if (g.x.size() >= kFewestStraight) {
        // Where activities, the electrode or the titrant bend the function, only its straight
        // part next to the end point says where it meets the axis.
        const auto run =
            straightRun(g.x, g.y, g.sd, std::numbers::ln10 * readingNoise(groupReadings(readings)),
                        std::max(kFewestStraight, g.x.size() / 4), side == GranSide::Before);
        if (!run)
            return Failure::failed(kNotStraight);
        used = *run;
        g.keep(run->first, run->second);
    }
    chem::Result<Line> line = granLine(g, weak);
    if (!line)
        return Failure::failed("Gran's line: " + line.failure);
    const double t = studentTQuantile(0.975, line.value->degreesOfFreedom);
    const std::optional<std::array<double, 2>> interval = xInterceptInterval(*line.value, t);
    const double volume = line.value->xIntercept();
    if (!interval || !std::isfinite(volume) || !std::isfinite((*interval)[1] - (*interval)[0]))
        return Failure::failed("Gran's line is too flat for an end point");
    if (volume <= 0.0 || std::abs(volume - estimate) > 0.5 * estimate)
        return Failure::failed("Gran's line does not meet the axis near the end point");
    EndPoint p;
    p.method = EndPointMethod::Gran;
    p.volume = volume;
    // The line's own interval is the readings' scatter; the burette's readings widen it.
    p.budget.scatter = ((*interval)[1] - (*interval)[0]) / 2;
    p.budget.volumeReading = volumeReadingHalfWidth(setup);
    p.budget.electrode = electrodeHalfWidth(readings, setup, estimate, side, used, volume,
                                            {g.volume.front(), g.volume.back()});
    const double wider = p.budget.total() - p.budget.scatter;
    p.ci95 = {(*interval)[0] - wider, (*interval)[1] + wider};
    p.side = side;
    p.linePoints = static_cast<int>(g.x.size());
    p.lineVolumes = {g.volume.front(), g.volume.back()};
    p.index = equivalenceIndex(p.volume, setup);
    setConcentration(p, setup);
    return Failure::success(p);
}

chem::Result<std::vector<EndPoint>> findEndPoints(const Readings& readings, const Setup& setup,
                                                  std::vector<std::string>* declined)
{
    chem::Result<std::vector<EndPoint>> found = derivativeEndPoints(readings, setup);
    if (!found)
        return found;
    const EndPoint first = found.value->front();
    const bool weak = chem::isWeak(setup.type);
    if (weak && report::protonCount(setup.constants) > 1)
        return found; // Gran's method here is for one proton
    for (const GranSide side : {GranSide::Before, GranSide::After}) {
        if (weak && side == GranSide::After)
            continue;
        chem::Result<EndPoint> gran = granEndPoint(readings, setup, first.volume, side);
        if (gran)
            found.value->push_back(*gran.value);
        else if (declined)
            declined->push_back((side == GranSide::Before ? "before: " : "after: ") + gran.failure);
    }
    return found;
}

} // namespace lab
