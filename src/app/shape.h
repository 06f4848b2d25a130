#pragma once

#include <QColor>
#include <QWidget>

namespace app {

/// A filled rectangle, optionally with rounded corners and a border, drawn like the shapes of
/// the schematic and the panels behind the controls.
class Shape : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(Shape)

public:
    Shape(QWidget* parent, const QString& name, QRect geometry, QColor fill,
          QColor border = QColor(), int cornerRadius = 0);

    QColor fillColour() const { return fill_; }
    void setFillColour(QColor colour);
    void setBorderWidth(int width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fill_;
    QColor border_;
    int cornerRadius_;
    int borderWidth_ = 1;
};

} // namespace app
