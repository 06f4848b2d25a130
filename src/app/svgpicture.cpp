#include "app/svgpicture.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace app {

SvgPicture::SvgPicture(QWidget* parent, const QString& name, const QString& resource,
                       QRect geometry)
    : QWidget(parent), renderer_(resource)
{
    setObjectName(name);
    setGeometry(geometry);
}

void SvgPicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer_.render(&painter, QRectF(rect()));
}

QPixmap renderSvg(const QString& resource, QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(resource);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    return pixmap;
}

} // namespace app

namespace app {

QIcon applicationIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addPixmap(renderSvg(QStringLiteral(":/art/icon.svg"), QSize(size, size)));
    return icon;
}

} // namespace app
