#include "output/qtdrawingsurface.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

namespace output {

QColor toQColor(indicators::Colour colour)
{
    return QColor(colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff);
}

QtDrawingSurface::QtDrawingSurface(QPainter& painter, double devicePixelsPerUnit, QColor textColour,
                                   QColor background)
    : painter_(painter), scale_(devicePixelsPerUnit), textColour_(textColour),
      background_(background), font_(QStringLiteral("Arial"))
{
    font_.setPointSizeF(10);
}

void QtDrawingSurface::Cls()
{
    painter_.fillRect(QRect(0, 0, painter_.device()->width(), painter_.device()->height()),
                      background_);
}

void QtDrawingSurface::Print(const std::string& text)
{
    const QFontMetricsF metrics(font_, painter_.device());
    painter_.setFont(font_);
    painter_.setPen(textColour_);
    painter_.setRenderHint(QPainter::TextAntialiasing);
    // The current position is the top-left corner of the line box.
    painter_.drawText(QPointF(currentX() * scale_, currentY() * scale_ + metrics.ascent()),
                      QString::fromStdString(text));
}

double QtDrawingSurface::TextWidth(const std::string& text)
{
    return QFontMetricsF(font_, painter_.device()).horizontalAdvance(QString::fromStdString(text)) /
           scale_;
}

double QtDrawingSurface::TextHeight(const std::string&)
{
    return QFontMetricsF(font_, painter_.device()).height() / scale_;
}

void QtDrawingSurface::Line(double x1, double y1, double x2, double y2, chart::Colour colour)
{
    const QPointF a(x1 * scale_, y1 * scale_);
    const QPointF b(x2 * scale_, y2 * scale_);
    // Thin grid lines stay crisp on the pixel grid; slanted and thick strokes are smoothed.
    const bool straight = a.x() == b.x() || a.y() == b.y();
    painter_.setRenderHint(QPainter::Antialiasing, !straight || drawWidth_ > 1);
    painter_.setPen(QPen(toQColor(colour), drawWidth_, Qt::SolidLine,
                         drawWidth_ > 1 ? Qt::RoundCap : Qt::FlatCap, Qt::RoundJoin));
    painter_.drawLine(a, b);
}

void QtDrawingSurface::Box(double x, double y, double dx, double dy, chart::Colour colour)
{
    painter_.setRenderHint(QPainter::Antialiasing, false);
    const QRectF box =
        QRectF(QPointF(x * scale_, y * scale_), QPointF((x + dx) * scale_, (y + dy) * scale_))
            .normalized();
    painter_.setPen(QPen(toQColor(colour), 1));
    painter_.setBrush(toQColor(colour));
    painter_.drawRect(box);
    painter_.setBrush(Qt::NoBrush);
}

void QtDrawingSurface::PSet(double x, double y, chart::Colour colour)
{
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(toQColor(colour));
    const double r = drawWidth_ / 2.0;
    painter_.drawEllipse(QPointF(x * scale_, y * scale_), r, r);
    painter_.setBrush(Qt::NoBrush);
}

void QtDrawingSurface::setDrawWidth(int pixels)
{
    drawWidth_ = std::max(1, pixels);
}

// Boxes are always drawn filled in their own colour, the only way the chart uses them.
void QtDrawingSurface::setFillColor(chart::Colour) {}
void QtDrawingSurface::setFillStyleSolid() {}

void QtDrawingSurface::setFontName(const std::string& name)
{
    font_.setFamily(QString::fromStdString(name));
}

void QtDrawingSurface::setFontSize(double points)
{
    font_.setPointSizeF(points);
}

void QtDrawingSurface::setFontBold(bool bold)
{
    font_.setBold(bold);
}

void QtDrawingSurface::setFontItalic(bool italic)
{
    font_.setItalic(italic);
}

double QtDrawingSurface::twipsPerPixelX() const
{
    return 1440.0 / painter_.device()->logicalDpiX();
}

double QtDrawingSurface::twipsPerPixelY() const
{
    return 1440.0 / painter_.device()->logicalDpiY();
}

} // namespace output
