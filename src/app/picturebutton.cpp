#include "app/picturebutton.h"

#include <QMouseEvent>

namespace app {

PictureButton::PictureButton(QWidget* parent, const QString& name, const QString& resource,
                             QPoint rest)
    : SvgPicture(parent, name, resource, QRect(rest, QSize(140, 24))), rest_(rest)
{
    setCursor(Qt::PointingHandCursor);
}

void PictureButton::mousePressEvent(QMouseEvent* event)
{
    move(rest_ + QPoint(1, 1));
    event->accept();
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event)
{
    // The press moved the button; the release position is relative to where it is now.
    const bool over = rect().contains(event->position().toPoint());
    move(rest_);
    event->accept();
    if (over)
        emit clicked();
}

} // namespace app
