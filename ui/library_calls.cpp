#include "ui/library_calls.h"

#include <QApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include "sat/library_thread.h"

TLibraryCalls::TLibraryCalls(QObject* parent)
    : QObject(parent), thread_(std::make_unique<SatLibraryThread>()) {}

TLibraryCalls::~TLibraryCalls() = default;

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
    if (depth_ == 0) {
        modalAtStart_ = QApplication::activeModalWidget();
        // Installed last, so it sees every event before the window's own
        // filters (key preview, dragging) do.
        qApp->installEventFilter(this);
        // The busy cursor says what the swallowed clicks would not.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        emit callStarted();
    }
    ++depth_;
    const long long mine = ++startedCalls_;
    QEventLoop loop;
    loops_.push_back(&loop);
    // The library thread takes one call at a time: a call started while
    // another runs waits here for its turn.
    thread_->Start(step, [this] {
        // On the library thread: a queued notice reaches the window's thread
        // even when the call ended before the loop started.
        QMetaObject::invokeMethod(this, &TLibraryCalls::CallFinished, Qt::QueuedConnection);
    });
    while (finishedCalls_ < mine) {
        loop.exec();
    }
    loops_.pop_back();
    // What the window system delivered meanwhile is swallowed now, before
    // the filter goes, so that no click of the call's time reaches a page.
    QCoreApplication::processEvents();
    --depth_;
    if (depth_ == 0) {
        qApp->removeEventFilter(this);
        QApplication::restoreOverrideCursor();
        modalAtStart_ = nullptr;
        emit callEnded();
    }
    thread_->Wait(); // over already; rethrows what the step threw
}

void TLibraryCalls::CallFinished() {
    ++finishedCalls_;
    for (QEventLoop* loop : loops_) {
        loop->quit();
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
