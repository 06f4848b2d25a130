#include "app/clilists.h"

#include "report/numbertext.h"
#include "report/substances.h"

#include <algorithm>

namespace app::cli {

QString listIndicators(const indicators::IndicatorCatalogue& catalogue, bool namesOnly)
{
    qsizetype width = 0;
    for (int k = 1; k <= catalogue.indicatorCount; ++k)
        width = std::max(width, qsizetype(catalogue.table[k].name.size()));
    QString list;
    for (int k = 1; k <= catalogue.indicatorCount; ++k) {
        const indicators::Indicator& i = catalogue.table[k];
        const QString name = QString::fromStdString(i.name);
        list += namesOnly ? name + '\n'
                          : QStringLiteral("%1  %2  pH %3 - %4  %5 -> %6\n")
                                .arg(k, 2)
                                .arg(name, -int(width))
                                .arg(i.pHLow, 4, 'f', 1)
                                .arg(i.pHHigh, 4, 'f', 1)
                                .arg(QString::fromStdString(i.acidColourName),
                                     QString::fromStdString(i.basicColourName));
    }
    return list;
}

/// The substance library, one a line: name, formula, acid or base, pKa values, source; or for
/// the completion, "acid" or "base", a tab and the name.
QString listSubstances(bool namesOnly)
{
    if (namesOnly) {
        QString list;
        for (const report::Substance& s : report::substanceLibrary())
            list += QString::fromStdString((s.base ? "base\t" : "acid\t") + s.name + '\n');
        return list;
    }
    qsizetype nameWidth = 0, formulaWidth = 0;
    for (const report::Substance& s : report::substanceLibrary()) {
        nameWidth = std::max(nameWidth, qsizetype(s.name.size()));
        formulaWidth = std::max(formulaWidth, qsizetype(s.formula.size()));
    }
    QString list;
    for (const report::Substance& s : report::substanceLibrary()) {
        QString values;
        for (const double pKa : s.pKa)
            values += QString::fromStdString(' ' + report::NumberText(pKa));
        list += QStringLiteral("%1  %2  %3  pKa%4  (%5)\n")
                    .arg(QString::fromStdString(s.name), -int(nameWidth))
                    .arg(QString::fromStdString(s.formula), -int(formulaWidth))
                    .arg(s.base ? QStringLiteral("base") : QStringLiteral("acid"), values,
                         QString::fromStdString(s.source));
    }
    return list;
}

} // namespace app::cli
