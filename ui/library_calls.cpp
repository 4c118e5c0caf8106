#include "ui/library_calls.h"

#include <QApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <stdexcept>

#include "sat/library_thread.h"

TLibraryCalls::TLibraryCalls(QObject* parent)
    : QObject(parent), thread_(std::make_unique<SatLibraryThread>()),
      silenceTimer_(new QTimer(this)) {
    silenceTimer_->setInterval(1000);
    connect(silenceTimer_, &QTimer::timeout, this, &TLibraryCalls::TellSilence);
}

TLibraryCalls::~TLibraryCalls() {
    // The thread is joined, so a call still running is ended first.
    if (thread_->Busy()) {
        Abandon();
    }
}

bool TLibraryCalls::IsUserInput(const QEvent& event) {
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::InputMethod:
        return true;
    default:
        return false;
    }
}

void TLibraryCalls::Run(const std::function<void()>& step) {
    if (depth_ > 0) {
        throw std::logic_error("outra chamada da biblioteca SAT está em andamento");
    }
    depth_ = 1;
    modalAtStart_ = QApplication::activeModalWidget();
    // Installed last, so it sees every event before the window's own
    // filters (key preview, dragging) do.
    qApp->installEventFilter(this);
    // The busy cursor says what the swallowed clicks would not.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    emit callStarted();
    QEventLoop loop;
    loop_ = &loop;
    stepOver_ = false;
    silence_.start();
    silenceTimer_->start(
        std::min<std::chrono::milliseconds>(std::chrono::seconds(1), silenceLimit_));
    thread_->Start(step, [this] {
        // On the library thread: a queued notice reaches the window's thread
        // even when the call ended before the loop started.
        QMetaObject::invokeMethod(this, &TLibraryCalls::CallFinished, Qt::QueuedConnection);
    });
    if (thread_->Busy()) {
        loop.exec();
    }
    if (!stepOver_ && thread_->Busy()) {
        // The loop was not quit by the call's end: the application is
        // quitting, and every exec would return at once. The call is ended
        // and waited for below instead of spun on.
        Abandon();
    }
    loop_ = nullptr;
    silenceTimer_->stop();
    // What the window system delivered meanwhile is swallowed now, before
    // the filter goes, so that no click of the call's time reaches a page.
    QCoreApplication::processEvents();
    depth_ = 0;
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
    modalAtStart_ = nullptr;
    emit callEnded();
    thread_->Wait(); // over (or ending); rethrows what the step threw
}

void TLibraryCalls::Abandon() {
    if (abandon_ && thread_->Busy()) {
        abandon_();
    }
}

void TLibraryCalls::CallFinished() {
    if (loop_ == nullptr || stepOver_) {
        return;
    }
    stepOver_ = true;
    loop_->quit();
    emit stepFinished();
}

void TLibraryCalls::TellSilence() {
    const auto silent = std::chrono::milliseconds(silence_.elapsed());
    if (silent >= silenceLimit_) {
        emit silentFor(
            static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(silent).count()));
    }
}

bool TLibraryCalls::Passes(QObject* receiver, const QEvent& event) const {
    QWidget* target = qobject_cast<QWidget*>(receiver);
    if (target == nullptr) {
        // A window of the window system: the event is meant for the widget
        // under the mouse, or for the focused one.
        auto* window = qobject_cast<QWindow*>(receiver);
        if (window == nullptr) {
            return true;
        }
        QWidget* top = nullptr;
        for (QWidget* candidate : QApplication::topLevelWidgets()) {
            if (candidate->windowHandle() == window) {
                top = candidate;
                break;
            }
        }
        if (top == nullptr) {
            return false;
        }
        target = top;
        if (event.isPointerEvent() || event.type() == QEvent::ContextMenu) {
            if (const auto* pointer = dynamic_cast<const QSinglePointEvent*>(&event)) {
                if (QWidget* under = top->childAt(pointer->position().toPoint())) {
                    target = under;
                }
            }
        } else if (QWidget* focused = QApplication::focusWidget();
                   focused != nullptr && focused->window() == top) {
            target = focused;
        }
    }
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal != modalAtStart_ && target->window() == modal) {
        return true;
    }
    return inputPass_ && inputPass_(target, event);
}

bool TLibraryCalls::eventFilter(QObject* watched, QEvent* event) {
    if (depth_ > 0 && IsUserInput(*event) && !Passes(watched, *event)) {
        return true; // swallowed
    }
    return QObject::eventFilter(watched, event);
}
