#include "dialogs/pictures.h"

#include <QPainter>
#include <QSvgRenderer>

QPixmap RenderPicture(const QString& name, QSize size, qreal devicePixelRatio) {
    QSvgRenderer renderer(QStringLiteral(":/dialogs/pictures/") + name + QStringLiteral(".svg"));
    if (!renderer.isValid() || size.isEmpty()) {
        return {};
    }
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

QIcon PictureIcon(const QString& name, QSize size) {
    QIcon icon;
    icon.addPixmap(RenderPicture(name, size, 1.0));
    icon.addPixmap(RenderPicture(name, size, 2.0));
    return icon;
}
