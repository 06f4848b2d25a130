#include "lab/setup.h"

#include <cmath>

namespace lab {

chem::Result<std::vector<double>> modelCurve(const Setup& setup, std::span<const double> volumes)
{
    using Failure = chem::Result<std::vector<double>>;
    const std::optional<report::TitrationModel> model = setup.model();
    if (!model)
        return Failure::failed("the titration's model cannot be made");
    // Point by point, as the readings' volumes need not ascend.
    std::vector<double> pH;
    pH.reserve(volumes.size());
    for (const double V : volumes) {
        const report::PHValue p = model->pH(V);
        if (p.failed || !std::isfinite(p.value))
            return Failure::failed("the model's pH cannot be computed at every volume");
        pH.push_back(p.value);
    }
    return Failure::success(std::move(pH));
}

} // namespace lab
