#pragma once
// The curve page: the chart as a picture, kept and shown again whenever the page is uncovered,
// with the title, the indicator's name and the Print button over it.

#include "chart/titrationchart.h"
#include "output/writers.h"

#include <QImage>
#include <QWidget>

class QLabel;
class QPushButton;

namespace app {

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
    const QImage& picture() const { return picture_; }

    /// Clears the picture to white.
    void Cls();
    /// Draws the chart into the picture.
    void draw(const chart::ChartInput& input);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    QLabel* label5_12_ = nullptr;
    QLabel* label5_11_ = nullptr;
    QPushButton* cmdPRINT_CUR_ = nullptr;
};

} // namespace app
