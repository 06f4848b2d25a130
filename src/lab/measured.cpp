#include "lab/measured.h"

#include "lab/statistics.h"
#include "report/numbertext.h"
#include "report/table.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace lab {

namespace {

std::string volumeText(double v)
{
    return report::NumberText(report::Round(v, 2));
}

/// `digits` significant digits, trailing zeros kept (0.1000 says more than 0.1); a tiny
/// value as the constants are written (3.3E-7).
std::string significant(double x, int digits)
{
    if (!(x > 0) || !std::isfinite(x))
        return report::NumberText(x);
    if (x < 1e-4)
        return report::constantText(x);
    // The exponent after rounding, so that 0.099999 is 0.1000 and not 0.10000; to_chars, as
    // the locale's decimal comma must not reach the report.
    char text[64];
    char* end =
        std::to_chars(text, text + sizeof text, x, std::chars_format::scientific, digits - 1).ptr;
    const int exponent = std::atoi(std::string(std::find(text, end, 'e') + 1, end).c_str());
    const int decimals = digits - 1 - exponent;
    end = std::to_chars(text, text + sizeof text, x, std::chars_format::fixed,
                        decimals < 0 ? 0 : decimals)
              .ptr;
    return std::string(text, end);
}

bool determined(const Fit& f, std::size_t k)
{
    return f.pKaDetermined[k];
}

std::string methodWords(const EndPoint& e)
{
    if (e.method == EndPointMethod::Derivative)
        return "first derivative";
    return e.side == GranSide::Before ? "Gran, before" : "Gran, after";
}

std::string methodName(EndPointMethod m)
{
    return m == EndPointMethod::Derivative ? "derivative" : "gran";
}

} // namespace

std::string concentrationText(double molPerLitre)
{
    return significant(molPerLitre, 4);
}

namespace {

/// The readings' scatter, never less than a meter's.
double scatterOf(const Measured& m)
{
    return std::max(m.scatter, kMeterScatter);
}

/// Whether the fitted curve misses the readings: by over three times their scatter.
bool fitMisses(const Fit& f, const Measured& m)
{
    return f.rmsResidual > 3 * scatterOf(m);
}

/// Widens what the readings alone cannot vouch for. Where the model misses the readings (or
/// could not be fitted), it cannot say where in the step between readings a jump lies: the
/// step's width counts in full. The fitted concentration's standard error grows with the lack of
/// fit and takes in the first end point's volume, which fixes it in proportion.
void honestUncertainties(Measured& m)
{
    const double scatter = scatterOf(m);
    const bool misses = !m.fit || fitMisses(*m.fit, m);
    for (EndPoint& e : m.endPoints)
        if (misses && e.method == EndPointMethod::Derivative)
            e.countWholeStep();
    if (!m.fit)
        return;
    Fit& f = *m.fit;
    double se = f.analyteConcentrationSE * std::max(1.0, f.rmsResidual / scatter);
    const auto first = std::ranges::find_if(m.endPoints, [](const EndPoint& e) {
        return e.method == EndPointMethod::Derivative && e.index == 1;
    });
    if (first != m.endPoints.end() && first->volume > 0)
        se = std::hypot(se, f.analyteConcentration * first->budget.total() / 1.96 / first->volume);
    f.analyteConcentrationSE = se;
}

} // namespace

Measured analyseReadings(const Readings& readings, const Setup& setup, bool fitPKa, bool fitOffset)
{
    Measured m;
    m.readings = readings;
    chem::Result<std::vector<EndPoint>> ends = findEndPoints(readings, setup, &m.granDeclined);
    if (ends)
        m.endPoints = std::move(*ends.value);
    else
        m.endPointsFailure = ends.failure;
    m.scatter = readingsScatter(readings.volume, readings.pH);
    m.weak = chem::isWeak(setup.type);
    if (const std::optional<report::TitrationModel> model = setup.model())
        m.typedEnd = report::curveEnd(*model);
    chem::Result<Fit> fit = fitReadings(readings, setup, fitPKa, fitOffset);
    if (fit)
        m.fit = std::move(fit.value);
    else
        m.fitFailure = fit.failure;
    honestUncertainties(m);
    return m;
}

namespace {

/// What the report's lines do not say by themselves: an end point beyond the typed curve, a fit
/// that misses the readings, a pKa they do not determine.
std::vector<std::string> qualityWarnings(const Measured& m)
{
    std::vector<std::string> warnings;
    for (const EndPoint& e : m.endPoints)
        if (m.typedEnd > 0 && e.volume > m.typedEnd)
            warnings.push_back(
                "End point " + std::to_string(e.index) + " at " + volumeText(e.volume) +
                " mL lies beyond the typed titration's curve (0 to " + volumeText(m.typedEnd) +
                " mL): check the concentrations and the volume typed.");
    if (!m.fit)
        return warnings;
    const Fit& f = *m.fit;
    const double scatter = scatterOf(m);
    if (fitMisses(f, m)) {
        std::string advice;
        if (m.weak && f.pKa.empty())
            advice = "fit the pKa (--fit pka)";
        if (!f.offset)
            advice += (advice.empty() ? "fit " : " or ") +
                      std::string("an electrode offset (--fit offset)");
        warnings.push_back(
            "The model misses the readings by " + report::FixedText(f.rmsResidual, 2) +
            " pH (RMS), over three times their scatter (" + report::FixedText(scatter, 3) + " pH)" +
            (advice.empty() ? "." : ": " + advice + '.'));
    }
    const auto [lowest, highest] = std::ranges::minmax(m.readings.pH);
    for (std::size_t k = 0; k < f.pKa.size(); ++k)
        if (!determined(f, k))
            warnings.push_back("The readings do not determine pKa" + std::to_string(k + 1) +
                               ": it shows at pH " + report::FixedText(f.pKa[k] - kBufferReach, 1) +
                               " to " + report::FixedText(f.pKa[k] + kBufferReach, 1) +
                               ", the readings span pH " + report::FixedText(lowest, 1) + " to " +
                               report::FixedText(highest, 1) + ".");
    return warnings;
}

} // namespace

std::vector<std::string> measuredWarnings(const Measured& m)
{
    std::vector<std::string> warnings;
    if (m.endPoints.empty())
        warnings.push_back("No end point found: " + m.endPointsFailure);
    for (const EndPoint& e : m.endPoints)
        if (e.crossingDisagrees)
            warnings.push_back("End point " + std::to_string(e.index) + " at " +
                               volumeText(e.volume) +
                               " mL: the second derivative does not confirm this point.");
    for (const std::string& why : m.granDeclined)
        warnings.push_back("No Gran line " + why);
    if (!m.fit)
        warnings.push_back("No fit: " + m.fitFailure);
    const std::vector<std::string> quality = qualityWarnings(m);
    warnings.insert(warnings.end(), quality.begin(), quality.end());
    return warnings;
}

std::vector<std::string> measuredSection(const Measured& m)
{
    std::vector<std::string> lines{"", "Measured data:"};
    const Readings& r = m.readings;
    const std::string logged = loggedReadingsText(r);
    lines.push_back("  " + (logged.empty() ? std::to_string(r.size()) + " readings" : logged) +
                    ", from " + volumeText(r.volume.front()) + " to " +
                    volumeText(r.volume.back()) + " mL");
    if (m.endPoints.empty())
        lines.push_back("  No end point found: " + m.endPointsFailure);
    for (const EndPoint& e : m.endPoints) {
        std::string line = "  End point " + std::to_string(e.index) + " (" + methodWords(e) +
                           "):  " + volumeText(e.volume) + " mL,  95% interval [ " +
                           volumeText(e.ci95[0]) + " ,  " + volumeText(e.ci95[1]) + " ]";
        if (e.analyteConcentration > 0)
            line += ",  analyte " + significant(e.analyteConcentration, 4) + " mol/L";
        if (e.method == EndPointMethod::Gran)
            line += ",  line through " + std::to_string(e.linePoints) + " readings, " +
                    volumeText(e.lineVolumes[0]) + " to " + volumeText(e.lineVolumes[1]) + " mL";
        lines.push_back(line);
        const EndPoint::Budget& b = e.budget;
        lines.push_back("    End point " + std::to_string(e.index) + ": " + volumeText(e.volume) +
                        " mL ± " + volumeText(b.total()) + " (95 %): spacing " +
                        volumeText(b.spacing) + ", volume reading " + volumeText(b.volumeReading) +
                        ", scatter " + volumeText(b.scatter) +
                        (b.electrode > 0 ? ", electrode and activities " + volumeText(b.electrode)
                                         : std::string()));
        if (e.crossingDisagrees)
            lines.push_back("    The second derivative does not confirm this point.");
    }
    for (const std::string& why : m.granDeclined)
        lines.push_back("  No Gran line " + why);
    if (!m.fit) {
        lines.push_back("  No fit: " + m.fitFailure);
    } else {
        const Fit& f = *m.fit;
        lines.push_back("  Fitted analyte concentration " + significant(f.analyteConcentration, 4) +
                        " mol/L,  standard error " + significant(f.analyteConcentrationSE, 2));
        for (std::size_t k = 0; k < f.pKa.size(); ++k)
            lines.push_back("  Fitted pKa" + (f.pKa.size() > 1 ? std::to_string(k + 1) : "") +
                            (determined(f, k)
                                 ? " " + report::NumberText(report::Round(f.pKa[k], 3)) +
                                       ",  standard error " + significant(f.pKaSE[k], 2)
                                 : std::string(" not determined by the readings")));
        if (f.offset)
            lines.push_back("  Fitted electrode offset " + report::FixedText(*f.offset, 3) +
                            " pH,  standard error " + significant(*f.offsetSE, 2));
        lines.push_back("  Root mean square residual " +
                        report::NumberText(report::Round(f.rmsResidual, 3)) + " pH");
    }
    for (const std::string& warning : qualityWarnings(m))
        lines.push_back("  Warning: " + warning);
    return lines;
}

std::string measuredCsv(const Measured& m)
{
    const Readings& r = m.readings;
    const auto fitted = m.fit ? m.fit->curve(r.volume) : chem::Result<std::vector<double>>();
    const auto shortest = [](double x) {
        char text[32];
        return std::string(text, std::to_chars(text, text + sizeof text, x).ptr);
    };
    std::string csv = "Volume (mL),pH,Fitted pH,Residual\r\n";
    for (std::size_t i = 0; i < r.size(); ++i) {
        csv += shortest(r.volume[i]) + ',' + shortest(r.pH[i]);
        if (fitted)
            csv += ',' + report::FixedText((*fitted.value)[i], 3) + ',' +
                   report::FixedText(r.pH[i] - (*fitted.value)[i], 3);
        csv += fitted ? "\r\n" : ",,\r\n";
    }
    csv += "\r\nEnd point,Method,Volume (mL),95% low (mL),95% high (mL),Analyte (mol/L)\r\n";
    for (const EndPoint& e : m.endPoints)
        csv += std::to_string(e.index) + ",\"" + methodWords(e) + "\"," + volumeText(e.volume) +
               ',' + volumeText(e.ci95[0]) + ',' + volumeText(e.ci95[1]) + ',' +
               (e.analyteConcentration > 0 ? significant(e.analyteConcentration, 4) : "") + "\r\n";
    csv += "\r\nFitted,Value,Standard error\r\n";
    if (m.fit) {
        const Fit& f = *m.fit;
        csv += "Analyte (mol/L)," + significant(f.analyteConcentration, 4) + ',' +
               significant(f.analyteConcentrationSE, 2) + "\r\n";
        for (std::size_t k = 0; k < f.pKa.size(); ++k)
            csv += "pKa" + std::to_string(k + 1) + ',' +
                   (determined(f, k) ? report::FixedText(f.pKa[k], 3) : "not determined") + ',' +
                   significant(f.pKaSE[k], 2) + "\r\n";
        if (f.offset)
            csv += "Electrode offset (pH)," + report::FixedText(*f.offset, 3) + ',' +
                   significant(*f.offsetSE, 2) + "\r\n";
        csv += "RMS residual (pH)," + report::FixedText(f.rmsResidual, 3) + ",\r\n";
    }
    return csv;
}

void measuredJson(report::JsonWriter& json, const Measured& m)
{
    using Layout = report::JsonWriter::Layout;
    json.key("measured").beginObject(Layout::Lines).key("points").beginArray();
    for (std::size_t i = 0; i < m.readings.size(); ++i)
        json.pair(m.readings.volume[i], m.readings.pH[i]);
    json.end();
    if (m.readings.loggedReadings > 0) // the points are a log's medians, one a volume
        json.key("loggedReadings").integer(static_cast<long long>(m.readings.loggedReadings));
    json.key("endPoints").beginArray(Layout::Lines);
    for (const EndPoint& e : m.endPoints) {
        json.beginObject().key("method").string(methodName(e.method));
        json.key("index").integer(e.index).key("volume").number(e.volume);
        json.key("ci95").pair(e.ci95[0], e.ci95[1]);
        json.key("budget").beginObject().key("spacing").number(e.budget.spacing);
        json.key("volumeReading").number(e.budget.volumeReading);
        json.key("scatter").number(e.budget.scatter);
        if (e.method == EndPointMethod::Gran)
            json.key("electrode").number(e.budget.electrode);
        json.end();
        json.key("analyteConcentration").number(e.analyteConcentration);
        if (e.method == EndPointMethod::Derivative)
            json.key("confirmed").boolean(!e.crossingDisagrees);
        else
            json.key("side")
                .string(e.side == GranSide::Before ? "before" : "after")
                .key("lineVolumes")
                .pair(e.lineVolumes[0], e.lineVolumes[1]);
        json.end();
    }
    json.end().key("fit");
    if (m.fit) {
        const Fit& f = *m.fit;
        json.beginObject().key("analyteConcentration").number(f.analyteConcentration);
        json.key("analyteConcentrationSE").number(f.analyteConcentrationSE);
        for (const auto& [name, values] :
             {std::pair{"pKa", &f.pKa}, std::pair{"pKaSE", &f.pKaSE}}) {
            // A pKa the readings do not determine has no value to give.
            json.key(name).beginArray();
            for (std::size_t k = 0; k < values->size(); ++k)
                determined(f, k) ? json.number((*values)[k]) : json.null();
            json.end();
        }
        if (f.offset)
            json.key("offset").number(*f.offset).key("offsetSE").number(*f.offsetSE);
        json.key("rmsResidual").number(f.rmsResidual).end();
    } else {
        json.null();
    }
    json.key("warnings").beginArray(Layout::Lines);
    for (const std::string& warning : measuredWarnings(m))
        json.string(warning);
    json.end().end();
}

} // namespace lab
