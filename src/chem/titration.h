#pragma once
// Titration chemistry: the pH in the Erlenmeyer flask after some titrant has been added.
//
// The mixing routines are named after their reagents: A acid, B base, F strong, D weak.
// pH_AFBF solves the strong/strong charge balance in closed form; pH_ADBF and pH_AFBD turn
// the weak-acid and weak-base charge balances into cubics in [H+] and hand them to
// ResolverCubica. Get_pH picks the routine and the argument order for a titration type.
// Nothing here throws or shows anything: a failure returns pH 0 and sets CalcErrorFlag.
// All acids and bases are monoprotic; Kw = 1.0E-14 (25 °C); activities are ignored.

#include "chem/calcerror.h"
#include "chem/rootsearch.h"

#include <optional>

namespace chem {

/// The titration types, numbered as the type buttons. The analyte is in the flask, the titrant
/// in the burette.
enum class TitrationType : int {
    StrongAcidStrongBase = 0,
    WeakAcidStrongBase = 1,
    StrongBaseStrongAcid = 2,
    WeakBaseStrongAcid = 3,
};

/// The type whose button index is `index`, or none for an index that is not a type (no
/// button selected).
std::optional<TitrationType> titrationTypeFromIndex(int index);

/// True for the two types whose analyte needs a dissociation constant.
constexpr bool isWeak(TitrationType type)
{
    return type == TitrationType::WeakAcidStrongBase || type == TitrationType::WeakBaseStrongAcid;
}

/// True for the two types whose titrant is a strong base (the analyte is an acid).
constexpr bool titrantIsBase(TitrationType type)
{
    return type == TitrationType::StrongAcidStrongBase || type == TitrationType::WeakAcidStrongBase;
}

/// The accepted input quantities. A field holds kNotGiven when its box is empty or its text was
/// not accepted, and 0 before the inputs are read for the first time.
struct TitrationInputs
{
    double titrantConc = 0.0;          ///< mol/L, in the burette
    double analyteConc = 0.0;          ///< mol/L, in the flask
    double analyteVolume = 0.0;        ///< mL, in the flask before titration
    double dissociationConstant = 0.0; ///< Ka (weak acid) or Kb (weak base)
};

inline constexpr double kNotGiven = -1.0;

/// Ionic product of water.
inline constexpr double Kw = 1.0E-14;

/// pH of V_Acido_mL of a strong acid (C_Acido mol/L) mixed with V_Base_mL of a strong base
/// (C_Base mol/L). A pure solution is the mix with the other reagent's concentration and
/// volume 0, e.g. pH_AFBF(0, 0, C, 1) for a strong base alone.
double pH_AFBF(double C_Acido, double V_Acido_mL, double C_Base, double V_Base_mL);

/// The same for a weak acid of acidity constant Ka and a strong base.
double pH_ADBF(double C_Acido, double V_Acido_mL, double C_Base, double V_Base_mL, double Ka);

/// The same for a strong acid and a weak base of basicity constant Kb.
double pH_AFBD(double C_Acido, double V_Acido_mL, double C_Base, double V_Base_mL, double Kb);

/// pH of the analyte alone (concentration C, constant K for the weak types), before any titrant.
double analyteAlonePH(TitrationType type, double C, double K);

/// pH of the titrant alone (concentration C): a strong base for types 0 and 1, else a strong acid.
double titrantAlonePH(TitrationType type, double C);

/// pH in the flask after Vol_ml_Valorante mL of titrant, for the given type and inputs; 0 when
/// no type is selected or the computation failed (then CalcErrorFlag is 1).
double Get_pH(std::optional<TitrationType> type, const TitrationInputs& inputs,
              double Vol_ml_Valorante);

} // namespace chem
