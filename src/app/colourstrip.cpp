#include "app/colourstrip.h"

#include "app/uihelpers.h"
#include "indicators/indicatorpanel.h"

#include <QPainter>

namespace app {

namespace {
const QColor kEmptyStrip(Qt::white);
const QColor kEmptyBorder(192, 192, 192);
} // namespace

ColourStrip::ColourStrip(QWidget* parent, const QString& name, QRect geometry) : QWidget(parent)
{
    setObjectName(name);
    setGeometry(geometry);
    clear();
}

void ColourStrip::clear()
{
    image_ = QImage(size(), QImage::Format_RGB32);
    image_.fill(kEmptyStrip);
    QPainter painter(&image_);
    painter.setPen(kEmptyBorder);
    painter.drawRect(image_.rect().adjusted(0, 0, -1, -1));
    update();
}

void ColourStrip::paintIndicator(const indicators::IndicatorCatalogue& catalogue, int position)
{
    image_ = QImage(size(), QImage::Format_RGB32);
    image_.fill(kEmptyStrip);
    QPainter painter(&image_);
    // One device pixel a step, both ends included; the strip's size is read for each column.
    const int step = 1;
    for (int x = 0; x <= width(); x += step) {
        painter.setPen(toQColor(indicators::stripColour(catalogue, position, x, width())));
        painter.drawLine(x, 0, x, height());
    }
    update();
}

void ColourStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

} // namespace app
