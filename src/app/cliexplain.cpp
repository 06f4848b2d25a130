#include "app/cliexplain.h"

#include "app/cli.h"
#include "report/explain.h"
#include "report/numberreading.h"

#include <cmath>
#include <limits>
#include <utility>

namespace app::cli {

std::optional<QString> readExplain(const QStringList& typed, Options& o)
{
    if (typed.isEmpty())
        return std::nullopt;
    if (typed.size() > 1)
        return QStringLiteral("--explain takes one volume");
    const std::optional<double> mL = report::ReadWholeNumber(typed.front().toStdString());
    // 1e999 reads as the largest double: no volume.
    if (!mL || !(std::fabs(*mL) < std::numeric_limits<double>::max()))
        return "--explain: '" + typed.front() + "' is not a number";
    if (*mL < 0)
        return "--explain: '" + typed.front() + "' is below 0 mL";
    // The explanation is all that goes to standard output.
    for (const auto& [name, given] :
         {std::pair{"report", o.report}, std::pair{"csv", o.csv},
          std::pair{"ph", !o.volumes.empty()}, std::pair{"chart", !o.charts.empty()},
          std::pair{"data", !o.dataPath.isEmpty()}})
        if (given)
            return QStringLiteral("--explain and --%1 together").arg(QLatin1String(name));
    if (o.setup.activity != chem::ActivityModel::None)
        return QStringLiteral("--explain leaves activities out: not with --activity davies");
    o.explain = *mL;
    return std::nullopt;
}

int runExplain(const Options& o, const report::TitrationModel& model, std::ostream& out,
               std::ostream& err)
{
    const chem::Result<report::Explanation> e = report::explain(model, *o.explain);
    if (!e) {
        err << "acidora: --explain: " << e.failure << '\n';
        return 1;
    }
    std::string text;
    if (o.json) {
        text = report::explanationJson(*e.value);
    } else {
        for (const std::string& line : report::explanationLines(*e.value))
            text += line + '\n';
    }
    return written(out, text, err) ? 0 : 1;
}

} // namespace app::cli
