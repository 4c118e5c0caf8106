#pragma once
// The main() of a widget test program that also runs on a real desktop. Its
// "_desktop" CTest entry (DVT_DESKTOP_TEST=1) runs on the X display that
// scripts/test-desktop started with a window manager and a compositor
// (DVT_TEST_DISPLAY), and is skipped (exit 77) when there is none; every
// other run is the usual offscreen one.

#include <QApplication>
#include <QGuiApplication>
#include <QTest>

#include <cstdio>

inline constexpr int kDesktopTestSkipped = 77;

// 0 when the tests may run; kDesktopTestSkipped when a desktop run has no
// display.
inline int PrepareDesktopRun() {
    if (qEnvironmentVariableIsEmpty("DVT_DESKTOP_TEST")) {
        return 0;
    }
    const QByteArray display = qgetenv("DVT_TEST_DISPLAY");
    if (display.isEmpty()) {
        std::fputs("skipped: no desktop display (scripts/test-desktop starts one)\n", stderr);
        return kDesktopTestSkipped;
    }
    qputenv("DISPLAY", display);
    qputenv("QT_QPA_PLATFORM", "xcb");
    return 0;
}

// True when the tests run on an X desktop rather than offscreen.
inline bool OnDesktop() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

#define DVT_TEST_MAIN(TestObject)                                                                  \
    int main(int argc, char** argv) {                                                              \
        if (const int skipped = PrepareDesktopRun(); skipped != 0) {                               \
            return skipped;                                                                        \
        }                                                                                          \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
