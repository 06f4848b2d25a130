#pragma once

#include "app/svgpicture.h"

namespace app {

/// A button drawn as a picture. Pressed, it moves one pixel right and down; released, it
/// moves back wherever the mouse is, and clicks only when released over itself.
class PictureButton : public SvgPicture
{
    Q_OBJECT
    Q_DISABLE_COPY(PictureButton)

public:
    PictureButton(QWidget* parent, const QString& name, const QString& resource, QPoint rest);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPoint rest_;
};

} // namespace app
