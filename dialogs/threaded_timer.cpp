#include "dialogs/threaded_timer.h"

#include <utility>

TThreadedTimer::TThreadedTimer(QObject* parent) : QObject(parent) {
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &TThreadedTimer::tick);
}

void TThreadedTimer::setEnabled(bool enabled) {
    if (enabled == m_enabled) {
        return;
    }
    m_enabled = enabled;
    restart();
}

void TThreadedTimer::setInterval(int milliseconds) {
    if (milliseconds == m_interval) {
        return;
    }
    m_interval = milliseconds;
    restart();
}

void TThreadedTimer::setOnTimer(std::function<void()> handler) {
    m_onTimer = std::move(handler);
    // A handler given while the timer already counts keeps the running period.
    if (!m_timer.isActive()) {
        restart();
    }
}

void TThreadedTimer::restart() {
    m_timer.stop();
    if (m_enabled && m_interval > 0 && m_onTimer) {
        m_timer.start(m_interval);
    }
}

void TThreadedTimer::tick() {
    if (!m_enabled || !m_onTimer) {
        return;
    }
    try {
        // Copied, so a handler may replace or clear itself while it runs.
        const std::function<void()> handler = m_onTimer;
        handler();
    } catch (...) {
        // A failing handler costs its own tick only; the timer keeps going.
    }
}
