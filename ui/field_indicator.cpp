#include "ui/field_indicator.h"

#include <QPainter>

#include "dialogs/design_fonts.h"

const QColor TFieldIndicator::kOkFill(51, 153, 102);
const QColor TFieldIndicator::kXFill(220, 38, 38);
const QColor TFieldIndicator::kBorder(150, 150, 150);
const QColor TFieldIndicator::kText(255, 255, 255);

TFieldIndicator::TFieldIndicator(QWidget* parent)
    : QWidget(parent), caption_(QStringLiteral("X")), fill_(kXFill), border_(kBorder),
      text_(kText) {
    setFont(ArialFont(8, true));
    setFixedSize(kDiameter, kDiameter);
    setAttribute(Qt::WA_TranslucentBackground);
}

void TFieldIndicator::SetCaption(const QString& caption) {
    caption_ = caption;
    update();
}

void TFieldIndicator::SetFill(const QColor& fill) {
    fill_ = fill;
    update();
}

void TFieldIndicator::SetBorder(const QColor& border) {
    border_ = border;
    update();
}

void TFieldIndicator::SetTextColor(const QColor& text) {
    text_ = text;
    update();
}

void TFieldIndicator::CopyLookFrom(const TFieldIndicator& model) {
    fill_ = model.fill_;
    border_ = model.border_;
    text_ = model.text_;
    setFont(model.font());
    update();
}

void TFieldIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF circle = QRectF(rect()).adjusted(1.0, 1.0, -1.0, -1.0);
    painter.setPen(QPen(border_, 1.5));
    painter.setBrush(fill_);
    painter.drawEllipse(circle);
    painter.setPen(text_);
    painter.drawText(circle, Qt::AlignCenter, caption_);
}
