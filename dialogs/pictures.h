#pragma once
// The program's own pictures, drawn as SVG and compiled in as resources.
// They are rendered here at the size each widget needs, so they stay sharp at
// any size and on high-density screens.

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// Renders the picture `name` (file name without ".svg" in dialogs/pictures)
// at `size` logical pixels. An unknown name gives a null pixmap.
QPixmap RenderPicture(const QString& name, QSize size, qreal devicePixelRatio = 1.0);

// The same picture as a button glyph; the disabled state is derived by Qt.
QIcon PictureIcon(const QString& name, QSize size);
