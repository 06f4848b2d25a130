#include "app/shape.h"

#include <QPainter>

namespace app {

Shape::Shape(QWidget* parent, const QString& name, QRect geometry, QColor fill, QColor border,
             int cornerRadius)
    : QWidget(parent), fill_(fill), border_(border), cornerRadius_(cornerRadius)
{
    setObjectName(name);
    setGeometry(geometry);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape::setFillColour(QColor colour)
{
    if (colour == fill_)
        return;
    fill_ = colour;
    update();
}

void Shape::setBorderWidth(int width)
{
    borderWidth_ = width;
    update();
}

void Shape::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The border lies inside the shape's rectangle.
    const qreal inset = border_.isValid() ? borderWidth_ / 2.0 : 0.0;
    const QRectF box = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    painter.setPen(border_.isValid() ? QPen(border_, borderWidth_) : QPen(Qt::NoPen));
    painter.setBrush(fill_);
    if (cornerRadius_ > 0) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.drawRoundedRect(box, cornerRadius_, cornerRadius_);
    } else {
        painter.drawRect(box);
    }
}

} // namespace app
