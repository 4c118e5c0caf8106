// The loading window: one instance at most, lying exactly over the widget it
// covers, with its message and the program's version.

#include "dialogs/loading_window.h"

#include <QLabel>
#include <QPointer>
#include <QTest>

class TestLoadingWindow : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { FechaCarregando(); }
    void coversExactly_data();
    void coversExactly();
    void coversAChildWidget();
    void reusesTheOneInstance();
    void closeDestroys();
    void logo();
};

void TestLoadingWindow::coversExactly_data() {
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("version");
    QTest::newRow("main window size") << QRect(40, 30, 991, 716) << QStringLiteral("1.17");
    QTest::newRow("design size") << QRect(0, 0, 988, 735) << QStringLiteral("1.00");
    QTest::newRow("small") << QRect(200, 150, 400, 300) << QStringLiteral("2.3");
}

void TestLoadingWindow::coversExactly() {
    QFETCH(QRect, geometry);
    QFETCH(QString, version);
    QWidget main(nullptr, Qt::Window | Qt::FramelessWindowHint);
    main.setGeometry(geometry);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));

    const QString text = QStringLiteral("Aguarde...\r\nCarregando configurações Vexa ®");
    MostraCarregando(main, text, version);
    TFMsgSat* loading = CurrentLoadingWindow();
    QVERIFY(loading != nullptr);
    QVERIFY(loading->isVisible());
    QCOMPARE(loading->geometry(), main.geometry());
    QCOMPARE(loading->findChild<QLabel*>(QStringLiteral("lbl_sm_version"))->text(),
             QStringLiteral("v.") + version);
    auto* message = loading->findChild<QLabel*>(QStringLiteral("lbl_msg"));
    QCOMPARE(message->text(), QStringLiteral("Aguarde...\nCarregando configurações Vexa ®"));
    QCOMPARE(message->alignment(), Qt::AlignCenter);
    // The message lies inside the window, below the header, whole.
    QVERIFY(loading->rect().contains(message->geometry()));
    QVERIFY(message->height() >= message->heightForWidth(message->width()));
    QCOMPARE(loading->findChild<QLabel*>(QStringLiteral("lbl_sm_program"))->text(),
             QStringLiteral("Dravo Vexa Tarvik ®"));
    QVERIFY(loading->windowFlags().testFlag(Qt::FramelessWindowHint));
}

void TestLoadingWindow::coversAChildWidget() {
    QWidget main(nullptr, Qt::Window | Qt::FramelessWindowHint);
    main.setGeometry(100, 80, 600, 400);
    QWidget inner(&main);
    inner.setGeometry(20, 30, 300, 200);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    MostraCarregando(inner, QStringLiteral("x"), QStringLiteral("1"));
    QCOMPARE(CurrentLoadingWindow()->geometry(), QRect(120, 110, 300, 200));
}

void TestLoadingWindow::reusesTheOneInstance() {
    QWidget main(nullptr, Qt::Window | Qt::FramelessWindowHint);
    main.setGeometry(10, 10, 500, 400);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));

    MostraCarregando(main, QStringLiteral("primeira"), QStringLiteral("1.00"));
    QPointer<TFMsgSat> first = CurrentLoadingWindow();
    main.setGeometry(60, 70, 640, 480);
    MostraCarregando(main, QStringLiteral("segunda"), QStringLiteral("1.17"));
    QCOMPARE(CurrentLoadingWindow(), first.data());
    QCOMPARE(first->geometry(), QRect(60, 70, 640, 480));
    QCOMPARE(first->findChild<QLabel*>(QStringLiteral("lbl_msg"))->text(),
             QStringLiteral("segunda"));
    QCOMPARE(first->findChild<QLabel*>(QStringLiteral("lbl_sm_version"))->text(),
             QStringLiteral("v.1.17"));
    int shown = 0;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        shown += qobject_cast<TFMsgSat*>(top) != nullptr ? 1 : 0;
    }
    QCOMPARE(shown, 1);
}

void TestLoadingWindow::closeDestroys() {
    QWidget main;
    main.resize(300, 200);
    main.show();
    MostraCarregando(main, QStringLiteral("x"), QStringLiteral("1"));
    QPointer<TFMsgSat> loading = CurrentLoadingWindow();
    QVERIFY(!loading.isNull());
    FechaCarregando();
    QVERIFY(loading.isNull());
    QCOMPARE(CurrentLoadingWindow(), nullptr);
    FechaCarregando(); // nothing left to close: harmless
    // A later call builds a fresh one.
    MostraCarregando(main, QStringLiteral("y"), QStringLiteral("1"));
    QVERIFY(CurrentLoadingWindow() != nullptr);
}

void TestLoadingWindow::logo() {
    QWidget main;
    main.resize(300, 200);
    main.show();
    MostraCarregando(main, QStringLiteral("x"), QStringLiteral("1"));
    const QLabel* image = CurrentLoadingWindow()->findChild<QLabel*>(QStringLiteral("Image4"));
    QVERIFY(!image->pixmap().isNull()); // our own logo by default

    QPixmap mainLogo(20, 10);
    mainLogo.fill(Qt::red);
    MostraCarregando(main, QStringLiteral("x"), QStringLiteral("1"), mainLogo);
    QCOMPARE(image->pixmap().toImage().pixelColor(5, 5), QColor(Qt::red));
}

QTEST_MAIN(TestLoadingWindow)
#include "tst_loading_window.moc"
