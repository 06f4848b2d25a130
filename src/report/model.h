#pragma once
// The titration the report, the table, the chart and the schematic compute, whatever the
// analyte: the one-proton routines for the strong types and for a weak analyte with one constant
// the box accepts as a number, the polyprotic model otherwise. Each consumer is written once
// against this interface and never asks which of the two serves it. This is the one place above
// the chemistry that reads chem::CalcErrorFlag: every pH leaves here with its failure beside it.
// With activities asked for (chem::ActivityModel::Davies) every type, strong or weak, goes to
// chem::ActivityTitration instead; without, nothing here changes a digit.

#include "chem/activity.h"
#include "chem/polyprotic.h"
#include "chem/titration.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace report {

/// A weak analyte given by its constants or by name instead of one number.
struct AnalyteConstants
{
    std::vector<double> pKa; ///< ascending; of the conjugate acid(s) for a base
    std::string name;        ///< the library's name; "" when typed as constants
    std::string formula;     ///< the library's formula; "" when typed as constants
    /// The charge of the form weighed out (Na2CO3: −2, NH4Cl: +1), its counter-ions of charge
    /// ±1; 0 for a neutral acid or base. Counts only with activities.
    int charge = 0;

    bool operator==(const AnalyteConstants&) const = default;
};

/// A pH with its failure, so that no caller reads a flag: where the computation failed, `value`
/// is 0 (what the report shows there) and `failed` is set.
struct PHValue
{
    double value = 0;
    bool failed = false;
};

/// The number of protons: 1 without constants.
int protonCount(const std::optional<AnalyteConstants>& constants);

/// The one constant the report writes for an analyte typed as constants or a name: the typed
/// Ka or Kb (`typed`) where the one-proton routines take it, else the first step's.
double reportedConstant(chem::TitrationType type, double typed, const AnalyteConstants& constants);

/// The analyte's pKa values, ascending: its constants, or for a weak type given one number that
/// number's (of the conjugate acid for a base); none for a strong type or a constant not given.
std::vector<double> analytePKa(chem::TitrationType type, const chem::TitrationInputs& inputs,
                               const std::optional<AnalyteConstants>& constants);

/// The pH of the analyte alone (concentration `C`, one-proton constant `K`), before any titrant.
PHValue analyteAlonePH(chem::TitrationType type, double C, double K,
                       const std::optional<AnalyteConstants>& constants,
                       chem::ActivityModel activity = chem::ActivityModel::None);

/// The pH of the titrant alone (concentration `C`).
PHValue titrantAlonePH(chem::TitrationType type, double C,
                       chem::ActivityModel activity = chem::ActivityModel::None);

/// A titration the acceptance rule has passed.
class TitrationModel
{
public:
    /// The model of an accepted titration; none when the polyprotic model refuses it (which the
    /// acceptance rule should have prevented).
    /// With `activity` Davies, every pH is the meter's with activities (chem/activity.h), the
    /// constants thermodynamic.
    static std::optional<TitrationModel>
    make(chem::TitrationType type, const chem::TitrationInputs& inputs,
         const std::optional<AnalyteConstants>& constants,
         chem::ActivityModel activity = chem::ActivityModel::None);

    chem::TitrationType type() const { return type_; }
    chem::ActivityModel activity() const
    {
        return activity_ ? chem::ActivityModel::Davies : chem::ActivityModel::None;
    }
    const chem::TitrationInputs& inputs() const { return inputs_; }
    int protons() const { return protons_; }
    /// The analyte's pKa values, ascending (of the conjugate acid for a base); none for a
    /// strong type.
    const std::vector<double>& pKa() const { return pKa_; }

    /// The same titration where every pH is smooth to 1E-9 pH (the one-proton routines find a
    /// weak analyte's root in steps of about 3E-4 pH, which differences over close volumes turn
    /// into false drops), for derivatives and fits; `pKa`, when given, replaces the analyte's
    /// constants. This model itself when it is smooth already or cannot be made smooth. A model
    /// with activities is smooth and stays one.
    TitrationModel smooth(std::optional<std::vector<double>> pKa = std::nullopt) const;

    /// The equivalence volumes in mL, ascending: one for the one-proton routines.
    std::vector<double> equivalenceVolumes() const;

    /// The pH after `volume` mL of titrant.
    PHValue pH(double volume) const;

    /// pH() at every volume; ascending volumes are fastest.
    std::vector<PHValue> curve(std::span<const double> volumes) const;

    /// pH() at every volume, or why not every one could be computed (with activities, the
    /// ionic strength's reason).
    chem::Result<std::vector<double>> curveOrFailure(std::span<const double> volumes) const;

    /// The analyte's pH before any titrant.
    PHValue analyteAlonePH() const;

private:
    TitrationModel(chem::TitrationType type, const chem::TitrationInputs& inputs)
        : type_(type), inputs_(inputs)
    {}

    chem::TitrationType type_;
    chem::TitrationInputs inputs_;
    int protons_ = 1;
    std::vector<double> pKa_; ///< the analyte's, for a weak type given a constant
    std::optional<chem::PolyproticTitration> polyprotic_;
    std::optional<chem::ActivityTitration> activity_;
    int charge_ = 0; ///< AnalyteConstants::charge, for a model with other constants
};

} // namespace report
