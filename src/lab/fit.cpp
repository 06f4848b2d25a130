#include "lab/fit.h"

#include "chem/polyprotic.h"
#include "lab/endpoints.h"
#include "lab/groups.h"
#include "report/constanttext.h"
#include "report/numbertext.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace lab {

namespace {

constexpr double kLn10 = std::numbers::ln10;
const char* const kNotConverged = "the fit did not converge";
/// Forward-difference step of a parameter (a log10 or a pKa): the residuals are smooth to
/// about 1e-9 pH, so the Jacobian is good to about 1e-3.
constexpr double kDifferenceStep = 1e-6;
/// The largest step in any parameter: a factor of 10 in concentration, one pKa unit.
constexpr double kMaxStep = 1.0;
constexpr double kLowestLogConcentration = -10.0;
/// An electrode calibrated at all is off by less than this (pH).
constexpr double kMaxOffset = 2.0;
/// An rms residual (pH) below which readings are the model's own: it is smooth to about 1e-9.
constexpr double kExactResidual = 1e-7;

using Vector = std::vector<double>;
using Matrix = std::vector<Vector>;

double sumOfSquares(const Vector& r)
{
    double s = 0.0;
    for (const double x : r)
        s += x * x;
    return s;
}

/// Which parameters vary, how they go back into a setup, and the residuals they give.
class Problem
{
public:
    Problem(const Readings& readings, const Setup& setup, bool fitPKa, bool fitOffset)
        : setup_(setup), base_(setup.type == chem::TitrationType::WeakBaseStrongAcid),
          readings_(readings.size()), fitOffset_(fitOffset)
    {
        pKa_ = report::analytePKa(setup.type, setup.inputs, setup.constants);
        fitPKa_ = fitPKa && !pKa_.empty();
        const Groups coarse = groupReadings(readings);
        groups_ = fitGroups(readings, coarse, readingNoise(coarse));
        for (const double w : groups_.within)
            within_ += w;
        for (double& c : groups_.count)
            c = std::sqrt(c);
    }

    /// The sum of squares over the readings of the residuals `r` of the groups.
    double sumOfSquares(const Vector& r) const { return lab::sumOfSquares(r) + within_; }
    std::size_t readings() const { return readings_; }

    /// The parameters: log10 of the concentration, the pKa values when fitted, the offset last.
    std::size_t size() const { return 1 + pKaCount() + (fitOffset_ ? 1 : 0); }
    std::size_t pKaCount() const { return fitPKa_ ? pKa_.size() : 0; }
    bool fitsOffset() const { return fitOffset_; }

    Vector start(double concentration) const
    {
        Vector p{std::log10(concentration)};
        if (fitPKa_)
            p.insert(p.end(), pKa_.begin(), pKa_.end());
        if (fitOffset_)
            p.push_back(0.0);
        return p;
    }

    /// The setup at `p`; none outside the accepted ranges.
    std::optional<Setup> setupAt(const Vector& p) const
    {
        if (!(p[0] >= kLowestLogConcentration && p[0] <= std::log10(chem::kMaxConcentration)))
            return std::nullopt;
        Setup s = setup_;
        s.inputs.analyteConc = std::pow(10.0, p[0]);
        if (fitOffset_ && !(std::abs(p.back()) <= kMaxOffset))
            return std::nullopt;
        if (!fitPKa_)
            return s;
        const Vector pKa = pKaOf(p);
        if (!std::is_sorted(pKa.begin(), pKa.end()))
            return std::nullopt;
        // Typed as a number, the constant stays a number within the box's range.
        const bool asNumber = !setup_.constants;
        const double lowest = asNumber ? 0.0 : chem::kMinPKa;
        const double highest = asNumber ? 14.0 : chem::kMaxPKa;
        if (!(pKa.front() > lowest && pKa.back() < highest))
            return std::nullopt;
        if (!asNumber) // the salt's ions stay: activities need them
            s.constants = report::AnalyteConstants{pKa, {}, {}, setup_.constants->charge};
        // The one-proton routines take the Ka or Kb (of the outer step, as the schematic does).
        s.inputs.dissociationConstant =
            report::oneProtonConstant(base_ ? pKa.back() : pKa.front(), base_);
        return s;
    }

    /// Model − reading at every reading; none where the model fails.
    ///
    /// The weak one-proton routines search their cubic's root in steps of about 3e-4 pH, a
    /// staircase a Jacobian by differences cannot follow; the same chemistry in the polyprotic
    /// form is smooth to 1e-9 pH, so a weak analyte is fitted in that form.
    std::optional<Vector> residuals(const Vector& p) const
    {
        const std::optional<Setup> s = setupAt(p);
        if (!s)
            return std::nullopt;
        chem::Result<Vector> pH;
        if (pKa_.empty()) {
            pH = modelCurve(*s, groups_.x);
        } else {
            const std::optional<report::TitrationModel> model = s->model();
            if (model)
                pH = model->smooth(fitPKa_ ? pKaOf(p) : pKa_).curveOrFailure(groups_.x);
        }
        if (!pH)
            return std::nullopt;
        // The meter reads the model's pH plus its offset; each group weighs as its readings:
        // √count × (model − mean).
        const double offset = fitOffset_ ? p.back() : 0.0;
        for (std::size_t i = 0; i < pH.value->size(); ++i)
            (*pH.value)[i] = groups_.count[i] * ((*pH.value)[i] + (offset - groups_.y[i]));
        return std::move(*pH.value);
    }

    Vector pKaOf(const Vector& p) const
    {
        return Vector(p.begin() + 1, p.begin() + 1 + static_cast<std::ptrdiff_t>(pKaCount()));
    }

private:
    const Setup& setup_;
    bool base_ = false;
    std::size_t readings_ = 0;
    Groups groups_;     ///< its count the square root of each group's
    double within_ = 0; ///< the readings' sum of squares about their groups' lines
    Vector pKa_;        ///< the analyte's, nominal; empty for a strong analyte
    bool fitPKa_ = false;
    bool fitOffset_ = false;
};

/// Solves A·x = b for a symmetric positive definite A by Cholesky; none when a pivot falls
/// below `tolerance` times its diagonal element (the matrix is singular for this purpose).
std::optional<Vector> solveCholesky(Matrix a, Vector b, double tolerance)
{
    const std::size_t n = b.size();
    for (std::size_t j = 0; j < n; ++j) {
        const double diagonal = a[j][j];
        double d = diagonal;
        for (std::size_t k = 0; k < j; ++k)
            d -= a[j][k] * a[j][k];
        if (!(d > tolerance * diagonal) || !(diagonal > 0.0))
            return std::nullopt;
        a[j][j] = std::sqrt(d);
        for (std::size_t i = j + 1; i < n; ++i) {
            double s = a[i][j];
            for (std::size_t k = 0; k < j; ++k)
                s -= a[i][k] * a[j][k];
            a[i][j] = s / a[j][j];
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t k = 0; k < i; ++k)
            b[i] -= a[i][k] * b[k];
        b[i] /= a[i][i];
    }
    for (std::size_t i = n; i-- > 0;) {
        for (std::size_t k = i + 1; k < n; ++k)
            b[i] -= a[k][i] * b[k];
        b[i] /= a[i][i];
    }
    return b;
}

struct Minimum
{
    Vector p;
    Vector r;
    Matrix jtj;
    int iterations = 0;
};

/// The Jacobian's normal matrix JᵀJ and gradient Jᵀr at `p`; none if the model fails on both
/// sides of a parameter.
std::optional<std::pair<Matrix, Vector>> normalEquations(const Problem& problem, const Vector& p,
                                                         const Vector& r)
{
    const std::size_t m = p.size(), n = r.size();
    Matrix jacobian(m);
    for (std::size_t k = 0; k < m; ++k) {
        for (const double h : {kDifferenceStep, -kDifferenceStep}) {
            Vector q = p;
            q[k] += h;
            if (const std::optional<Vector> rq = problem.residuals(q)) {
                jacobian[k].resize(n);
                for (std::size_t i = 0; i < n; ++i)
                    jacobian[k][i] = ((*rq)[i] - r[i]) / h;
                break;
            }
        }
        if (jacobian[k].empty())
            return std::nullopt;
    }
    Matrix jtj(m, Vector(m, 0.0));
    Vector jtr(m, 0.0);
    for (std::size_t a = 0; a < m; ++a) {
        for (std::size_t i = 0; i < n; ++i)
            jtr[a] += jacobian[a][i] * r[i];
        for (std::size_t b = 0; b <= a; ++b) {
            for (std::size_t i = 0; i < n; ++i)
                jtj[a][b] += jacobian[a][i] * jacobian[b][i];
            jtj[b][a] = jtj[a][b];
        }
    }
    return std::pair{std::move(jtj), std::move(jtr)};
}

/// Levenberg–Marquardt from `p`; none when it fails or runs out of iterations. It has
/// converged when the undamped Gauss–Newton step would lower the sum of squares by less than
/// 1e-4 of the residual variance: it would move the parameters by 0.01 of a standard error,
/// about what the forward differences can still resolve.
std::optional<Minimum> minimise(const Problem& problem, Vector p)
{
    std::optional<Vector> r = problem.residuals(p);
    if (!r)
        return std::nullopt;
    const std::size_t n = problem.readings(), m = p.size();
    double sse = problem.sumOfSquares(*r);
    double lambda = 1e-3;
    for (int iteration = 1; iteration <= kMaxFitIterations; ++iteration) {
        std::optional<std::pair<Matrix, Vector>> normal = normalEquations(problem, p, *r);
        if (!normal)
            return std::nullopt;
        auto& [jtj, jtr] = *normal;
        for (double& g : jtr)
            g = -g;
        if (const std::optional<Vector> step = solveCholesky(jtj, jtr, 1e-15)) {
            double decrease = 0.0;
            for (std::size_t k = 0; k < m; ++k)
                decrease += (*step)[k] * jtr[k];
            if (decrease <= 1e-4 * sse / static_cast<double>(n - m))
                return Minimum{std::move(p), std::move(*r), std::move(jtj), iteration};
        }
        bool stepped = false;
        while (!stepped && lambda < 1e12) {
            Matrix damped = jtj;
            for (std::size_t k = 0; k < m; ++k)
                damped[k][k] *= 1.0 + lambda;
            std::optional<Vector> step = solveCholesky(damped, jtr, 1e-15);
            if (!step) {
                lambda *= 4.0;
                continue;
            }
            double longest = 0.0;
            for (const double s : *step)
                longest = std::max(longest, std::abs(s));
            const double shrink = longest > kMaxStep ? kMaxStep / longest : 1.0;
            Vector q = p;
            for (std::size_t k = 0; k < m; ++k)
                q[k] += shrink * (*step)[k];
            std::optional<Vector> rq = problem.residuals(q);
            const double sseQ = rq ? problem.sumOfSquares(*rq) : HUGE_VAL;
            if (sseQ < sse) {
                stepped = true;
                p = std::move(q);
                r = std::move(rq);
                sse = sseQ;
                lambda = std::max(lambda / 3.0, 1e-9);
            } else {
                lambda *= 4.0;
            }
        }
        // No step lowers it: a minimum where the model meets the readings to its own resolution
        // (an ideal electrode's readings), else a failure.
        if (!stepped && sse <= kExactResidual * kExactResidual * static_cast<double>(n))
            return Minimum{std::move(p), std::move(*r), std::move(jtj), iteration};
        if (!stepped)
            return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

chem::Result<Fit> fitReadings(const Readings& readings, const Setup& setup, bool fitPKa,
                              bool fitOffset)
{
    using Failure = chem::Result<Fit>;
    const Problem problem(readings, setup, fitPKa, fitOffset);
    const std::size_t n = readings.size(), m = problem.size();
    if (n <= m + 1)
        return Failure::failed(std::string(kNotConverged) + ": too few readings");

    std::vector<double> starts;
    if (setup.inputs.analyteConc > 0.0)
        starts.push_back(setup.inputs.analyteConc);
    if (const auto found = derivativeEndPoints(readings, setup))
        starts.push_back(found.value->front().analyteConcentration);

    std::optional<Minimum> best;
    for (const double c : starts) {
        if (!(c > 0.0))
            continue;
        std::optional<Minimum> end = minimise(problem, problem.start(c));
        if (end && (!best || problem.sumOfSquares(end->r) < problem.sumOfSquares(best->r)))
            best = std::move(end);
    }
    if (!best)
        return Failure::failed(kNotConverged);

    const double sse = problem.sumOfSquares(best->r);
    const double rms = std::sqrt(sse / static_cast<double>(n));
    if (!(rms <= kMaxFitRmsResidual)) {
        return Failure::failed(std::string(kNotConverged) +
                               ": the readings do not follow this titration (rms residual " +
                               report::FixedText(rms, 2) + " pH)");
    }
    // The covariance s²·(JᵀJ)⁻¹, a column at a time.
    const double s2 = sse / static_cast<double>(n - m);
    Vector variance(m);
    for (std::size_t k = 0; k < m; ++k) {
        Vector unit(m, 0.0);
        unit[k] = 1.0;
        const std::optional<Vector> column = solveCholesky(best->jtj, unit, 1e-12);
        if (!column)
            return Failure::failed(std::string(kNotConverged) +
                                   ": the readings do not determine its parameters");
        variance[k] = s2 * (*column)[k];
    }

    Fit fit;
    fit.fitted = *problem.setupAt(best->p);
    fit.analyteConcentration = fit.fitted.inputs.analyteConc;
    fit.analyteConcentrationSE = fit.analyteConcentration * kLn10 * std::sqrt(variance[0]);
    const double atLeastMeter = std::max(1.0, kMeterScatter * kMeterScatter / s2);
    for (std::size_t k = 1; k <= problem.pKaCount(); ++k) {
        fit.pKa.push_back(best->p[k]);
        fit.pKaSE.push_back(std::sqrt(variance[k]));
        const auto [lowest, highest] = std::minmax_element(readings.pH.begin(), readings.pH.end());
        fit.pKaDetermined.push_back(std::sqrt(variance[k] * atLeastMeter) <= kUndeterminedPKaSE &&
                                    *lowest <= best->p[k] + kBufferReach &&
                                    *highest >= best->p[k] - kBufferReach);
    }
    if (problem.fitsOffset()) {
        fit.offset = best->p.back();
        fit.offsetSE = std::sqrt(variance.back());
    }
    fit.rmsResidual = rms;
    fit.iterations = best->iterations;
    for (const double x : variance)
        if (!std::isfinite(x))
            return Failure::failed(kNotConverged);
    return Failure::success(std::move(fit));
}

} // namespace lab
