#include "report/model.h"

#include "report/calculationrun.h"

#include <cmath>

namespace report {

int protonCount(const std::optional<AnalyteConstants>& constants)
{
    return constants ? static_cast<int>(constants->pKa.size()) : 1;
}

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

double analyteAlonePH(chem::TitrationType type, double C, double K,
                      const std::optional<AnalyteConstants>& constants)
{
    // Before any titrant the flask's volume and the titrant do not matter: any will do.
    chem::TitrationInputs in{1.0, C, 1.0, K};
    const std::optional<TitrationModel> model = TitrationModel::make(type, in, constants);
    if (model)
        return model->analyteAlonePH();
    chem::CalcErrorFlag = 1;
    return 0.0;
}

std::optional<TitrationModel> TitrationModel::make(chem::TitrationType type,
                                                   const chem::TitrationInputs& inputs,
                                                   const std::optional<AnalyteConstants>& constants)
{
    TitrationModel model(type, inputs);
    if (!chem::isWeak(type) || usesOneProtonRoutines(constants))
        return model;
    chem::Result<chem::PolyproticTitration> made = polyproticForm(type, inputs, constants->pKa);
    if (!made)
        return std::nullopt;
    model.polyprotic_ = std::move(made.value);
    model.protons_ = static_cast<int>(constants->pKa.size());
    return model;
}

std::vector<double> TitrationModel::equivalenceVolumes() const
{
    if (polyprotic_)
        return polyprotic_->equivalenceVolumes();
    return {equivalenceVolume(inputs_)};
}

double TitrationModel::pH(double volume) const
{
    if (!polyprotic_)
        return chem::Get_pH(type_, inputs_, volume);
    const chem::Result<double> r = polyprotic_->pH(volume);
    if (r)
        return *r.value;
    chem::CalcErrorFlag = 1;
    return 0.0;
}

std::vector<double> TitrationModel::curve(std::span<const double> volumes) const
{
    if (polyprotic_) {
        const chem::Result<std::vector<double>> r = polyprotic_->curve(volumes);
        if (r)
            return *r.value;
    }
    std::vector<double> pHs;
    pHs.reserve(volumes.size());
    for (const double V : volumes)
        pHs.push_back(pH(V));
    return pHs;
}

double TitrationModel::analyteAlonePH() const
{
    if (!polyprotic_)
        return chem::analyteAlonePH(type_, inputs_.analyteConc, inputs_.dissociationConstant);
    return pH(0.0);
}

} // namespace report
