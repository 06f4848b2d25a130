#include "report/model.h"

#include "report/acceptance.h"
#include "report/constanttext.h"

#include <algorithm>
#include <cmath>

namespace report {

namespace {

/// Whether the one-proton routines compute this analyte: no constants, or one pKa whose Ka or Kb
/// lies within the range the box accepts as a number.
bool usesOneProtonRoutines(const std::optional<AnalyteConstants>& constants)
{
    if (!constants)
        return true;
    if (constants->pKa.size() != 1)
        return false;
    // The bounds of the box's number for either kind: Kb < 1 is pKa < 14, Ka < 1 is pKa > 0.
    const double pKa = constants->pKa.front();
    return pKa > 0.0 && pKa < 14.0;
}

/// A weak analyte with these pKa values in the polyprotic model, however many they are.
chem::Result<chem::PolyproticTitration> polyproticForm(chem::TitrationType type,
                                                       const chem::TitrationInputs& inputs,
                                                       std::vector<double> pKa)
{
    const bool base = type == chem::TitrationType::WeakBaseStrongAcid;
    return chem::PolyproticTitration::make(
        {std::move(pKa), inputs.analyteConc,
         base ? chem::AnalyteKind::Base : chem::AnalyteKind::Acid},
        inputs.analyteVolume, inputs.titrantConc);
}

/// Any type with activities: a strong analyte without constants, a weak one with its pKa.
chem::Result<chem::ActivityTitration> activityForm(chem::TitrationType type,
                                                   const chem::TitrationInputs& inputs,
                                                   std::vector<double> pKa, int charge)
{
    const bool acid = chem::titrantIsBase(type);
    return chem::ActivityTitration::make({std::move(pKa), inputs.analyteConc,
                                          acid ? chem::AnalyteKind::Acid : chem::AnalyteKind::Base},
                                         charge, inputs.analyteVolume, inputs.titrantConc);
}

/// Runs one of the one-proton routines and reads their failure flag at once, so the flag never
/// leaves this file.
template <class Routine> PHValue oneProton(Routine routine)
{
    chem::CalcErrorFlag = 0;
    const double pH = routine();
    if (chem::CalcErrorFlag != 0) {
        chem::CalcErrorFlag = 0;
        return {0.0, true};
    }
    return {pH, false};
}

PHValue fromResult(const chem::Result<double>& r)
{
    return r ? PHValue{*r.value, false} : PHValue{0.0, true};
}

} // namespace

int protonCount(const std::optional<AnalyteConstants>& constants)
{
    return constants ? static_cast<int>(constants->pKa.size()) : 1;
}

double reportedConstant(chem::TitrationType type, double typed, const AnalyteConstants& constants)
{
    if (usesOneProtonRoutines(constants))
        return typed;
    const bool base = type == chem::TitrationType::WeakBaseStrongAcid;
    return oneProtonConstant(constants.pKa.front(), base);
}

std::vector<double> analytePKa(chem::TitrationType type, const chem::TitrationInputs& inputs,
                               const std::optional<AnalyteConstants>& constants)
{
    if (!chem::isWeak(type))
        return {};
    if (constants)
        return constants->pKa;
    const double K = inputs.dissociationConstant;
    if (!(K > 0))
        return {};
    if (type == chem::TitrationType::WeakBaseStrongAcid)
        return {14 + std::log10(K)}; // of the conjugate acid, Kw = 1E-14
    return {-std::log10(K)};
}

PHValue analyteAlonePH(chem::TitrationType type, double C, double K,
                       const std::optional<AnalyteConstants>& constants,
                       chem::ActivityModel activity)
{
    // Before any titrant the flask's volume and the titrant do not matter: any will do.
    chem::TitrationInputs in{1.0, C, 1.0, K};
    const std::optional<TitrationModel> model = TitrationModel::make(type, in, constants, activity);
    return model ? model->analyteAlonePH() : PHValue{0.0, true};
}

PHValue titrantAlonePH(chem::TitrationType type, double C, chem::ActivityModel activity)
{
    if (activity == chem::ActivityModel::None)
        return oneProton([&] { return chem::titrantAlonePH(type, C); });
    // The titrant alone is a strong analyte of the other kind before any titrant is added.
    const auto other = chem::titrantIsBase(type) ? chem::TitrationType::StrongBaseStrongAcid
                                                 : chem::TitrationType::StrongAcidStrongBase;
    const chem::Result<chem::ActivityTitration> t = activityForm(other, {C, C, 1.0, 0.0}, {}, 0);
    return t ? fromResult(t.value->pH(0.0)) : PHValue{0.0, true};
}

std::optional<TitrationModel> TitrationModel::make(chem::TitrationType type,
                                                   const chem::TitrationInputs& inputs,
                                                   const std::optional<AnalyteConstants>& constants,
                                                   chem::ActivityModel activity)
{
    TitrationModel model(type, inputs);
    model.pKa_ = analytePKa(type, inputs, constants);
    if (activity == chem::ActivityModel::Davies) {
        if (chem::isWeak(type) && model.pKa_.empty())
            return std::nullopt;
        model.charge_ = constants ? constants->charge : 0;
        chem::Result<chem::ActivityTitration> made =
            activityForm(type, inputs, model.pKa_, model.charge_);
        if (!made)
            return std::nullopt;
        model.activity_ = std::move(made.value);
        model.protons_ = std::max(1, static_cast<int>(model.pKa_.size()));
        return model;
    }
    if (!chem::isWeak(type) || usesOneProtonRoutines(constants))
        return model;
    chem::Result<chem::PolyproticTitration> made = polyproticForm(type, inputs, constants->pKa);
    if (!made)
        return std::nullopt;
    model.polyprotic_ = std::move(made.value);
    model.protons_ = static_cast<int>(constants->pKa.size());
    return model;
}

TitrationModel TitrationModel::smooth(std::optional<std::vector<double>> pKa) const
{
    if (activity_) {
        if (!pKa || !chem::isWeak(type_))
            return *this;
        chem::Result<chem::ActivityTitration> made = activityForm(type_, inputs_, *pKa, charge_);
        if (!made)
            return *this;
        TitrationModel model = *this;
        model.protons_ = static_cast<int>(pKa->size());
        model.pKa_ = std::move(*pKa);
        model.activity_ = std::move(made.value);
        return model;
    }
    if (!chem::isWeak(type_) || (polyprotic_ && !pKa))
        return *this;
    std::vector<double> constants = pKa ? std::move(*pKa) : pKa_;
    if (constants.empty())
        return *this;
    chem::Result<chem::PolyproticTitration> made = polyproticForm(type_, inputs_, constants);
    if (!made)
        return *this;
    TitrationModel model(type_, inputs_);
    model.protons_ = static_cast<int>(constants.size());
    model.pKa_ = std::move(constants);
    model.polyprotic_ = std::move(made.value);
    return model;
}

std::vector<double> TitrationModel::equivalenceVolumes() const
{
    if (activity_)
        return activity_->equivalenceVolumes();
    if (polyprotic_)
        return polyprotic_->equivalenceVolumes();
    return {equivalenceVolume(inputs_)};
}

PHValue TitrationModel::pH(double volume) const
{
    if (activity_)
        return fromResult(activity_->pH(volume));
    if (polyprotic_)
        return fromResult(polyprotic_->pH(volume));
    return oneProton([&] { return chem::Get_pH(type_, inputs_, volume); });
}

std::vector<PHValue> TitrationModel::curve(std::span<const double> volumes) const
{
    std::vector<PHValue> pHs;
    pHs.reserve(volumes.size());
    if (polyprotic_ || activity_) {
        const chem::Result<std::vector<double>> r =
            activity_ ? activity_->curve(volumes) : polyprotic_->curve(volumes);
        if (r) {
            for (const double p : *r.value)
                pHs.push_back({p, false});
            return pHs;
        }
    }
    for (const double V : volumes)
        pHs.push_back(pH(V));
    return pHs;
}

chem::Result<std::vector<double>>
TitrationModel::curveOrFailure(std::span<const double> volumes) const
{
    using Failure = chem::Result<std::vector<double>>;
    if (activity_) // with the ionic strength's reason
        return activity_->curve(volumes);
    std::vector<double> values;
    values.reserve(volumes.size());
    for (const PHValue& p : curve(volumes)) {
        if (p.failed || !std::isfinite(p.value))
            return Failure::failed("the model's pH cannot be computed at every volume");
        values.push_back(p.value);
    }
    return Failure::success(std::move(values));
}

PHValue TitrationModel::analyteAlonePH() const
{
    if (activity_)
        return fromResult(activity_->pH(0.0));
    if (polyprotic_)
        return fromResult(polyprotic_->analyteAlonePH());
    return oneProton([&] {
        return chem::analyteAlonePH(type_, inputs_.analyteConc, inputs_.dissociationConstant);
    });
}

} // namespace report
