#include "app/flasklines.h"

#include <QPainter>

namespace app {

namespace {

struct FlaskLine
{
    QLine line;
    QColor colour;
    int width;
};

const FlaskLine kLines[] = {
    {{73, 261, 91, 305}, Qt::white, 20},            // Line1(0): cuts the right corner
    {{23, 265, 8, 301}, Qt::white, 20},             // Line1(1): cuts the left corner
    {{71, 286, 79, 306}, QColor(128, 128, 255), 1}, // Line1(2): right glass wall
    {{27, 284, 17, 308}, QColor(128, 128, 255), 1}, // Line1(3): left glass wall
    {{71, 286, 27, 286}, QColor(128, 128, 128), 1}, // Line1(4): liquid surface
    {{34, 287, 22, 317}, QColor(248, 248, 248), 2}, // Line1(6): highlight
};

} // namespace

FlaskLines::FlaskLines(QWidget* frame) : QWidget(frame)
{
    setObjectName(QStringLiteral("Line1"));
    setGeometry(frame->rect());
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void FlaskLines::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (const FlaskLine& l : kLines) {
        painter.setRenderHint(QPainter::Antialiasing, l.width > 1);
        painter.setPen(
            QPen(l.colour, l.width, Qt::SolidLine, l.width > 1 ? Qt::RoundCap : Qt::SquareCap));
        painter.drawLine(l.line);
    }
}

} // namespace app
