#pragma once
// Drives a modal dialog from inside its own modal loop, as a person would:
// scheduled before the call that opens it, the action runs once the dialog is
// shown and active. A dialog the action did not close is closed with
// kStillOpen shortly after, so a test never waits on a real person.

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

inline constexpr int kStillOpen = 999;

template <typename Dialog>
void DriveNextModal(std::function<void(Dialog*)> action, int settleMs = 300) {
    auto* poll = new QTimer(qApp);
    poll->setInterval(5);
    auto waited = std::make_shared<QElapsedTimer>();
    waited->start();
    QObject::connect(poll, &QTimer::timeout, qApp, [=] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) {
            if (waited->elapsed() > 10000) {
                poll->stop();
                poll->deleteLater();
            }
            return;
        }
        poll->stop();
        poll->deleteLater();
        dialog->activateWindow();
        if (!QTest::qWaitForWindowActive(dialog)) {
            qWarning("modal dialog never became active");
        }
        QPointer<Dialog> guard(dialog);
        action(dialog);
        QTimer::singleShot(settleMs, qApp, [guard] {
            if (guard && guard->isVisible()) {
                guard->done(kStillOpen);
            }
        });
    });
    poll->start();
}
