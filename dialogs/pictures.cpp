#include "dialogs/pictures.h"

#include <QLabel>
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

QLabel* MakePicture(QWidget* parent, const char* objectName, const QString& name, QRect at) {
    auto* image = new QLabel(parent);
    image->setObjectName(QString::fromLatin1(objectName));
    image->setPixmap(RenderPicture(name, at.size(), parent->devicePixelRatioF()));
    image->setGeometry(at);
    return image;
}
