#include "lab/coverage.h"

#include "lab/measured.h"

#include <algorithm>
#include <cmath>

namespace lab {

namespace {

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

} // namespace

chem::Result<Trial> randomTrial(chem::TitrationType type, VolumePlan plan, std::uint32_t seed)
{
    using chem::TitrationType;
    NormalNoise random(seed);
    Trial t;
    t.truth.type = type;
    t.truth.inputs = {0.1, 0.02 + 0.13 * random.uniform(), 25.0, 0.0};
    if (type == TitrationType::WeakAcidStrongBase)
        t.truth.inputs.dissociationConstant = std::pow(10.0, -(3.5 + 2.5 * random.uniform()));
    else if (type == TitrationType::WeakBaseStrongAcid) // Kb from the conjugate acid's pKa
        t.truth.inputs.dissociationConstant = std::pow(10.0, 8.5 + 1.5 * random.uniform() - 14.0);
    t.typed = t.truth;
    t.truth.activity = chem::ActivityModel::Davies;
    t.typed.inputs.analyteConc *= 1.0 + 0.06 * (random.uniform() - 0.5);
    const std::optional<report::TitrationModel> model = t.typed.model();
    if (!model)
        return chem::Result<Trial>::failed("the typed titration's model cannot be made");
    const std::vector<double> expected = model->equivalenceVolumes();
    const std::vector<double> planned = plannedVolumes(plan, expected, 1.5 * expected.back() + 1.0);
    const auto benchSeed = static_cast<std::uint32_t>(random.uniform() * 4294967295.0);
    chem::Result<Readings> r = benchReadings(t.truth, planned, BenchErrors{}, benchSeed);
    if (!r)
        return chem::Result<Trial>::failed(r.failure);
    t.readings = std::move(*r.value);
    return chem::Result<Trial>::success(std::move(t));
}

Coverage measureCoverage(chem::TitrationType type, VolumePlan plan, int runs,
                         std::uint32_t firstSeed)
{
    Coverage c;
    std::vector<double> halfWidths[2]; // the derivative's, Gran's
    for (int run = 0; run < runs; ++run) {
        const chem::Result<Trial> trial = randomTrial(type, plan, firstSeed + run);
        if (!trial)
            continue;
        ++c.runs;
        const Setup& truth = trial.value->truth;
        // What the student's analysis is judged by: the typed setup, the pKa fitted as the
        // program advises when its table value misses the readings.
        const Measured m =
            analyseReadings(trial.value->readings, trial.value->typed, chem::isWeak(type), false);
        const double trueEnd =
            truth.inputs.analyteConc * truth.inputs.analyteVolume / truth.inputs.titrantConc;
        bool derivativeSeen = false;
        for (const EndPoint& e : m.endPoints) {
            if (e.index != 1 || (e.method == EndPointMethod::Derivative && derivativeSeen))
                continue;
            const bool held = e.ci95[0] <= trueEnd && trueEnd <= e.ci95[1];
            halfWidths[e.method == EndPointMethod::Gran].push_back((e.ci95[1] - e.ci95[0]) / 2);
            if (e.method == EndPointMethod::Derivative) {
                derivativeSeen = true;
                ++c.derivativeFound;
                c.derivativeHeld += held;
            } else {
                ++c.granFound;
                c.granHeld += held;
            }
        }
        if (m.fit) {
            ++c.fitFound;
            c.fitHeld += std::abs(m.fit->analyteConcentration - truth.inputs.analyteConc) <=
                         1.959964 * m.fit->analyteConcentrationSE;
        }
    }
    c.derivativeMedianHalfWidth = median(std::move(halfWidths[0]));
    c.granMedianHalfWidth = median(std::move(halfWidths[1]));
    return c;
}

} // namespace lab
