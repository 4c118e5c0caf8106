#include "dialogs/threaded_timer.h"

#include <utility>

TThreadedTimer::TThreadedTimer(QObject* parent) : QObject(parent) {
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &TThreadedTimer::tick);
}

void TThreadedTimer::setEnabled(bool enabled) {
    if (enabled == enabled_) {
        return;
    }
    enabled_ = enabled;
    restart();
}

void TThreadedTimer::setInterval(int milliseconds) {
    if (milliseconds == interval_) {
        return;
    }
    interval_ = milliseconds;
    restart();
}

void TThreadedTimer::setOnTimer(std::function<void()> handler) {
    onTimer_ = std::move(handler);
    // A handler given while the timer already counts keeps the running period.
    if (!timer_.isActive()) {
        restart();
    }
}

void TThreadedTimer::restart() {
    timer_.stop();
    if (enabled_ && interval_ > 0 && onTimer_) {
        timer_.start(interval_);
    }
}

void TThreadedTimer::tick() {
    if (!enabled_ || !onTimer_) {
        return;
    }
    try {
        // Copied, so a handler may replace or clear itself while it runs.
        const std::function<void()> handler = onTimer_;
        handler();
    } catch (...) {
        // A failing handler costs its own tick only; the timer keeps going.
    }
}
