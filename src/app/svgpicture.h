#pragma once

#include <QSvgRenderer>
#include <QWidget>

namespace app {

/// A picture drawn from SVG artwork at its widget's size, sharp at any screen scale.
class SvgPicture : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(SvgPicture)

public:
    SvgPicture(QWidget* parent, const QString& name, const QString& resource, QRect geometry);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSvgRenderer renderer_;
};

/// The artwork rendered to a pixmap, e.g. for window icons.
QPixmap renderSvg(const QString& resource, QSize size);

/// The program's icon, drawn at 16, 32 and 48 pixels.
QIcon applicationIcon();

} // namespace app
