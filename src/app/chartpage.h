#pragma once
// The curve page: the chart as a picture, kept and shown again whenever the page is uncovered,
// with the title, the indicator's name and the Print button over it. Over the picture, not in
// it, a readout follows the pointer (or the arrow keys): a crosshair on the model's curve with
// the volume and pH there and the nearest reading, and under them why the pH is what it is
// there (the region, the textbook's approximation with its numbers, the exact pH and, when the
// approximation misses, why). A file dropped on the page is offered as
// measured readings.

#include "chart/titrationchart.h"
#include "output/writers.h"

#include <QImage>
#include <QWidget>

#include <optional>

class QLabel;
class QPainter;
class QPushButton;

namespace app {

/// Why the pH after `volume` mL is what it is, in short lines: the region, the textbook's formula
/// with the numbers put in, the exact pH and, when they differ, why; "" when there is no
/// explanation (a model with activities, a volume past the model's end).
QString explanationText(const report::TitrationModel& model, double volume);

class ChartPage : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(ChartPage)

public:
    static constexpr QSize kSize{output::kChartWidth, output::kChartHeight};

    explicit ChartPage(QWidget* parent);

    QLabel* title() const { return label5_12_; }
    QLabel* indicatorName() const { return label5_11_; }
    QPushButton* printButton() const { return cmdPRINT_CUR_; }
    /// The chart drawn last, painted when first shown or asked for.
    const QImage& picture() const;
    /// What the readout says ("12.5 mL, pH 4.74"); "" when it is hidden.
    QString readout() const { return readout_; }
    /// Why the readout's pH is what it is, in lines; "" when hidden or not explained there.
    QString explanation() const { return explanation_; }

    /// Clears the picture to white.
    void Cls();
    /// Keeps the chart, with where its plot lies, for the picture and the readout.
    void draw(const chart::ChartModel& chart);

signals:
    /// A local file was dropped on the page.
    void fileDropped(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    /// Puts the readout's cursor at `volume` (mL), within the plot, or hides it (none).
    void moveCursor(std::optional<double> volume);
    /// Explains the pH at the cursor, when it has moved to a new volume or the chart changed.
    void explainCursor();
    /// The readout and its explanation in a box beside the cursor at (x, y).
    void paintReadout(QPainter& painter, double x, double y) const;

    mutable QImage picture_;
    mutable bool stale_ = false; ///< the picture awaits the chart drawn last
    QLabel* label5_12_ = nullptr;
    QLabel* label5_11_ = nullptr;
    QPushButton* cmdPRINT_CUR_ = nullptr;
    /// The drawn chart and where it put its plot; none when no chart is drawn.
    std::optional<chart::ChartModel> chart_;
    chart::PlotTransform plot_;
    const chart::Series* readings_ = nullptr; ///< the chart's readings, if any
    bool readingsSorted_ = false;             ///< by volume, as the reader gives them
    std::optional<double> cursor_;            ///< mL
    QString readout_;
    QString explanation_;
    std::optional<double> explained_; ///< the volume explanation_ is for, mL
    QString description_;             ///< the chart in words
};

} // namespace app
