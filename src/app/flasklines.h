#pragma once

#include <QWidget>

namespace app {

/// The lines drawn over the flask's liquid: two thick white strokes cut its upper corners to
/// the flask's conical outline, the thin ones draw the glass, the surface and a highlight.
/// Coordinates are those of the schematic frame.
class FlaskLines : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(FlaskLines)

public:
    explicit FlaskLines(QWidget* frame);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace app
