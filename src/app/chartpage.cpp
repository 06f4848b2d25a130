#include "app/chartpage.h"

#include "app/uihelpers.h"
#include "output/writers.h"
#include "report/explain.h"

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

QString explanationText(const report::TitrationModel& model, double volume)
{
    const chem::Result<report::Explanation> r = report::explain(model, volume);
    if (!r)
        return {};
    const report::Explanation& e = *r.value;
    QString region = QString::fromStdString(e.regionText);
    if (!region.isEmpty())
        region[0] = region[0].toUpper();
    const double d = std::round(e.difference() * 100) / 100;
    QString text = region + QLatin1Char('\n') + QString::fromStdString(e.formula) +
                   QStringLiteral("\nexact pH ") + pHText(e.exactPH) +
                   QStringLiteral(" (difference ") + (d > 0 ? QStringLiteral("+") : QString()) +
                   pHText(d + 0.0) + QLatin1Char(')');
    if (e.reason)
        text += QLatin1Char('\n') + QString::fromStdString(e.why);
    return text;
}

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
    chart_.reset();
    stale_ = false;
    readings_ = nullptr;
    description_.clear();
    explained_.reset();
    moveCursor(std::nullopt);
    setAccessibleDescription(QString());
    picture_.fill(Qt::white);
    update();
}

void ChartPage::draw(const chart::ChartModel& chart)
{
    // Painted when next shown or asked for: draws queued before that cost one painting.
    chart_ = chart;
    plot_ =
        chart::plotTransform(chart::ChartGeometry::screen(kSize.width(), kSize.height()), chart);
    stale_ = true;
    description_ = QString::fromStdString(chart::chartDescription(chart));
    setAccessibleDescription(description_);
    readings_ = nullptr;
    for (const chart::Series& s : chart_->series())
        if (s.role == chart::SeriesRole::Readings)
            readings_ = &s;
    readingsSorted_ = readings_ && std::ranges::is_sorted(readings_->points, {},
                                                          &std::pair<double, double>::first);
    explained_.reset();
    moveCursor(cursor_);
    update();
}

const QImage& ChartPage::picture() const
{
    if (stale_ && chart_) {
        QPainter painter(&picture_);
        output::paintScreenChart(painter, *chart_, palette().color(QPalette::WindowText), false);
        stale_ = false;
    }
    return picture_;
}

void ChartPage::moveCursor(std::optional<double> volume)
{
    const QString before = readout_, said = accessibleDescription();
    cursor_.reset();
    readout_.clear();
    if (volume && chart_ && std::isfinite(*volume)) {
        const double v = std::clamp(*volume, 0.0, plot_.axisEnd);
        cursor_ = v;
        const double pH = chart_->model().pH(v).value;
        readout_ = volumeText(v) + QStringLiteral(" mL, pH ") + pHText(pH);
        static const std::vector<std::pair<double, double>> none;
        const auto& readings = readings_ ? readings_->points : none;
        const auto distance = [v](const std::pair<double, double>& r) {
            return std::fabs(r.first - v);
        };
        // Of readings in order, the two around the cursor; else all of them.
        auto nearest = readings.begin(), last = readings.end();
        if (readingsSorted_) {
            const auto after =
                std::ranges::lower_bound(readings, v, {}, &std::pair<double, double>::first);
            nearest = after == readings.begin() ? after : after - 1;
            last = after == readings.end() ? after : after + 1;
        }
        nearest = std::min_element(
            nearest, last, [&](const auto& a, const auto& b) { return distance(a) < distance(b); });
        if (nearest != readings.end())
            readout_ += QStringLiteral("; reading ") + volumeText(nearest->first) +
                        QStringLiteral(" mL, pH ") + pHText(nearest->second);
    }
    explainCursor();
    // A screen reader hears the readout as it changes; without it, the chart in words again.
    QString heard = readout_;
    if (!explanation_.isEmpty())
        heard += QStringLiteral(". ") + QString(explanation_).replace(QLatin1Char('\n'), ". ");
    setAccessibleDescription(readout_.isEmpty() ? description_ : heard);
    if (readout_ == before && accessibleDescription() == said)
        return;
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
    update();
}

void ChartPage::explainCursor()
{
    // The explanation solves the model again: only for a new volume.
    if (!cursor_ || !chart_) {
        explanation_.clear();
        explained_.reset();
        return;
    }
    if (explained_ == cursor_)
        return;
    explained_ = cursor_;
    explanation_ = explanationText(chart_->model(), *cursor_);
}

void ChartPage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, picture());
    if (!cursor_ || !chart_)
        return;
    const double x = plot_.xOfVolume(*cursor_);
    const double y = plot_.yOfPH(chart_->model().pH(*cursor_).value);
    painter.setPen(QPen(QColor(0, 0, 160), 1, Qt::DotLine));
    painter.drawLine(QPointF(x, plot_.geometry.gridTop), QPointF(x, plot_.yOfPH(-1)));
    painter.drawLine(QPointF(plot_.left(), y), QPointF(plot_.right(), y));
    painter.setPen(QPen(QColor(0, 0, 160), 1.5));
    painter.drawEllipse(QPointF(x, y), 4, 4);
    paintReadout(painter, x, y);
}

void ChartPage::paintReadout(QPainter& painter, double x, double y) const
{
    // The text beside the cursor, kept inside the picture, on white so it reads over the grid;
    // the explanation under the readout in a smaller type, its long lines wrapped.
    const QFont big = arial(13), small = arial(12);
    const int wrap = std::min(width() - 24, 500); // room for a formula; a sentence wraps
    QRect head = QFontMetrics(big).boundingRect(readout_);
    QRect body = explanation_.isEmpty()
                     ? QRect()
                     : QFontMetrics(small).boundingRect(QRect(0, 0, wrap, height()),
                                                        Qt::TextWordWrap, explanation_);
    const QSize size(std::max(head.width(), body.width()) + 8,
                     head.height() + (body.isEmpty() ? 0 : body.height() + 2) + 4);
    QPoint at(int(x) + 10, int(y) - 10 - size.height());
    if (at.x() + size.width() > width() - 4)
        at.setX(std::max(4, int(x) - 10 - size.width())); // to the cursor's left
    at.setY(std::clamp(at.y(), 24, std::max(24, height() - size.height() - 4)));
    painter.fillRect(QRect(at, size), QColor(255, 255, 255, 230));
    if (!body.isEmpty()) { // a box of several lines reads apart from the chart's own labels
        painter.setPen(QColor(190, 190, 210));
        painter.drawRect(QRect(at, size).adjusted(0, 0, -1, -1));
    }
    painter.setPen(QColor(0, 0, 160));
    painter.setFont(big);
    head.moveTopLeft(at + QPoint(4, 2));
    painter.drawText(head, Qt::AlignLeft, readout_);
    if (body.isEmpty())
        return;
    painter.setFont(small);
    painter.setPen(QColor(40, 40, 40));
    body.moveTopLeft(head.bottomLeft() + QPoint(0, 3));
    painter.drawText(body, Qt::TextWordWrap, explanation_);
}

void ChartPage::mouseMoveEvent(QMouseEvent* event)
{
    const double x = event->position().x();
    moveCursor(chart_ && x >= plot_.left() && x <= plot_.right() ? std::optional(plot_.volumeAtX(x))
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
    if (!direction || !chart_) {
        QWidget::keyPressEvent(event);
        return;
    }
    // A step of 1 % of the axis, 0.1 % with Shift; the first press starts at the middle.
    const double end = plot_.axisEnd;
    const double step = end * (event->modifiers() & Qt::ShiftModifier ? 0.001 : 0.01);
    moveCursor(cursor_ ? *cursor_ + direction * step : end / 2);
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
