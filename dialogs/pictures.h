#pragma once
// The program's own pictures, drawn as SVG and compiled in as resources.
// They are rendered here at the size each widget needs, so they stay sharp at
// any size and on high-density screens.

#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QString>

class QLabel;
class QWidget;

// Renders the picture `name` (file name without ".svg" in dialogs/pictures)
// at `size` logical pixels. An unknown name gives a null pixmap.
QPixmap RenderPicture(const QString& name, QSize size, qreal devicePixelRatio = 1.0);

// The same picture as a button glyph; the disabled state is derived by Qt.
QIcon PictureIcon(const QString& name, QSize size);

// A label named objectName on parent that shows the picture at `at`, drawn
// for parent's screen density.
QLabel* MakePicture(QWidget* parent, const char* objectName, const QString& name, QRect at);
