#include "app/chartpage.h"

#include "app/uihelpers.h"
#include "output/writers.h"

#include <QAccessible>
#include <QDragEnterEvent>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace app {

namespace {

/// The one local file among dropped URLs, or "".
QString droppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 ||
        !data->urls().front().isLocalFile())
        return {};
    return data->urls().front().toLocalFile();
}

/// A volume to 0.01 mL, without trailing zeros ("12.5").
QString volumeText(double mL)
{
    return QLocale::c().toString(std::round(mL * 100) / 100, 'g', 12);
}

QString pHText(double pH)
{
    return QLocale::c().toString(pH, 'f', 2);
}

} // namespace

ChartPage::ChartPage(QWidget* parent) : QWidget(parent), picture_(kSize, QImage::Format_RGB32)
{
    setObjectName(QStringLiteral("Picture1"));
    setAccessibleName(QStringLiteral("Titration curve"));
    setFocusPolicy(Qt::TabFocus); // its menu and keys work from the keyboard too
    setMouseTracking(true);
    setAcceptDrops(true);
    resize(kSize);
    picture_.fill(Qt::white);

    cmdPRINT_CUR_ = new QPushButton(QStringLiteral("Print"), this);
    cmdPRINT_CUR_->setObjectName(QStringLiteral("CmdPRINT_CUR"));
    cmdPRINT_CUR_->setGeometry(650, 453, 100, 24);
    cmdPRINT_CUR_->hide();
    label5_12_ = makeLabel(this, QStringLiteral("Label5(12)"), QStringLiteral("Titration type"),
                           output::kChartTitleLabel, arial(15, true), output::kChartLabelColour);
    label5_12_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label5_11_ = makeLabel(this, QStringLiteral("Label5(11)"), QStringLiteral("Strong base"),
                           output::kChartIndicatorLabel, arial(13), output::kChartLabelColour);
    label5_11_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    // The labels and the button sit over the picture; the pointer over them still reads it.
    label5_12_->setAttribute(Qt::WA_TransparentForMouseEvents);
    label5_11_->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ChartPage::Cls()
{
    model_.reset();
    readings_.clear();
    description_.clear();
    moveCursor(std::nullopt);
    setAccessibleDescription(QString());
    picture_.fill(Qt::white);
    update();
}

void ChartPage::draw(const chart::ChartInput& input)
{
    QPainter painter(&picture_);
    output::paintScreenChart(painter, input, palette().color(QPalette::WindowText), false);
    description_ = QString::fromStdString(chart::chartDescription(input));
    setAccessibleDescription(description_);
    painter.end();

    // Where the chart put its volumes: the model's samples carry their x on the picture.
    geometry_ = chart::ChartGeometry::screen(kSize.width(), kSize.height());
    model_.reset();
    readings_.clear();
    const std::optional<chart::Series> curve = chart::modelSeries(input, geometry_);
    if (curve && curve->points.size() >= 2 && curve->sampledX.size() == curve->points.size() &&
        curve->points.back().first > curve->points.front().first) {
        const double v0 = curve->points.front().first, v1 = curve->points.back().first;
        const double x0 = curve->sampledX.front(), x1 = curve->sampledX.back();
        const double perMl = (x1 - x0) / (v1 - v0);
        plotLeft_ = x0 - v0 * perMl;
        const bool rightAxis = std::ranges::any_of(input.series, [](const chart::Series& s) {
            return s.axis == chart::SeriesAxis::Derivative && !s.points.empty();
        });
        plotRight_ = geometry_.XR - (rightAxis ? geometry_.rightAxisRoom : 0);
        axisEnd_ = (plotRight_ - plotLeft_) / perMl;
        model_ = report::TitrationModel::make(*input.type, input.inputs, input.constants);
        for (const chart::Series& s : input.series)
            if (s.role == chart::SeriesRole::Readings)
                readings_ = s.points;
    }
    moveCursor(cursor_);
    update();
}

double ChartPage::xOfVolume(double volume) const
{
    return plotLeft_ + (plotRight_ - plotLeft_) * volume / axisEnd_;
}

double ChartPage::volumeAtX(double x) const
{
    return (x - plotLeft_) * axisEnd_ / (plotRight_ - plotLeft_);
}

void ChartPage::moveCursor(std::optional<double> volume)
{
    const QString before = readout_;
    cursor_.reset();
    readout_.clear();
    if (volume && model_ && std::isfinite(*volume)) {
        const double v = std::clamp(*volume, 0.0, axisEnd_);
        cursor_ = v;
        const double pH = model_->pH(v).value;
        readout_ = volumeText(v) + QStringLiteral(" mL, pH ") + pHText(pH);
        const auto nearest =
            std::ranges::min_element(readings_, {}, [v](const std::pair<double, double>& r) {
                return std::fabs(r.first - v);
            });
        if (nearest != readings_.end())
            readout_ += QStringLiteral("; reading ") + volumeText(nearest->first) +
                        QStringLiteral(" mL, pH ") + pHText(nearest->second);
    }
    // A screen reader hears the readout as it changes; without it, the chart in words again.
    setAccessibleDescription(readout_.isEmpty() ? description_ : readout_);
    if (readout_ == before)
        return;
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
    update();
}

void ChartPage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
    if (!cursor_ || !model_)
        return;
    const double x = xOfVolume(*cursor_);
    const double y = geometry_.yOfPH(model_->pH(*cursor_).value);
    painter.setPen(QPen(QColor(0, 0, 160), 1, Qt::DotLine));
    painter.drawLine(QPointF(x, geometry_.gridTop), QPointF(x, geometry_.H - 20));
    painter.drawLine(QPointF(plotLeft_, y), QPointF(plotRight_, y));
    painter.setPen(QPen(QColor(0, 0, 160), 1.5));
    painter.drawEllipse(QPointF(x, y), 4, 4);
    // The text beside the cursor, kept inside the picture, on white so it reads over the grid.
    painter.setFont(arial(13));
    const QRect box = painter.fontMetrics().boundingRect(readout_).adjusted(-4, -2, 4, 2);
    QPoint at(int(x) + 10, int(y) - 10 - box.height());
    at.setX(std::min(at.x(), width() - box.width() - 4));
    at.setY(std::max(at.y(), 24));
    const QRect placed(at, box.size());
    painter.fillRect(placed, QColor(255, 255, 255, 230));
    painter.setPen(QColor(0, 0, 160));
    painter.drawText(placed, Qt::AlignCenter, readout_);
}

void ChartPage::mouseMoveEvent(QMouseEvent* event)
{
    const double x = event->position().x();
    moveCursor(model_ && x >= plotLeft_ && x <= plotRight_ ? std::optional(volumeAtX(x))
                                                           : std::nullopt);
    QWidget::mouseMoveEvent(event);
}

void ChartPage::leaveEvent(QEvent* event)
{
    moveCursor(std::nullopt);
    QWidget::leaveEvent(event);
}

void ChartPage::focusOutEvent(QFocusEvent* event)
{
    if (!underMouse())
        moveCursor(std::nullopt);
    QWidget::focusOutEvent(event);
}

void ChartPage::keyPressEvent(QKeyEvent* event)
{
    const int direction = event->key() == Qt::Key_Right ? 1 : event->key() == Qt::Key_Left ? -1 : 0;
    if (!direction || !model_) {
        QWidget::keyPressEvent(event);
        return;
    }
    // A step of 1 % of the axis, 0.1 % with Shift; the first press starts at the middle.
    const double step = axisEnd_ * (event->modifiers() & Qt::ShiftModifier ? 0.001 : 0.01);
    moveCursor(cursor_ ? *cursor_ + direction * step : axisEnd_ / 2);
}

void ChartPage::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void ChartPage::dropEvent(QDropEvent* event)
{
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    emit fileDropped(path);
}

} // namespace app
