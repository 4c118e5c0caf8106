#include "dialogs/on_screen.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWidget>
#include <QWindow>

namespace {

bool IsExposed(const QWidget& widget) {
    const QWindow* handle = widget.window()->windowHandle();
    return handle != nullptr && handle->isExposed();
}

} // namespace

void SyncWithWindowSystem() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // A round trip to the display server: what was sent has been taken.
    QGuiApplication::sync();
}

bool PaintOnScreen(QWidget& widget, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    bool exposed = IsExposed(widget);
    while (!exposed && clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        exposed = IsExposed(widget);
        if (!exposed) {
            QThread::msleep(2);
        }
    }
    if (widget.isVisible()) {
        widget.repaint();
    }
    SyncWithWindowSystem();
    return exposed;
}
