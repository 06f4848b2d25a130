#include "lab/measured.h"

#include "report/jsonreport.h"
#include "report/numbertext.h"

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

Measured analyseReadings(const Readings& readings, const Setup& setup, bool fitPKa)
{
    Measured m;
    m.readings = readings;
    chem::Result<std::vector<EndPoint>> ends = findEndPoints(readings, setup);
    if (ends)
        m.endPoints = std::move(*ends.value);
    else
        m.endPointsFailure = ends.failure;
    chem::Result<Fit> fit = fitReadings(readings, setup, fitPKa);
    if (fit)
        m.fit = std::move(fit.value);
    else
        m.fitFailure = fit.failure;
    return m;
}

std::vector<std::string> measuredSection(const Measured& m)
{
    std::vector<std::string> lines{"", "Measured data:"};
    const Readings& r = m.readings;
    lines.push_back("  " + std::to_string(r.size()) + " readings, from " +
                    volumeText(r.volume.front()) + " to " + volumeText(r.volume.back()) + " mL");
    if (m.endPoints.empty())
        lines.push_back("  No end point found: " + m.endPointsFailure);
    for (const EndPoint& e : m.endPoints) {
        std::string line = "  End point " + std::to_string(e.index) + " (" + methodWords(e) +
                           "):  " + volumeText(e.volume) + " mL,  95% interval [ " +
                           volumeText(e.ci95[0]) + " ,  " + volumeText(e.ci95[1]) + " ]";
        if (e.analyteConcentration > 0)
            line += ",  analyte " + significant(e.analyteConcentration, 4) + " mol/L";
        lines.push_back(line);
        if (e.crossingDisagrees)
            lines.push_back("    The second derivative does not confirm this point.");
    }
    if (!m.fit) {
        lines.push_back("  No fit: " + m.fitFailure);
        return lines;
    }
    const Fit& f = *m.fit;
    lines.push_back("  Fitted analyte concentration " + significant(f.analyteConcentration, 4) +
                    " mol/L,  standard error " + significant(f.analyteConcentrationSE, 2));
    for (std::size_t k = 0; k < f.pKa.size(); ++k)
        lines.push_back("  Fitted pKa" + (f.pKa.size() > 1 ? std::to_string(k + 1) : "") + " " +
                        report::NumberText(report::Round(f.pKa[k], 3)) + ",  standard error " +
                        significant(f.pKaSE[k], 2));
    lines.push_back("  Root mean square residual " +
                    report::NumberText(report::Round(f.rmsResidual, 3)) + " pH");
    return lines;
}

std::string measuredJson(const Measured& m)
{
    using report::jsonNumber;
    const auto list = [](const std::vector<double>& xs) {
        std::string text = "[";
        for (std::size_t i = 0; i < xs.size(); ++i)
            text += (i ? ", " : "") + jsonNumber(xs[i]);
        return text + "]";
    };
    std::string json = "\"measured\": {\n    \"points\": [";
    for (std::size_t i = 0; i < m.readings.size(); ++i)
        json += std::string(i ? ", " : "") + "[" + jsonNumber(m.readings.volume[i]) + ", " +
                jsonNumber(m.readings.pH[i]) + "]";
    json += "],\n    \"endPoints\": [";
    for (std::size_t i = 0; i < m.endPoints.size(); ++i) {
        const EndPoint& e = m.endPoints[i];
        json += std::string(i ? "," : "") + "\n      {\"method\": \"" + methodName(e.method) +
                "\", \"index\": " + std::to_string(e.index) +
                ", \"volume\": " + jsonNumber(e.volume) + ", \"ci95\": [" + jsonNumber(e.ci95[0]) +
                ", " + jsonNumber(e.ci95[1]) +
                "], \"analyteConcentration\": " + jsonNumber(e.analyteConcentration) + "}";
    }
    json += m.endPoints.empty() ? "],\n" : "\n    ],\n";
    if (!m.fit)
        return json + "    \"fit\": null\n  }";
    const Fit& f = *m.fit;
    return json + "    \"fit\": {\"analyteConcentration\": " + jsonNumber(f.analyteConcentration) +
           ", \"analyteConcentrationSE\": " + jsonNumber(f.analyteConcentrationSE) +
           ", \"pKa\": " + list(f.pKa) + ", \"pKaSE\": " + list(f.pKaSE) +
           ", \"rmsResidual\": " + jsonNumber(f.rmsResidual) + "}\n  }";
}

} // namespace lab
