#pragma once
// How the window makes the SAT library's calls. Every raw step (loading the
// library, one call of an export) runs on one long-lived library thread,
// always the same one, while the window's thread waits in a local event loop:
// it paints, animates the busy wheel and follows the window manager, but the
// user's mouse, keys and wheel are swallowed (not queued for later), so
// nothing typed or clicked during a call can start anything, then or after.
// Session numbers, decoding, dialogs and the pages' steps stay on the
// window's thread, around the call.

#include <QElapsedTimer>
#include <QObject>

#include <chrono>
#include <functional>
#include <memory>

class QEventLoop;
class QTimer;
class QWidget;
class SatLibraryThread;

class TLibraryCalls : public QObject {
    Q_OBJECT

public:
    // Whether a user input event aimed at `target` may pass during a call
    // (the window's header buttons and its dragging).
    using InputPass = std::function<bool(QWidget* target, const QEvent& event)>;

    explicit TLibraryCalls(QObject* parent = nullptr);
    ~TLibraryCalls() override;

    void setInputPass(InputPass pass) { inputPass_ = std::move(pass); }
    // Ends the running call from the window's thread (the library host is
    // ended); used when the person stops waiting and when the application
    // quits during a call.
    void setAbandon(std::function<void()> abandon) { abandon_ = std::move(abandon); }
    // How long a call may stay silent before silentFor is first emitted.
    void setSilenceLimit(std::chrono::milliseconds limit) { silenceLimit_ = limit; }
    static constexpr std::chrono::seconds kSilenceLimit{30};

    // Runs `step` on the library thread and returns when it is over,
    // rethrowing what it threw. A Run while another runs (from an event
    // handled during the wait) is refused with std::logic_error: it would
    // block the window's thread and could clear the running call's outcome.
    void Run(const std::function<void()>& step);

    // Ends the running call now (see setAbandon); nothing when none runs.
    void Abandon();

    // True while a call runs (the window's thread waits in Run).
    bool Running() const { return depth_ > 0; }
    // True once the running call's step has returned (its answer is there).
    bool StepOver() const { return depth_ > 0 && stepOver_; }

    // True for the event types that the user makes: mouse, keys, wheel,
    // touch, tablet, context menu, drag and drop.
    static bool IsUserInput(const QEvent& event);

signals:
    // A call is about to start / has just ended (for the window's timers).
    void callStarted();
    void callEnded();
    // The library step has returned; Run returns as soon as the window's
    // thread gets back to it (a dialog opened during the call may hold it).
    void stepFinished();
    // The call has been silent this long, past the silence limit; every
    // second from then on.
    void silentFor(int seconds);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CallFinished();
    bool Passes(QObject* receiver, const QEvent& event) const;

    void TellSilence();

    std::unique_ptr<SatLibraryThread> thread_;
    InputPass inputPass_;
    std::function<void()> abandon_;
    std::chrono::milliseconds silenceLimit_ = kSilenceLimit;
    QTimer* silenceTimer_ = nullptr;
    QElapsedTimer silence_;
    int depth_ = 0;
    bool stepOver_ = false;
    QEventLoop* loop_ = nullptr; // the local loop now waiting
    // The modal window that was up when the call started: input to a modal
    // window opened during the call (the confirmation on close) passes.
    QWidget* modalAtStart_ = nullptr;
};
