#include "dialogs/Clone.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QMetaObject>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "dialogs/Clone_place.h"

namespace {

std::atomic<bool> g_guardClaimed{false};
std::atomic<TVodevuCloneControl*> g_guard{nullptr};

} // namespace

// Runs before the QObject base is built, so a second guard does nothing at
// all before it is refused.
QObject* TVodevuCloneControl::ClaimProcessGuard(QObject* owner) {
    if (g_guardClaimed.exchange(true)) {
        throw ECloneControlError("Only one instance of CloneControl allowed");
    }
    return owner;
}

TVodevuCloneControl::TVodevuCloneControl(QObject* owner) : QObject(ClaimProcessGuard(owner)) {
    blockName_ = QStringLiteral("Vodevu.CloneControl.") +
                 QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    g_guard.store(this);
}

TVodevuCloneControl::~TVodevuCloneControl() {
    place_.reset();
    g_guard.store(nullptr);
    g_guardClaimed.store(false);
}

TVodevuCloneControl* TVodevuCloneControl::Instance() {
    return g_guard.load();
}

void TVodevuCloneControl::SetMaxInstance(int value) {
    maxInstance_ = std::clamp(value, 1, kMaxInstanceLimit);
}

void TVodevuCloneControl::Loaded() {
    if (admission_ != Admission::NotChecked) {
        return;
    }
    clone_detail::PlaceAttempt attempt = clone_detail::TakeInstancePlace(blockName_, maxInstance_);
    switch (attempt.result) {
    case clone_detail::PlaceResult::Taken:
        place_ = std::move(attempt.place);
        admission_ = Admission::Admitted;
        return;
    case clone_detail::PlaceResult::Unavailable:
        admission_ = Admission::Unguarded;
        return;
    case clone_detail::PlaceResult::AllTaken:
        admission_ = Admission::Refused;
        NotifyInstanceLimit();
        TerminateInstance();
        return;
    }
}

void TVodevuCloneControl::NotifyInstanceLimit() {
    switch (action_) {
    case clcNone:
        return;
    case clcMessage: {
        const QString text =
            QStringLiteral("Only %1 instance(s) of application is allowed").arg(maxInstance_);
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
            QMessageBox::critical(nullptr, QApplication::applicationDisplayName(), text);
        } else {
            // No widgets in this process: the message still reaches the user.
            std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        }
        return;
    }
    case clcCustom:
        emit OnAction();
        return;
    }
}

void TVodevuCloneControl::TerminateInstance() {
    switch (terminationStyle_) {
    case tsAppTerminate:
        // Queued, so that it also ends a message loop that has not started yet.
        if (QCoreApplication* app = QCoreApplication::instance()) {
            QMetaObject::invokeMethod(
                app, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
        }
        return;
    case tsHalt:
        std::fflush(nullptr);
        std::exit(0);
    case tsCustom:
        emit OnTerminate();
        return;
    }
}
