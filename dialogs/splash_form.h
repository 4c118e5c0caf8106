#pragma once
// The splash window shown while the main window is being built. It opens fully
// transparent, fades in about one second later, stays for its closing interval
// and then closes itself, which ends the modal loop of whoever showed it.

#include <QDialog>

#include <cstdint>
#include <functional>

class QLabel;
class TThreadedTimer;

class TFSplashForm : public QDialog {
    Q_OBJECT
public:
    // Milliseconds of some monotonic clock; may wrap around.
    using TickSource = std::function<std::uint32_t()>;

    static constexpr int kFadeStepWaitMs = 10;

    explicit TFSplashForm(QWidget* parent = nullptr);

    QLabel* lbl_titulo() const { return titulo_; }
    QLabel* lbl_versao() const { return versao_; }
    // Closes the window when it fires; enabled when the fade-in has ended.
    TThreadedTimer* ThreadedTimer1() const { return closeTimer_; }
    // Runs the fade-in; enabled when the window is shown.
    TThreadedTimer* ThreadedTimer2() const { return fadeTimer_; }

    // The clock the fade's waits read; a steady millisecond clock by default.
    void setTickSource(TickSource ticks);

    // Opacity as a percentage of transparency t (0 opaque .. 100 invisible).
    void SetTransparency(int t);

    // Alpha for a transparency t: the integer part of (100 - t) * 2.55.
    static int AlphaForTransparency(int t);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ThreadedTimer1Timer();
    void ThreadedTimer2Timer();
    void fadeIn();
    void waitResponsively(int milliseconds);

    QLabel* titulo_ = nullptr;
    QLabel* versao_ = nullptr;
    TThreadedTimer* closeTimer_ = nullptr;
    TThreadedTimer* fadeTimer_ = nullptr;
    TickSource ticks_;
};
