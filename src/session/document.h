#pragma once
// The document: what the user set up (a Session) with a revision that every edit advances, and
// what it computes, made once per revision and kept until the next edit. The window and the
// command line edit a document and read its outcome; a reading source appends to it.
//
// The readings' analysis (end points and fit) takes long, so it runs apart: analysisJob() says
// what to analyse and for which analysis revision — which only the edits it depends on advance
// (type, boxes, readings, the fit's choice) — and a finished analysis comes back through
// deliverAnalysis(), which keeps it only while that revision still stands.

#include "session/session.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace session {

class Document
{
public:
    explicit Document(const indicators::IndicatorCatalogue& catalogue, Session setup = {});

    const Session& setup() const { return setup_; }
    const indicators::IndicatorCatalogue& catalogue() const { return *catalogue_; }
    /// Advanced by every edit that changes something.
    std::uint64_t revision() const { return revision_; }
    /// Advanced by the edits the readings' analysis depends on.
    std::uint64_t analysisRevision() const { return analysisRevision_; }

    /// The type, the boxes as typed and the indicator, as the input page confirms them.
    void setInputs(std::optional<chem::TitrationType> type, const report::BoxTexts& boxes,
                   int indicatorPosition);
    void setBox(report::Input box, std::string text);
    /// The verdict label's caption as last shown, which the report repeats when the refresh
    /// hides the verdict.
    void setVerdictCaption(std::string caption);
    /// New readings, or none; `name` is the file's, for the legend.
    void setReadings(std::optional<lab::Readings> readings, std::string name);
    /// One more reading, as a meter sends it; the readings stay sorted by volume.
    void appendReading(double volume, double pH);
    void setFitPKa(bool on);
    void setFitOffset(bool on);
    void setActivity(chem::ActivityModel activity);
    void setVolumeUncertainty(double mL);
    void setShowDerivative(bool on);
    /// Keeps the titration as it stands for comparison; false when it is refused.
    bool keepCurve();
    /// Keeps a curve of another titration (an unknown's truth, say) beside the shown one.
    void keep(KeptCurve curve);
    void clearKept();

    /// What this revision computes: the refresh, the run and — once delivered for this
    /// revision's analysis — the readings' end points and fit.
    const Outcome& outcome() const;
    /// The chart of that outcome, made on first use and kept with it; none when it is refused.
    /// Its texts are the caller's (chartTexts).
    const std::optional<chart::ChartModel>& chart() const;

    /// What to analyse off the window's thread, or none when there are no readings, the
    /// analysis for this revision is already here, or `running` is this revision's.
    struct AnalysisJob
    {
        Session setup;
        std::uint64_t analysisRevision = 0;
    };
    std::optional<AnalysisJob> analysisJob(std::optional<std::uint64_t> running = {}) const;
    /// Runs a job: the session's outcome with its readings analysed.
    static std::optional<lab::Measured> analyse(const AnalysisJob& job,
                                                const indicators::IndicatorCatalogue& catalogue);
    /// A finished analysis; kept only when it is for the analysis revision that stands.
    /// Returns whether it was kept.
    bool deliverAnalysis(std::uint64_t analysisRevision, std::optional<lab::Measured> measured);
    /// Whether the readings' analysis of this revision is here (or there are no readings).
    bool analysisCurrent() const;

private:
    /// Marks an edit; `analysis` when the readings' analysis depends on what changed.
    void edited(bool analysis);
    /// Sets one of the session's options; an edit only when it changes.
    template <class T> void setOption(T Session::*option, T value, bool analysis)
    {
        if (setup_.*option == value)
            return;
        setup_.*option = std::move(value);
        edited(analysis);
    }
    /// Drops what was computed, to be made again on first use.
    void dropOutcome();

    const indicators::IndicatorCatalogue* catalogue_;
    Session setup_;
    std::uint64_t revision_ = 1;
    std::uint64_t analysisRevision_ = 1;
    /// The delivered analysis and the analysis revision it is for.
    std::optional<lab::Measured> measured_;
    std::uint64_t measuredRevision_ = 0;
    mutable std::optional<Outcome> outcome_;
    /// Made or not yet; made, a chart or none.
    mutable std::optional<std::optional<chart::ChartModel>> chart_;
};

} // namespace session
