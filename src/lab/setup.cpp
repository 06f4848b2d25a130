#include "lab/setup.h"

#include <cmath>

namespace lab {

chem::Result<std::vector<double>> modelCurve(const Setup& setup, std::span<const double> volumes)
{
    using Failure = chem::Result<std::vector<double>>;
    const std::optional<report::TitrationModel> model = setup.model();
    if (!model)
        return Failure::failed("the titration's model cannot be made");
    // The one-proton routines clear the flag on every call, so it is read after each; the
    // window's own flag is put back, since the flag also carries the schematic's state.
    const std::int32_t saved = chem::CalcErrorFlag;
    std::vector<double> pH;
    pH.reserve(volumes.size());
    for (const double V : volumes) {
        chem::CalcErrorFlag = 0;
        const double p = model->pH(V);
        if (chem::CalcErrorFlag != 0 || !std::isfinite(p)) {
            chem::CalcErrorFlag = saved;
            return Failure::failed("the model's pH cannot be computed at every volume");
        }
        pH.push_back(p);
    }
    chem::CalcErrorFlag = saved;
    return Failure::success(std::move(pH));
}

} // namespace lab
