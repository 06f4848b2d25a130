#pragma once
// The titration the report, the table, the chart and the schematic compute, whatever the
// analyte: the one-proton routines for the strong types and for a weak analyte with one constant
// the box accepts as a number, the polyprotic model otherwise. Each consumer is written once
// against this interface.

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

    bool operator==(const AnalyteConstants&) const = default;
};

/// The number of protons: 1 without constants.
int protonCount(const std::optional<AnalyteConstants>& constants);

/// Whether the one-proton routines compute this analyte: no constants, or one pKa whose Ka or Kb
/// lies within the range the box accepts as a number.
bool usesOneProtonRoutines(const std::optional<AnalyteConstants>& constants);

/// The analyte's pKa values, ascending: its constants, or for a weak type given one number that
/// number's (of the conjugate acid for a base); none for a strong type or a constant not given.
std::vector<double> analytePKa(chem::TitrationType type, const chem::TitrationInputs& inputs,
                               const std::optional<AnalyteConstants>& constants);

/// A weak analyte with these pKa values in the polyprotic model, however many they are: smooth to
/// 1E-9 pH where the one-proton routines find their root in steps of about 3E-4 pH, for
/// differences and fits over close volumes.
chem::Result<chem::PolyproticTitration> polyproticForm(chem::TitrationType type,
                                                       const chem::TitrationInputs& inputs,
                                                       std::vector<double> pKa);

/// The pH of the analyte alone (concentration `C`, one-proton constant `K`), before any titrant,
/// with TitrationModel::pH's failure contract.
double analyteAlonePH(chem::TitrationType type, double C, double K,
                      const std::optional<AnalyteConstants>& constants);

/// A titration the acceptance rule has passed.
class TitrationModel
{
public:
    /// The model of an accepted titration; none when the polyprotic model refuses it (which the
    /// acceptance rule should have prevented).
    static std::optional<TitrationModel> make(chem::TitrationType type,
                                              const chem::TitrationInputs& inputs,
                                              const std::optional<AnalyteConstants>& constants);

    chem::TitrationType type() const { return type_; }
    const chem::TitrationInputs& inputs() const { return inputs_; }
    int protons() const { return protons_; }

    /// The equivalence volumes in mL, ascending: one for the one-proton routines.
    std::vector<double> equivalenceVolumes() const;

    /// The pH after `volume` mL of titrant. The one-proton routines' contract: a failure gives 0
    /// and sets chem::CalcErrorFlag, which a success clears; the polyprotic model keeps it.
    double pH(double volume) const;

    /// pH() at every volume; ascending volumes are fastest.
    std::vector<double> curve(std::span<const double> volumes) const;

    /// The analyte's pH before any titrant, with pH()'s failure contract.
    double analyteAlonePH() const;

private:
    TitrationModel(chem::TitrationType type, const chem::TitrationInputs& inputs)
        : type_(type), inputs_(inputs)
    {}

    chem::TitrationType type_;
    chem::TitrationInputs inputs_;
    int protons_ = 1;
    std::optional<chem::PolyproticTitration> polyprotic_;
};

} // namespace report
