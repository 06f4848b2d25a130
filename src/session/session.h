#pragma once
// One plain object for what the user has set up: the type, the boxes as typed, the indicator,
// the measured readings, the curves kept for comparison and whether the derivative shows. The
// window shows it and the command line fills it; both compute from it alike — the schematic
// refresh, the calculation run, the readings' end points and fit, and the chart's series.

#include "chart/titrationchart.h"
#include "indicators/schematic.h"
#include "lab/measured.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace session {

/// A titration's curve kept for comparison, with what tells it apart from the others.
struct KeptCurve
{
    chem::TitrationType type = chem::TitrationType::WeakAcidStrongBase;
    indicators::BoxTexts boxes;
    chem::TitrationInputs inputs;
    std::optional<report::AnalyteConstants> constants;
    std::string legend; ///< "Ka 1E-5": set by keptLegends
    std::string name;   ///< a legend of its own, which keptLegends gives it as it is
};

struct Session
{
    std::optional<chem::TitrationType> type;
    indicators::BoxTexts boxes;
    int indicatorPosition = 0; ///< 0 for none
    std::optional<lab::Readings> readings;
    std::string readingsName; ///< the readings' file name, for the legend
    bool fitPKa = false;      ///< the fit varies the pKa values too
    bool fitOffset = false;   ///< and an electrode offset
    /// Activities by the Davies equation for every curve, the report and the fit; off by
    /// default, so the numbers are those of concentrations.
    chem::ActivityModel activity = chem::ActivityModel::None;
    /// Each burette reading's standard uncertainty (mL), which widens the end points' intervals.
    double volumeUncertainty = lab::kVolumeUncertainty;
    bool showDerivative = false;
    std::vector<KeptCurve> kept;
    /// The verdict label's caption as last shown, which the report repeats when the refresh
    /// hides the verdict ("Appropiate" until one is shown).
    std::string verdictCaption = "Appropiate";
};

/// What a session computes.
struct Outcome
{
    indicators::SchematicState schematic;
    report::CalculationInput input;
    std::optional<report::Report> report;       ///< none when refused
    std::optional<indicators::Refusal> refusal; ///< why, when refused
    std::optional<lab::Measured> measured;      ///< with readings, when not refused
};

/// The refresh and the run, and the readings' end points and fit against the result.
Outcome compute(const Session& session, const indicators::IndicatorCatalogue& catalogue);

/// The titration as the lab layer takes it (for the readings' analysis, a simulated meter's
/// flask): the type, the inputs and constants the refresh read, the activities and the burette's
/// uncertainty. For an outcome that is not refused.
lab::Setup labSetup(const Session& session, const Outcome& outcome);
/// The curve of the session's titration as it stands, to keep; none when refused.
std::optional<KeptCurve> curveToKeep(const Session& session, const Outcome& outcome);

/// Gives the kept curves and the shown one (`shown`, may be null) legends that name what differs
/// among them ("Ka 1E-5", "titrant 0.2 mol/L, Ka 1E-5"), or the type when that differs.
/// Returns the shown curve's legend.
std::string keptLegends(std::vector<KeptCurve>& kept, const KeptCurve* shown);

/// The chart for the session, made once from its outcome: the model and the report's equivalence
/// points, with every series the session holds — readings, the fitted curve, kept curves,
/// derivatives; its texts are left to the caller (chartTexts). None when the outcome is refused.
std::optional<chart::ChartModel> chartModel(const Session& session, const Outcome& outcome,
                                            const indicators::IndicatorCatalogue& catalogue);

/// The chart's texts, the same for the window and the command line: the title and the
/// indicator's name, and the line of inputs under a chart handed out as a file or picture.
chart::ChartTexts chartTexts(const Session& session, const Outcome& outcome,
                             const indicators::IndicatorCatalogue& catalogue);

/// The volumes a series of the model is computed at: even steps to the curve's end and dense
/// ones within 5 % of each equivalence volume.
std::vector<double> seriesVolumes(const report::TitrationModel& model);

/// The most curves a family draws: what the chart's legend can name.
inline constexpr std::size_t kMaxFamilyCurves = 20;

/// A family's input and values as written: the input as its command-line option without the
/// dashes (titrant, analyte, analyte-volume, ka, kb), then 1 to kMaxFamilyCurves values separated
/// by blanks or semicolons, as the constant box separates them. Each value is read as that option
/// reads it: a number in full, or for ka and kb a name. Fails with the reason otherwise.
struct FamilySpec
{
    std::string input; ///< the option's name, in lower case
    std::vector<std::string> values;
};
chem::Result<FamilySpec> readFamilySpec(std::string_view spec);

/// A family over one input, `spec` as readFamilySpec reads it: the session's curve takes the
/// first value and the others are kept. Fails with a reason for a spec readFamilySpec refuses, an
/// input that does not apply to the titration, or a value the refresh refuses.
chem::Result<Session> family(const Session& session, std::string_view spec,
                             const indicators::IndicatorCatalogue& catalogue);

} // namespace session
