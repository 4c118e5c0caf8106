#pragma once
// A timer whose handler always runs on the user-interface thread. Qt measures
// the period off the handler, so a slow handler does not stretch the period
// measuring, and no handler ever runs on another thread.
//
// Enabling starts a full period: the first tick comes one interval after it.
// Disabling suspends the timer; enabling again starts a new full period.
// An exception thrown by the handler is swallowed, so a faulty handler can
// never take the event loop down.

#include <QObject>
#include <QTimer>

#include <functional>

class TThreadedTimer : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultInterval = 1000;

    explicit TThreadedTimer(QObject* parent = nullptr);

    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    int Interval() const { return interval_; }
    // A new interval while enabled starts a new full period. An interval of 0
    // or less never ticks.
    void setInterval(int milliseconds);

    void setOnTimer(std::function<void()> handler);

    // True while the timer is counting towards its next tick.
    bool isCounting() const { return timer_.isActive(); }

private:
    void restart();
    void tick();

    QTimer timer_;
    std::function<void()> onTimer_;
    int interval_ = kDefaultInterval;
    bool enabled_ = false;
};
