#pragma once

#include "app/svgpicture.h"

namespace app {

/// A button drawn as a picture. Pressed, it moves one pixel right and down; released, it
/// moves back wherever the mouse is, and clicks only when released over itself. It takes the
/// focus from Tab and shows it with a dotted frame while the keyboard is in use (a mouse user
/// sees the picture alone); Space or Enter clicks it; screen readers see a push button named by
/// its caption.
class PictureButton : public SvgPicture
{
    Q_OBJECT
    Q_DISABLE_COPY(PictureButton)

public:
    PictureButton(QWidget* parent, const QString& name, const QString& resource, QPoint rest,
                  const QString& caption);

    /// A click that did not come from the mouse: a key, or a screen reader's action.
    void click() { emit clicked(true); }

signals:
    /// `byKeyboard` is false for a mouse click, true otherwise.
    void clicked(bool byKeyboard);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint rest_;
};

} // namespace app
