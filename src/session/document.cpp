#include "session/document.h"

#include <algorithm>

namespace session {

Document::Document(const indicators::IndicatorCatalogue& catalogue, Session setup)
    : catalogue_(&catalogue), setup_(std::move(setup))
{}

void Document::edited(bool analysis)
{
    ++revision_;
    if (analysis)
        ++analysisRevision_;
    dropOutcome();
}

void Document::dropOutcome()
{
    outcome_.reset();
    chart_.reset();
}

void Document::setInputs(std::optional<chem::TitrationType> type, const report::BoxTexts& boxes,
                         int indicatorPosition)
{
    const bool analysed = type != setup_.type || boxes != setup_.boxes;
    if (!analysed && indicatorPosition == setup_.indicatorPosition)
        return;
    setup_.type = type;
    setup_.boxes = boxes;
    setup_.indicatorPosition = indicatorPosition;
    edited(analysed);
}

void Document::setBox(report::Input box, std::string text)
{
    if (box == report::Input::None)
        return;
    std::string& typed = setup_.boxes.*report::describe(box).text;
    if (typed == text)
        return;
    typed = std::move(text);
    edited(true);
}

void Document::setVerdictCaption(std::string caption)
{
    if (caption == setup_.verdictCaption)
        return;
    setup_.verdictCaption = std::move(caption);
    // The report repeats the caption only while the refresh hides the verdict: an outcome
    // with a verdict stays as it is.
    const bool depends = !outcome_ || !outcome_->schematic.verdict;
    ++revision_;
    if (depends)
        dropOutcome();
}

void Document::setReadings(std::optional<lab::Readings> readings, std::string name)
{
    setup_.readings = std::move(readings);
    setup_.readingsName = std::move(name);
    edited(true);
}

void Document::appendReading(double volume, double pH)
{
    lab::Readings& r = setup_.readings ? *setup_.readings : setup_.readings.emplace();
    // After the last reading at or below this volume: a repeated volume keeps its order.
    const auto at = std::upper_bound(r.volume.begin(), r.volume.end(), volume);
    const auto k = at - r.volume.begin();
    r.volume.insert(at, volume);
    r.pH.insert(r.pH.begin() + k, pH);
    edited(true);
}

void Document::setFitPKa(bool on)
{
    setOption(&Session::fitPKa, on, true);
}

void Document::setFitOffset(bool on)
{
    setOption(&Session::fitOffset, on, true);
}

void Document::setActivity(chem::ActivityModel activity)
{
    setOption(&Session::activity, activity, true);
}

void Document::setVolumeUncertainty(double mL)
{
    setOption(&Session::volumeUncertainty, mL, true);
}

void Document::setShowDerivative(bool on)
{
    setOption(&Session::showDerivative, on, false);
}

bool Document::keepCurve()
{
    std::optional<KeptCurve> kept = curveToKeep(setup_, outcome());
    if (!kept)
        return false;
    setup_.kept.push_back(std::move(*kept));
    edited(false);
    return true;
}

void Document::keep(KeptCurve curve)
{
    setup_.kept.push_back(std::move(curve));
    edited(false);
}

void Document::clearKept()
{
    if (setup_.kept.empty())
        return;
    setup_.kept.clear();
    edited(false);
}

const Outcome& Document::outcome() const
{
    if (!outcome_) {
        // Without the readings the refresh and the run take no time; the analysis is apart.
        Session inputs = setup_;
        inputs.readings.reset();
        outcome_ = compute(inputs, *catalogue_);
        if (outcome_->report && analysisCurrent() && setup_.readings)
            outcome_->measured = measured_;
    }
    return *outcome_;
}

const std::optional<chart::ChartModel>& Document::chart() const
{
    if (!chart_)
        chart_ = chartModel(setup_, outcome(), *catalogue_);
    return *chart_;
}

std::optional<Document::AnalysisJob>
Document::analysisJob(std::optional<std::uint64_t> running) const
{
    if (!setup_.readings || analysisCurrent() || running == analysisRevision_)
        return std::nullopt;
    return AnalysisJob{setup_, analysisRevision_};
}

std::optional<lab::Measured> Document::analyse(const AnalysisJob& job,
                                               const indicators::IndicatorCatalogue& catalogue)
{
    return compute(job.setup, catalogue).measured;
}

bool Document::deliverAnalysis(std::uint64_t analysisRevision,
                               std::optional<lab::Measured> measured)
{
    if (analysisRevision != analysisRevision_)
        return false;
    measured_ = std::move(measured);
    measuredRevision_ = analysisRevision;
    ++revision_;
    dropOutcome();
    return true;
}

bool Document::analysisCurrent() const
{
    return !setup_.readings || measuredRevision_ == analysisRevision_;
}

} // namespace session
