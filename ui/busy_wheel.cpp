#include "ui/busy_wheel.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

TBusyWheel::TBusyWheel(QWidget* parent) : QWidget(parent) {
    timer_.setInterval(kStepMilliseconds);
    connect(&timer_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % kDots;
        update();
    });
    setAttribute(Qt::WA_TranslucentBackground);
}

void TBusyWheel::UpdateAnimation() {
    // Only a wheel that can be seen spends timer ticks.
    if (isEnabled() && isVisible()) {
        if (!timer_.isActive()) {
            timer_.start();
        }
    } else {
        timer_.stop();
    }
    update();
}

void TBusyWheel::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        UpdateAnimation();
    }
}

void TBusyWheel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    UpdateAnimation();
}

void TBusyWheel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    UpdateAnimation();
}

void TBusyWheel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = QRectF(rect()).center();
    const qreal radius = std::min(width(), height()) / 2.0;
    const qreal dotRadius = radius * 0.14;
    const qreal ringRadius = radius - dotRadius - 1.0;
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < kDots; ++i) {
        // The dots behind the bright one fade out like a tail.
        const int behind = (step_ - i + kDots) % kDots;
        const int alpha = isEnabled() ? std::max(50, 255 - behind * 22) : 90;
        painter.setBrush(QColor(255, 255, 255, alpha));
        const qreal angle = 2.0 * std::numbers::pi * i / kDots - std::numbers::pi / 2.0;
        const QPointF dot(centre.x() + ringRadius * std::cos(angle),
                          centre.y() + ringRadius * std::sin(angle));
        painter.drawEllipse(dot, dotRadius, dotRadius);
    }
}
