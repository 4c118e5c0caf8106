#pragma once
// How the window makes the SAT library's calls. Every raw step (loading the
// library, one call of an export) runs on one long-lived library thread,
// always the same one, while the window's thread waits in a local event loop:
// it paints, animates the busy wheel and follows the window manager, but the
// user's mouse, keys and wheel are swallowed (not queued for later), so
// nothing typed or clicked during a call can start anything, then or after.
// Session numbers, decoding, dialogs and the pages' steps stay on the
// window's thread, around the call.

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class QEventLoop;
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

    // Runs `step` on the library thread and returns when it is over,
    // rethrowing what it threw.
    void Run(const std::function<void()>& step);

    // True while a call runs (the window's thread waits in Run).
    bool Running() const { return depth_ > 0; }

    // True for the event types that the user makes: mouse, keys, wheel,
    // touch, tablet, context menu, drag and drop.
    static bool IsUserInput(const QEvent& event);

signals:
    // A call is about to start / has just ended (for the window's timers).
    void callStarted();
    void callEnded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CallFinished();
    bool Passes(QObject* receiver, const QEvent& event) const;

    std::unique_ptr<SatLibraryThread> thread_;
    InputPass inputPass_;
    int depth_ = 0;
    long long startedCalls_ = 0;
    long long finishedCalls_ = 0;
    std::vector<QEventLoop*> loops_; // the local loops now waiting, innermost last
    // The modal window that was up when the call started: input to a modal
    // window opened during the call (the confirmation on close) passes.
    QWidget* modalAtStart_ = nullptr;
};
