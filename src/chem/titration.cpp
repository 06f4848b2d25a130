#include "chem/titration.h"

#include "chem/checkedmath.h"

#include <cmath>

namespace chem {

thread_local std::int32_t CalcErrorFlag = 0;

namespace {

using detail::divide;
using detail::finite;

/// Formal concentrations of acid and base once the two volumes are mixed.
struct Mixture
{
    double acid;
    double base;
};

Mixture mix(double C_Acido, double V_Acido_mL, double C_Base, double V_Base_mL)
{
    const double total = finite(V_Acido_mL + V_Base_mL);
    return {divide(finite(C_Acido * V_Acido_mL), total), divide(finite(C_Base * V_Base_mL), total)};
}

/// The common failure exit of the pH routines: flag set, pH 0.
template <typename Body> double guarded(Body body)
{
    try {
        return body();
    } catch (const detail::ArithmeticFailure&) {
        CalcErrorFlag = 1;
        return 0.0;
    }
}

/// pH from a root of the search, which is 0 with the flag set when the search failed.
double pHOfRoot(double h)
{
    if (h > 0.0 && CalcErrorFlag == 0)
        return detail::pHOf(h);
    return 0.0;
}

} // namespace

std::optional<TitrationType> titrationTypeFromIndex(int index)
{
    if (index < 0 || index > 3)
        return std::nullopt;
    return static_cast<TitrationType>(index);
}

double pH_AFBF(double C_Acido, double V_Acido_mL, double C_Base, double V_Base_mL)
{
    CalcErrorFlag = 0;
    return guarded([&] {
        const Mixture m = mix(C_Acido, V_Acido_mL, C_Base, V_Base_mL);
        // [H+] is the positive root of h² − d·h − Kw = 0. Each side uses the form of that root
        // in which nothing cancels: with base in excess (d < 0) the textbook (d + √…)/2 would
        // subtract two nearly equal numbers and lose [H+] altogether.
        const double d = finite(m.acid - m.base);
        const double root = std::sqrt(finite(finite(d * d) + 4.0 * Kw));
        const double h = d >= 0.0 ? (d + root) / 2.0 : divide(2.0 * Kw, finite(-d + root));
        return detail::pHOf(h);
    });
}

double pH_ADBF(double C_Acido, double V_Acido_mL, double C_Base, double V_Base_mL, double Ka)
{
    CalcErrorFlag = 0;
    return guarded([&] {
        const Mixture m = mix(C_Acido, V_Acido_mL, C_Base, V_Base_mL);
        // h + Cb = Kw/h + Ca·Ka/(h + Ka), multiplied out.
        const double a = finite(m.base + Ka);
        const double b = finite(finite(finite(m.base * Ka) - finite(m.acid * Ka)) - 1.0E-14);
        const double c = finite(Ka * -1.0E-14);
        return pHOfRoot(ResolverCubica(a, b, c));
    });
}

double pH_AFBD(double C_Acido, double V_Acido_mL, double C_Base, double V_Base_mL, double Kb)
{
    CalcErrorFlag = 0;
    return guarded([&] {
        const Mixture m = mix(C_Acido, V_Acido_mL, C_Base, V_Base_mL);
        // h + Cb·h/(h + Ka) = Kw/h + Ca with Ka = Kw/Kb, multiplied out and divided by Kb.
        const double a =
            divide(finite(finite(1.0E-14 - finite(m.acid * Kb)) + finite(m.base * Kb)), Kb);
        const double b = divide(finite(finite(-m.acid - Kb) * 1.0E-14), Kb);
        const double c = divide(-1.0E-28, Kb);
        return pHOfRoot(ResolverCubica(a, b, c));
    });
}

double analyteAlonePH(TitrationType type, double C, double K)
{
    // The mixing routine with the other reagent absent.
    switch (type) {
    case TitrationType::StrongAcidStrongBase:
        return pH_AFBF(C, 1, 0, 0);
    case TitrationType::WeakAcidStrongBase:
        return pH_ADBF(C, 1, 0, 0, K);
    case TitrationType::StrongBaseStrongAcid:
        return pH_AFBF(0, 0, C, 1);
    case TitrationType::WeakBaseStrongAcid:
        return pH_AFBD(0, 0, C, 1, K);
    }
    return 0.0;
}

double titrantAlonePH(TitrationType type, double C)
{
    return titrantIsBase(type) ? pH_AFBF(0, 0, C, 1) : pH_AFBF(C, 1, 0, 0);
}

double Get_pH(std::optional<TitrationType> type, const TitrationInputs& in, double Vol_ml_Valorante)
{
    CalcErrorFlag = 0;
    if (!type)
        return 0.0;
    const double V = Vol_ml_Valorante;
    switch (*type) {
    case TitrationType::StrongAcidStrongBase:
        return pH_AFBF(in.analyteConc, in.analyteVolume, in.titrantConc, V);
    case TitrationType::StrongBaseStrongAcid:
        return pH_AFBF(in.titrantConc, V, in.analyteConc, in.analyteVolume);
    case TitrationType::WeakAcidStrongBase:
        return pH_ADBF(in.analyteConc, in.analyteVolume, in.titrantConc, V,
                       in.dissociationConstant);
    case TitrationType::WeakBaseStrongAcid:
        return pH_AFBD(in.titrantConc, V, in.analyteConc, in.analyteVolume,
                       in.dissociationConstant);
    }
    return 0.0;
}

} // namespace chem
