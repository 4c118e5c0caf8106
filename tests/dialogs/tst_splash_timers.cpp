// The threaded timer, the splash window's fade-in and timeline, and the
// credits window.

#include "dialogs/easter_egg.h"
#include "dialogs/splash_form.h"
#include "dialogs/threaded_timer.h"
#include "tests/desktop_main.h"
#include "tests/dialogs/modal_driver.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

#include <cmath>
#include <stdexcept>
#include <vector>

namespace {

int StoredAlpha(const QWidget& window) {
    return int(std::floor(window.windowOpacity() * 255));
}

} // namespace

class TestSplashTimers : public QObject {
    Q_OBJECT

private slots:
    void newTimerIsIdle();
    void firstTickOneIntervalAfterEnabling_data();
    void firstTickOneIntervalAfterEnabling();
    void disablingSuspends();
    void handlerExceptionIsSwallowed();
    void ticksOnTheUserInterfaceThread();
    void nonPositiveIntervalNeverTicks_data();
    void nonPositiveIntervalNeverTicks();

    void alpha_data();
    void alpha();
    void showsTransparentAndStartsTheFade();
    void fadeSequence();
    void fadeWaitSurvivesClockWrap();
    void closesItselfAfterTheTimeline();
    void fadeReachesTheWindowSystem();

    void creditsShortcut_data();
    void creditsShortcut();
    void creditsCloseOnAnyKey_data();
    void creditsCloseOnAnyKey();
    void creditsIgnoresKeyRepeat();
};

void TestSplashTimers::newTimerIsIdle() {
    TThreadedTimer timer;
    QCOMPARE(timer.Enabled(), false);
    QCOMPARE(timer.Interval(), 1000);
    int ticks = 0;
    timer.setOnTimer([&] { ++ticks; });
    QVERIFY(!timer.isCounting());
}

void TestSplashTimers::firstTickOneIntervalAfterEnabling_data() {
    QTest::addColumn<int>("interval");
    QTest::newRow("60 ms") << 60;
    QTest::newRow("150 ms") << 150;
}

void TestSplashTimers::firstTickOneIntervalAfterEnabling() {
    QFETCH(int, interval);
    TThreadedTimer timer;
    timer.setInterval(interval);
    QElapsedTimer clock;
    qint64 firstTick = -1;
    int ticks = 0;
    timer.setOnTimer([&] {
        if (ticks++ == 0) {
            firstTick = clock.elapsed();
        }
    });
    clock.start();
    timer.setEnabled(true);
    QTRY_VERIFY_WITH_TIMEOUT(ticks >= 2, 5000);
    QVERIFY2(firstTick >= interval - 2, qPrintable(QString::number(firstTick)));
}

void TestSplashTimers::disablingSuspends() {
    TThreadedTimer timer;
    timer.setInterval(100);
    int ticks = 0;
    timer.setOnTimer([&] { ++ticks; });
    timer.setEnabled(true);
    timer.setEnabled(false);
    QTest::qWait(250);
    QCOMPARE(ticks, 0);
    QVERIFY(!timer.isCounting());

    // Enabling again starts a full new period.
    QElapsedTimer clock;
    clock.start();
    qint64 tickAt = -1;
    timer.setOnTimer([&] {
        if (ticks++ == 0) {
            tickAt = clock.elapsed();
        }
    });
    timer.setEnabled(true);
    QTRY_VERIFY_WITH_TIMEOUT(ticks >= 1, 5000);
    QVERIFY(tickAt >= 98);
}

void TestSplashTimers::handlerExceptionIsSwallowed() {
    TThreadedTimer timer;
    timer.setInterval(10);
    int calls = 0;
    timer.setOnTimer([&] {
        ++calls;
        throw std::runtime_error("handler failed");
    });
    timer.setEnabled(true);
    QTRY_VERIFY_WITH_TIMEOUT(calls >= 3, 2000);
    QVERIFY(timer.Enabled());
}

void TestSplashTimers::ticksOnTheUserInterfaceThread() {
    TThreadedTimer timer;
    timer.setInterval(10);
    QThread* ranOn = nullptr;
    timer.setOnTimer([&] { ranOn = QThread::currentThread(); });
    timer.setEnabled(true);
    QTRY_VERIFY(ranOn != nullptr);
    QCOMPARE(ranOn, qApp->thread());
}

void TestSplashTimers::nonPositiveIntervalNeverTicks_data() {
    QTest::addColumn<int>("interval");
    QTest::newRow("zero") << 0;
    QTest::newRow("negative") << -5;
}

void TestSplashTimers::nonPositiveIntervalNeverTicks() {
    QFETCH(int, interval);
    TThreadedTimer timer;
    timer.setInterval(interval);
    int ticks = 0;
    timer.setOnTimer([&] { ++ticks; });
    timer.setEnabled(true);
    QTest::qWait(50);
    QCOMPARE(ticks, 0);
}

void TestSplashTimers::alpha_data() {
    QTest::addColumn<int>("transparency");
    QTest::addColumn<int>("alpha");
    QTest::newRow("invisible") << 100 << 0;
    QTest::newRow("first step 5.1") << 98 << 5;
    QTest::newRow("half 127.5") << 50 << 127;
    QTest::newRow("20 percent is exactly 204") << 20 << 204;
    QTest::newRow("80 percent is exactly 51") << 80 << 51;
    QTest::newRow("last step 249.9") << 2 << 249;
    QTest::newRow("opaque") << 0 << 255;
}

void TestSplashTimers::alpha() {
    QFETCH(int, transparency);
    QFETCH(int, alpha);
    QCOMPARE(TFSplashForm::AlphaForTransparency(transparency), alpha);
    TFSplashForm splash;
    splash.SetTransparency(transparency);
    QCOMPARE(StoredAlpha(splash), alpha);
}

void TestSplashTimers::showsTransparentAndStartsTheFade() {
    TFSplashForm splash;
    QCOMPARE(splash.size(), QSize(470, 182));
    QCOMPARE(splash.ThreadedTimer1()->Interval(), 3000);
    QCOMPARE(splash.ThreadedTimer2()->Interval(), 1000);
    QVERIFY(!splash.ThreadedTimer1()->Enabled());
    QVERIFY(!splash.ThreadedTimer2()->Enabled());
    splash.show();
    QCOMPARE(StoredAlpha(splash), 0);
    QVERIFY(splash.ThreadedTimer2()->Enabled());
    QVERIFY(!splash.ThreadedTimer1()->Enabled());
}

// The clock the fade waits on advances 10 ms at every reading, so each wait
// ends after one look; the alpha in force at each wait is recorded.
void TestSplashTimers::fadeSequence() {
    TFSplashForm splash;
    std::vector<int> alphas;
    std::uint32_t now = 0;
    splash.setTickSource([&] {
        const int alpha = StoredAlpha(splash);
        if (alphas.empty() || alphas.back() != alpha) {
            alphas.push_back(alpha);
        }
        now += 10;
        return now;
    });
    splash.ThreadedTimer2()->setInterval(5);
    splash.ThreadedTimer1()->setInterval(100000);
    splash.show();
    QTRY_VERIFY(splash.ThreadedTimer1()->Enabled());

    QCOMPARE(alphas.size(), std::size_t(50));
    QCOMPARE(alphas.front(), 0);
    QCOMPARE(alphas[1], 5);
    QCOMPARE(alphas[2], 10);
    QCOMPARE(alphas.back(), 249);
    for (std::size_t i = 1; i < alphas.size(); ++i) {
        QVERIFY(alphas[i] > alphas[i - 1]);
    }
    // The fade leaves the window very slightly translucent.
    QCOMPARE(StoredAlpha(splash), 249);
    QVERIFY(!splash.ThreadedTimer2()->Enabled());
}

void TestSplashTimers::fadeWaitSurvivesClockWrap() {
    TFSplashForm splash;
    std::uint32_t now = 0xFFFFFF00u;
    int readings = 0;
    splash.setTickSource([&] {
        ++readings;
        return now++;
    });
    splash.ThreadedTimer2()->setInterval(5);
    splash.ThreadedTimer1()->setInterval(100000);
    splash.show();
    QTRY_VERIFY_WITH_TIMEOUT(splash.ThreadedTimer1()->Enabled(), 10000);
    // Every one of the 50 waits reads the clock until 10 ms have passed, the
    // wait across the wrap included: one start reading and ten more each.
    QCOMPARE(readings, 50 * 11);
}

void TestSplashTimers::closesItselfAfterTheTimeline() {
    TFSplashForm splash;
    splash.ThreadedTimer2()->setInterval(50);
    splash.ThreadedTimer1()->setInterval(100);
    QElapsedTimer clock;
    clock.start();
    splash.exec();
    const qint64 elapsed = clock.elapsed();
    // First tick, then 50 real waits of 10 ms, then the closing interval.
    QVERIFY2(elapsed >= 50 + 500 + 100 - 5, qPrintable(QString::number(elapsed)));
    QVERIFY2(elapsed < 10000, qPrintable(QString::number(elapsed)));
    QVERIFY(!splash.isVisible());
    QVERIFY(!splash.ThreadedTimer1()->Enabled());
    QCOMPARE(StoredAlpha(splash), 249);
}

void TestSplashTimers::creditsShortcut_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("opens");
    QTest::newRow("Ctrl+J") << int(Qt::Key_J) << Qt::KeyboardModifiers(Qt::ControlModifier) << true;
    QTest::newRow("Ctrl+Shift+J") << int(Qt::Key_J)
                                  << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier)
                                  << true;
    QTest::newRow("Ctrl+Alt+J") << int(Qt::Key_J)
                                << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier)
                                << true;
    QTest::newRow("J") << int(Qt::Key_J) << Qt::KeyboardModifiers(Qt::NoModifier) << false;
    QTest::newRow("Shift+J") << int(Qt::Key_J) << Qt::KeyboardModifiers(Qt::ShiftModifier) << false;
    QTest::newRow("Alt+J") << int(Qt::Key_J) << Qt::KeyboardModifiers(Qt::AltModifier) << false;
    QTest::newRow("Ctrl+K") << int(Qt::Key_K) << Qt::KeyboardModifiers(Qt::ControlModifier)
                            << false;
}

void TestSplashTimers::creditsShortcut() {
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, opens);
    const QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QCOMPARE(IsEasterEggShortcut(event), opens);
}

void TestSplashTimers::creditsCloseOnAnyKey_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Escape") << int(Qt::Key_Escape);
    QTest::newRow("letter") << int(Qt::Key_A);
    QTest::newRow("J") << int(Qt::Key_J);
    QTest::newRow("Space") << int(Qt::Key_Space);
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("F1") << int(Qt::Key_F1);
    QTest::newRow("Shift alone") << int(Qt::Key_Shift);
}

void TestSplashTimers::creditsCloseOnAnyKey() {
    QFETCH(int, key);
    QWidget owner;
    owner.show();
    QString caption;
    QSize size;
    QPointer<TFEasterEgg> shown;
    DriveNextModal<TFEasterEgg>([&](TFEasterEgg* credits) {
        caption = credits->windowTitle();
        size = credits->size();
        shown = credits;
        QWidget* target = credits->focusWidget() != nullptr ? credits->focusWidget() : credits;
        QTest::keyClick(target, Qt::Key(key));
        // The driver would close a window left open with kStillOpen.
        QVERIFY(!credits->isVisible());
    });
    ShowEasterEgg(&owner);
    QCOMPARE(caption, QStringLiteral("Desenvolver é uma arte !"));
    QCOMPARE(size, QSize(389, 227));
    QVERIFY(shown.isNull()); // destroyed once closed
}

void TestSplashTimers::creditsIgnoresKeyRepeat() {
    TFEasterEgg credits;
    credits.show();
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_J, Qt::ControlModifier, QString(), true);
    QApplication::sendEvent(&credits, &repeat);
    QVERIFY(credits.isVisible());
    QKeyEvent press(QEvent::KeyPress, Qt::Key_J, Qt::ControlModifier, QString(), false);
    QApplication::sendEvent(&credits, &press);
    QVERIFY(!credits.isVisible());
}

namespace {

// The opacity that a compositor reads for the window `id`: the property on
// the window manager's frame around it (or on the window itself when it has
// none), as 0 to 1; -1 when it cannot be read. No property means opaque.
double OpacityOnDisplay(WId id) {
    const QString xwininfo = QStandardPaths::findExecutable(QStringLiteral("xwininfo"));
    const QString xprop = QStandardPaths::findExecutable(QStringLiteral("xprop"));
    if (xwininfo.isEmpty() || xprop.isEmpty()) {
        return -1.0;
    }
    const auto run = [](const QString& program, const QStringList& arguments) {
        QProcess process;
        process.start(program, arguments);
        process.waitForFinished(2000);
        return QString::fromLocal8Bit(process.readAllStandardOutput());
    };
    QString window = QStringLiteral("0x") + QString::number(id, 16);
    const QRegularExpression parent(QStringLiteral("Parent window id: (0x[0-9a-f]+)"));
    const QRegularExpression root(QStringLiteral("Root window id: (0x[0-9a-f]+)"));
    for (int depth = 0; depth < 4; ++depth) { // up to the child of the root window
        const QString tree =
            run(xwininfo, {QStringLiteral("-id"), window, QStringLiteral("-tree")});
        const QString up = parent.match(tree).captured(1);
        if (up.isEmpty() || up == root.match(tree).captured(1)) {
            break;
        }
        window = up;
    }
    const QString value =
        run(xprop, {QStringLiteral("-id"), window, QStringLiteral("_NET_WM_WINDOW_OPACITY")});
    const QRegularExpression number(QStringLiteral("= (\\d+)"));
    const QRegularExpressionMatch found = number.match(value);
    return found.hasMatch() ? found.captured(1).toDouble() / 4294967295.0 : 1.0;
}

} // namespace

// On a desktop the fade is seen by the compositor step by step: the opacity
// the window system holds for the splash rises while it fades in.
void TestSplashTimers::fadeReachesTheWindowSystem() {
    if (!OnDesktop()) {
        QSKIP("needs an X desktop (scripts/test-desktop)");
    }
    TFSplashForm splash;
    splash.ThreadedTimer2()->setInterval(300);
    splash.ThreadedTimer1()->setInterval(300);
    std::vector<double> seen;
    QTimer sampler;
    sampler.setInterval(60);
    QObject::connect(&sampler, &QTimer::timeout, &splash,
                     [&] { seen.push_back(OpacityOnDisplay(splash.winId())); });
    QTimer::singleShot(150, &sampler, [&] { sampler.start(); });
    splash.exec();
    sampler.stop();

    QVERIFY2(seen.size() >= 8, qPrintable(QString::number(seen.size())));
    QVERIFY2(seen.front() >= 0.0 && seen.front() < 0.05, qPrintable(QString::number(seen.front())));
    int between = 0;
    for (std::size_t i = 1; i < seen.size(); ++i) {
        QVERIFY2(seen[i] >= seen[i - 1], qPrintable(QString::number(seen[i])));
        between += seen[i] > 0.1 && seen[i] < 0.9;
    }
    QVERIFY2(between >= 2, "the fade jumped instead of rising");
    QVERIFY2(seen.back() > 0.95, qPrintable(QString::number(seen.back())));
}

DVT_TEST_MAIN(TestSplashTimers)
#include "tst_splash_timers.moc"
