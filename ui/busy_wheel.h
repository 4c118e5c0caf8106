#pragma once
// The animated busy wheel of the wait panel: a ring of dots whose bright spot
// turns while the wheel is enabled and shown. Disabled, it stands still.

#include <QTimer>
#include <QWidget>

class TBusyWheel : public QWidget {
    Q_OBJECT

public:
    static constexpr int kDots = 12;
    static constexpr int kStepMilliseconds = 80;

    explicit TBusyWheel(QWidget* parent = nullptr);

    bool IsAnimating() const { return timer_.isActive(); }
    // The dot that is brightest now, 0 to kDots - 1.
    int Step() const { return step_; }

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void UpdateAnimation();

    QTimer timer_;
    int step_ = 0;
};
