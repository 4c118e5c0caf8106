// The main window shell with real widgets: start-up through the entry
// picture against the fake SAT library, the page reset, the list, the wait
// panel, the indicators, the keyboard conventions, dragging and the shared
// routines, and the window during a slow library call. Every message is
// recorded instead of shown, so no modal dialog ever waits for a person.
// The tests of a slow call run once more on a real desktop (window manager
// and compositor, scripts/test-desktop), where the input is the window
// system's own and the screen is read back.

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QInputMethodEvent>
#include <QLibraryInfo>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "dialogs/Yancomp.h"
#include "dialogs/easter_egg.h"
#include "dialogs/header_bar.h"
#include "dialogs/loading_window.h"
#include "dialogs/splash_form.h"
#include "dialogs/threaded_timer.h"
#include "manager/didiz_ivodazu_rivivaz.h"
#include "rules/cp1252.h"
#include "sat/un_global.h"
#include "tests/desktop_main.h"
#include "tests/dialogs/modal_driver.h"
#include "tests/fake_sat/fake_sat_control.h"
#include "tests/file_contents.h"
#include "tests/page_window.h"
#include "ui/busy_wheel.h"
#include "ui/clickable_picture.h"
#include "ui/field_indicator.h"
#include "ui/library_calls.h"
#include "ui/main_window.h"
#include "ui/page_set.h"
#include "ui/pages/activation_page.h"
#include "ui/pages/maintenance_page.h"
#include "ui/pages/network_page.h"
#include "ui/pages/queries_page.h"
#include "ui/qt_translations.h"
#include "ui/result_memo.h"
#include "ui/wait_panel.h"

namespace {

constexpr int kSlowCallMs = 1500;

// Runs `during` once the library call has been under way for `afterMs`.
void DuringCall(int afterMs, std::function<void()> during) {
    QTimer::singleShot(afterMs, qApp, std::move(during));
}

// Whether the screen shows `widget` as it paints itself: the share of
// sampled pixels that match, read back from the display.
double ShareOnScreen(QWidget& widget) {
    const QImage painted = widget.grab().toImage();
    const QPoint origin = widget.mapToGlobal(QPoint(0, 0));
    const QImage shown =
        QGuiApplication::primaryScreen()
            ->grabWindow(0, origin.x(), origin.y(), widget.width(), widget.height())
            .toImage();
    if (shown.size() != painted.size()) {
        return 0.0;
    }
    int same = 0;
    int samples = 0;
    for (int y = 0; y < painted.height(); y += 7) {
        for (int x = 0; x < painted.width(); x += 7) {
            ++samples;
            const QRgb a = painted.pixel(x, y);
            const QRgb b = shown.pixel(x, y);
            same += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                        std::abs(qBlue(a) - qBlue(b)) <
                    24;
        }
    }
    return samples == 0 ? 0.0 : double(same) / samples;
}

// A real double click of the window system at the centre of `widget`.
bool XdotoolDoubleClick(QWidget& widget) {
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xdotool.isEmpty()) {
        return false;
    }
    const QPoint at = widget.mapToGlobal(widget.rect().center());
    return QProcess::execute(xdotool, {QStringLiteral("mousemove"), QString::number(at.x()),
                                       QString::number(at.y()), QStringLiteral("click"),
                                       QStringLiteral("--repeat"), QStringLiteral("2"),
                                       QStringLiteral("--delay"), QStringLiteral("80"),
                                       QStringLiteral("1")}) == 0;
}

} // namespace

class UiShellTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstShow();
    void splashShowsProgramIdentity();
    void loadingWindowHeaderIsTheWindowsOwn_data();
    void loadingWindowHeaderIsTheWindowsOwn();
    void missingLibraryKeepsEntrySheetAndRetries();
    void unloadableLibraryIsReported();
    void startOpensNetworkPageAndResets();
    void listShowsPageOfClickedItem();
    void waitPanel();
    void indicators_data();
    void indicators();
    void hitTest_data();
    void hitTest();
    void pressDragsOrReachesControl_data();
    void pressDragsOrReachesControl();
    void headerButtons();
    void enterMovesFocus_data();
    void enterMovesFocus();
    void digitOnlyFields_data();
    void digitOnlyFields();
    void easterEggShortcut_data();
    void easterEggShortcut();
    void normalizaRetorno_data();
    void normalizaRetorno();
    void confereCodigoPadrao_data();
    void confereCodigoPadrao();
    void qtTranslations_data();
    void qtTranslations();

    void slowCallKeepsWindowAlive_data();
    void slowCallKeepsWindowAlive();
    void closeDuringCallAsks_data();
    void closeDuringCallAsks();
    void slowStartShowsLoadingWindow();
    void misbehavingLibraryCostsOneCall_data();
    void misbehavingLibraryCostsOneCall();
    void silentLibraryCanBeLeft();
    void quitDuringCall();
    void silentStartCanBeLeft();
    void secondCallRefused();
    void closeQuestionClosedWhenCallEnds_data();
    void closeQuestionClosedWhenCallEnds();

private:
    // A window on the queries page with the fake library bound.
    RecordingWindow& OpenOnQueriesPage(const FakeSat& fake);
    // A window whose library runs in dravovexa-sat-host: the fake library
    // scripted through files in `script`.
    RecordingWindow& OpenHosted(const QTemporaryDir& script);
    // The same on the queries page, the library bound.
    RecordingWindow& OpenHostedOnQueriesPage(const QTemporaryDir& script);
    // A shown, active window; the library path defaults to a missing file.
    // hosted: the library runs in dravovexa-sat-host, scripted through files;
    // otherwise in this process, scripted through FakeSat.
    RecordingWindow& Open(const std::string& satLibraryPath = {}, bool hosted = false);
    void ClickEntry();

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<RecordingWindow> window_;
};

void UiShellTest::init() {
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
}

void UiShellTest::cleanup() {
    window_.reset();
    folder_.reset();
    qunsetenv("DVT_FAKE_SAT_DIR"); // set for a hosted library, also when its test failed
}

RecordingWindow& UiShellTest::Open(const std::string& satLibraryPath, bool hosted) {
    TFprincipal::Options options;
    options.showSplash = false;
    options.libraryInProcess = !hosted;
    options.satHostPath = DVT_SAT_HOST;
    options.settingsFilePath = folder_->filePath(QStringLiteral("dravovexa.ini")).toStdString();
    options.satLibraryPath =
        satLibraryPath.empty()
            ? folder_->filePath(QStringLiteral("missing/libdllsat.so")).toStdString()
            : satLibraryPath;
    window_ = std::make_unique<RecordingWindow>(options);
    window_->show();
    window_->activateWindow();
    if (!QTest::qWaitForWindowActive(window_.get())) {
        qWarning("the main window never became active");
    }
    return *window_;
}

void UiShellTest::ClickEntry() {
    QTest::mouseClick(window_->Image7, Qt::LeftButton, Qt::NoModifier,
                      window_->Image7->rect().center());
}

// ------------------------------------------------------------ start-up

void UiShellTest::firstShow() {
    RecordingWindow& w = Open();
    QCOMPARE(w.size(), QSize(991, 716));
    QVERIFY(w.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(w.PC->currentIndex(), TFprincipal::kEntrySheet);
    QVERIFY(!w.PC->tabBar()->isVisible());
    QVERIFY(!w.AguardeGenPnl->isVisible());
    QCOMPARE(w.AdvPanel1->lbl_sm_program->text(), QStringLiteral("Dravo Vexa Tarvik ®"));
    QCOMPARE(w.AdvPanel1->lbl_sm_version->text(), QStringLiteral("v.1.17"));
    QVERIFY(w.ImgUpdate->Enabled());
    QCOMPARE(w.Image7->toolTip(), QStringLiteral("Clique aqui \npara entrar."));
    QCOMPARE(w.Image7->cursor().shape(), Qt::PointingHandCursor);

    // The first page reset follows the show: the list shows the entries of
    // "NÃO ATIVADO" and the timer stays off until enabled again.
    QTRY_VERIFY(!w.Timer1->isActive());
    QVERIFY(!w.meu_03->isVisibleTo(w.AdvPolyPager1));
    QVERIFY(!w.HeaderItem2->isVisibleTo(w.AdvPolyPager1));
    QVERIFY(!w.meu_04->isVisibleTo(w.AdvPolyPager1));
    QVERIFY(w.meu_02->isVisibleTo(w.AdvPolyPager1));
    QVERIFY(w.meu_01->BadgeVisible() && w.meu_02->BadgeVisible());
    QCOMPARE(w.meu_01->Badge(), QStringLiteral("Passo 01"));
    QCOMPARE(w.AdvPolyPage1->rede_status_sat->currentText(), QStringLiteral("NÃO ATIVADO"));
    QVERIFY(w.messages.empty());
}

// The splash of the window's creation shows the identity the window gives
// its program manager.
void UiShellTest::splashShowsProgramIdentity() {
    QString title;
    QString version;
    DriveNextModal<TFSplashForm>([&](TFSplashForm* splash) {
        title = splash->lbl_titulo()->text();
        version = splash->lbl_versao()->text();
        splash->done(0);
    });
    TFprincipal::Options options;
    options.showSplash = true;
    options.settingsFilePath = folder_->filePath(QStringLiteral("dravovexa.ini")).toStdString();
    RecordingWindow w(options);

    QCOMPARE(title, QStringLiteral("Dravo Vexa Tarvik ®"));
    QCOMPARE(version, QStringLiteral("versão 1.17( build 0.0.0.17.0 )"));
    QCOMPARE(w.s_m->ProgramName(), QStringLiteral("ravor_eduz"));
}

// The loading window covers the window while the library loads: its header
// must be the window's, pixel for pixel, or the header jumps.
void UiShellTest::loadingWindowHeaderIsTheWindowsOwn_data() {
    QTest::addColumn<QString>("part");
    QTest::addColumn<QSize>("size"); // invalid: the text's own
    QTest::newRow("logo") << "Image4" << QSize(214, 60);
    QTest::newRow("picture") << "Image9" << QSize(48, 48);
    QTest::newRow("minimise") << "btnMin" << QSize(23, 23);
    QTest::newRow("close") << "btnClose" << QSize(23, 23);
    QTest::newRow("title") << "lbl_sm_program" << QSize();
    QTest::newRow("version") << "lbl_sm_version" << QSize();
    QTest::newRow("maker") << "Label2" << QSize();
    QTest::newRow("web address") << "Label1" << QSize();
    QTest::newRow("whole header") << "AdvPanel1" << QSize(991, 74);
}

void UiShellTest::loadingWindowHeaderIsTheWindowsOwn() {
    QFETCH(QString, part);
    QFETCH(QSize, size);
    RecordingWindow& w = Open();
    w.MostraCarregando(QStringLiteral("Aguarde...\r\nCarregando configurações Vexa ®"));
    TFMsgSat* loading = CurrentLoadingWindow();
    QVERIFY(loading != nullptr);
    auto* header = loading->findChild<THeaderBar*>(QStringLiteral("AdvPanel1"));
    QVERIFY(header != nullptr);
    const auto find = [&part](QWidget* bar) {
        return bar->objectName() == part ? bar : bar->findChild<QWidget*>(part);
    };
    QWidget* mine = find(w.AdvPanel1);
    QWidget* theirs = find(header);
    QVERIFY(mine != nullptr && theirs != nullptr);

    QCOMPARE(theirs->geometry(), mine->geometry());
    if (size.isValid()) {
        QCOMPARE(mine->size(), size);
    }
    QCOMPARE(theirs->grab().toImage(), mine->grab().toImage());
    if (part == QLatin1String("Image4")) {
        // The logo keeps its proportions at the left of its area.
        QCOMPARE(mine->pos(), QPoint(7, 4));
        QCOMPARE(static_cast<QLabel*>(theirs)->pixmap().deviceIndependentSize(), QSizeF(109, 60));
    }
}

void UiShellTest::missingLibraryKeepsEntrySheetAndRetries() {
    FakeSat fake;
    const QString besideProgram = folder_->filePath(QStringLiteral("missing/libdllsat.so"));
    RecordingWindow& w = Open(besideProgram.toStdString());

    ClickEntry();
    QCOMPARE(w.messages, std::vector<std::string>{"Biblioteca Vexa® não localizada !"});
    QCOMPARE(CurrentLoadingWindow(), nullptr);
    QCOMPARE(w.PC->currentIndex(), TFprincipal::kEntrySheet);
    QCOMPARE(fake.CallCount("ConsultarSAT"), 0);

    // The library arrives; a second click starts everything again.
    QVERIFY(QDir().mkpath(QFileInfo(besideProgram).path()));
    QVERIFY(QFile::copy(QString::fromStdString(fake.LibraryPath()), besideProgram));
    w.messages.clear();
    ClickEntry();
    QCOMPARE(w.PC->currentIndex(), TFprincipal::kPagesSheet);
    QCOMPARE(CurrentLoadingWindow(), nullptr);
    QCOMPARE(w.messages.size(), std::size_t(1)); // the query's outcome
}

// A file that is there but is no library: the start-up itself says nothing,
// so the window tells the user why the click did not get in.
void UiShellTest::unloadableLibraryIsReported() {
    const QString path = folder_->filePath(QStringLiteral("libdllsat.so"));
    QFile garbage(path);
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write("not a library");
    garbage.close();
    RecordingWindow& w = Open(path.toStdString());

    ClickEntry();
    QCOMPARE(w.messages.size(), std::size_t(1));
    const std::string& message = w.messages.front();
    QVERIFY2(message.rfind("Não foi possível carregar a biblioteca Vexa®:\r\n", 0) == 0,
             message.c_str());
    QVERIFY(message.size() > 4 && message.compare(message.size() - 3, 3, "[e]") == 0);
    QCOMPARE(w.PC->currentIndex(), TFprincipal::kEntrySheet);
    QCOMPARE(CurrentLoadingWindow(), nullptr);
}

void UiShellTest::startOpensNetworkPageAndResets() {
    FakeSat fake;
    RecordingWindow& w = Open(fake.LibraryPath());
    QTRY_VERIFY(!w.Timer1->isActive()); // the reset after the show is done
    w.AdvPolyPager1->SetActivePageIndex(4);

    ClickEntry();
    QCOMPARE(fake.CallCount("ConsultarSAT"), 1);
    QCOMPARE(w.PC->currentIndex(), TFprincipal::kPagesSheet);
    QCOMPARE(w.AdvPolyPager1->ActivePageIndex(), 0);
    QVERIFY(w.meu_01->isChecked());
    QCOMPARE(CurrentLoadingWindow(), nullptr);
    QTRY_COMPARE(QApplication::focusWidget(), w.AdvPolyPage1->rede_status_sat);

    // What the user changes right after the start is undone by the reset
    // that the click scheduled.
    QVERIFY(w.Timer1->isActive());
    w.AdvPolyPage1->rede_status_sat->setCurrentIndex(TNetworkPage::kAtivado);
    w.AdvPolyPage1->rede_status_sat_ativacao->setText(QStringLiteral("12345678"));
    w.SetIndicator(w.AdvPolyPage1->rede_status_sat_ativacao_check, true);
    w.AdvPolyPager1->SetActivePageIndex(6);
    w.meu_03->setVisible(true);
    QTRY_VERIFY_WITH_TIMEOUT(!w.Timer1->isActive(), 1000);
    QCOMPARE(w.AdvPolyPage1->DeviceStatus(), TNetworkPage::kNaoAtivado);
    QCOMPARE(w.AdvPolyPage1->rede_status_sat_ativacao->text(), QString());
    QCOMPARE(w.AdvPolyPage1->rede_status_sat_ativacao_check->Caption(), QStringLiteral("X"));
    QCOMPARE(w.AdvPolyPager1->ActivePageIndex(), 0);
    QVERIFY(!w.meu_03->isVisibleTo(w.AdvPolyPager1));
}

void UiShellTest::listShowsPageOfClickedItem() {
    RecordingWindow& w = Open();
    w.PC->setCurrentIndex(TFprincipal::kPagesSheet);
    TAdvPolyPager& pager = *w.AdvPolyPager1;

    QTest::mouseClick(w.meu_05, Qt::LeftButton);
    QCOMPARE(pager.ActivePageIndex(), 4);
    QVERIFY(w.meu_05->isChecked());
    QVERIFY(!w.meu_01->isChecked());

    // A header is a title, not an entry: clicking it changes nothing.
    QTest::mouseClick(w.HeaderItem3, Qt::LeftButton);
    QCOMPARE(pager.ActivePageIndex(), 4);

    // Clicking the shown page's item keeps it highlighted.
    QTest::mouseClick(w.meu_05, Qt::LeftButton);
    QVERIFY(w.meu_05->isChecked());

    // Showing a page from the program highlights its item.
    pager.SetActivePageIndex(6);
    QVERIFY(w.meu_07->isChecked());
    QVERIFY(!w.meu_05->isChecked());
    QCOMPARE(pager.Page(6)->objectName(), QStringLiteral("AdvPolyPage7"));
}

void UiShellTest::waitPanel() {
    RecordingWindow& w = Open();
    w.PC->setCurrentIndex(TFprincipal::kPagesSheet);
    TWaitPanel& panel = *w.AguardeGenPnl;
    QCOMPARE(panel.size(), QSize(525, 140));

    w.MostraAguarde(QStringLiteral("Efetuando Consulta Vexa®"));
    QVERIFY(panel.isVisible());
    QCOMPARE(panel.lbl_msg->text(), QStringLiteral("Efetuando Consulta Vexa®"));
    QCOMPARE(panel.lbl_msg_1->text(), QStringLiteral("Aguarde ..."));
    QVERIFY(panel.gen_indicador->IsAnimating());
    const int step = panel.gen_indicador->Step();
    QTRY_VERIFY(panel.gen_indicador->Step() != step);
    // Over the page set, inside it.
    QVERIFY(w.TabSheet1->rect().contains(panel.geometry()));

    w.FechaAguarde();
    QVERIFY(!panel.isVisible());
    QVERIFY(!panel.gen_indicador->isEnabled());
    QVERIFY(!panel.gen_indicador->IsAnimating());
    w.FechaAguarde(); // hidden already: no harm
    QVERIFY(!panel.isVisible());
}

// ------------------------------------------------------------ indicators

void UiShellTest::indicators_data() {
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QColor>("fill");
    QTest::newRow("OK") << true << "OK" << QColor(51, 153, 102);
    QTest::newRow("X") << false << "X" << TFieldIndicator::kXFill;
}

void UiShellTest::indicators() {
    QFETCH(bool, ok);
    QFETCH(QString, caption);
    QFETCH(QColor, fill);

    RecordingWindow& w = Open();
    TFieldIndicator* check = w.AdvPolyPage1->rede_status_sat_ativacao_check;
    QVERIFY(w.SetIndicator(QStringLiteral("rede_status_sat_ativacao_check"), ok));
    QCOMPARE(check->Caption(), caption);
    QCOMPARE(check->Fill(), fill);
    QCOMPARE(check->Border(), w.img_ok->Border());

    QVERIFY(!w.SetIndicator(QStringLiteral("no_such_check"), ok));
    // The templates themselves keep their looks.
    QVERIFY(!w.SetIndicator(QStringLiteral("img_ok"), false));
    QCOMPARE(w.img_ok->Caption(), QStringLiteral("OK"));
    QCOMPARE(w.img_x->Caption(), QStringLiteral("X"));

    // Every reset sets every indicator back to X.
    w.Timer1Timer();
    QCOMPARE(check->Caption(), QStringLiteral("X"));
    QCOMPARE(check->Fill(), TFieldIndicator::kXFill);
}

// ------------------------------------------------------------ dragging

void UiShellTest::hitTest_data() {
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("answer");
    QTest::newRow("above the window") << -4 << TFprincipal::kHitCaption;
    QTest::newRow("top edge") << 0 << TFprincipal::kHitCaption;
    QTest::newRow("last strip row") << 29 << TFprincipal::kHitCaption;
    QTest::newRow("first row below the strip") << 30 << TFprincipal::kHitClient;
    QTest::newRow("page area") << 400 << TFprincipal::kHitClient;
}

void UiShellTest::hitTest() {
    QFETCH(int, y);
    QFETCH(int, answer);
    QCOMPARE(TFprincipal::WMNCHitTest(QPoint(500, y)), answer);
}

void UiShellTest::pressDragsOrReachesControl_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<bool>("drags");
    QTest::newRow("logo") << "Image4" << QPoint(20, 20) << true;
    QTest::newRow("header picture") << "Image9" << QPoint(10, 10) << true;
    QTest::newRow("program title in the strip") << "lbl_sm_program" << QPoint(5, 5) << true;
    QTest::newRow("header below the strip") << "AdvPanel1" << QPoint(600, 60) << true;
    QTest::newRow("entry picture") << "Image7" << QPoint(400, 300) << false;
}

// Without a window manager the system move is refused, so the window follows
// the mouse itself; either way a press that drags never reaches the control.
void UiShellTest::pressDragsOrReachesControl() {
    QFETCH(QString, target);
    QFETCH(QPoint, at);
    QFETCH(bool, drags);

    RecordingWindow& w = Open();
    auto* widget = w.findChild<QWidget*>(target);
    QVERIFY(widget != nullptr);
    const QPoint start = w.pos();
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseMove(widget, at + QPoint(40, 25));
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, at + QPoint(40, 25));
    if (drags) {
        QTRY_COMPARE(w.pos(), start + QPoint(40, 25));
        QVERIFY(w.messages.empty());
    } else {
        QCOMPARE(w.pos(), start);
    }
    // The entry picture got its click: the start-up ran and reported the
    // missing library.
    QCOMPARE(w.messages.size(), std::size_t(drags ? 0 : 1));
}

void UiShellTest::headerButtons() {
    RecordingWindow& w = Open();
    QCOMPARE(w.AdvPanel1->btnMin->toolTip(), QStringLiteral("Minimizar"));
    QCOMPARE(w.AdvPanel1->btnClose->toolTip(), QStringLiteral("Sair"));
    // Both lie in the top strip and still work as buttons.
    QVERIFY(w.AdvPanel1->btnClose->geometry().top() < TFprincipal::kCaptionStripHeight);
    QTest::mouseClick(w.AdvPanel1->btnMin, Qt::LeftButton);
    QTRY_VERIFY(w.windowState().testFlag(Qt::WindowMinimized));
    w.showNormal();
    QTest::mouseClick(w.AdvPanel1->btnClose, Qt::LeftButton);
    QTRY_VERIFY(!w.isVisible());
}

// ------------------------------------------------------------ keys

void UiShellTest::enterMovesFocus_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("bound");
    QTest::addColumn<bool>("moves");
    for (const char* kind : {"string", "numeric", "combo", "option"}) {
        QTest::addRow("%s bound", kind) << QString::fromLatin1(kind) << true << true;
        QTest::addRow("%s not bound", kind) << QString::fromLatin1(kind) << false << false;
    }
}

void UiShellTest::enterMovesFocus() {
    QFETCH(QString, kind);
    QFETCH(bool, bound);
    QFETCH(bool, moves);

    RecordingWindow& w = Open();
    // Fields of their own, over the entry picture, so that the pages'
    // controls play no part in the tab order.
    auto* body = new QWidget(&w);
    body->setGeometry(20, 120, 400, 200);
    auto* layout = new QVBoxLayout(body);
    QWidget* field = nullptr;
    if (kind == QLatin1String("string")) {
        field = new TYEditString(body);
    } else if (kind == QLatin1String("numeric")) {
        field = new TYEditNumeric(body);
    } else if (kind == QLatin1String("combo")) {
        auto* combo = new TYBoxCombo(body);
        combo->addItems({QStringLiteral("a"), QStringLiteral("b")});
        field = combo;
    } else {
        field = new QRadioButton(QStringLiteral("opção"), body);
    }
    auto* next = new TYEditString(body);
    layout->addWidget(field);
    layout->addWidget(next);
    body->show();
    body->raise();
    if (bound) {
        w.BindAvancar(field);
    }
    field->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), field);

    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), moves ? next : field);
}

void UiShellTest::digitOnlyFields_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("composed"); // committed by an input method, not typed
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, const char* kind, bool composed, const char* typed,
                        const char* expected) {
        QTest::newRow(name) << kind << composed << QString::fromUtf8(typed)
                            << QString::fromUtf8(expected);
    };
    row("numeric, digits", "numeric", false, "14", "14");
    row("numeric, letters and signs", "numeric", false, "a1b-2+", "12");
    row("numeric, leading minus", "numeric", false, "-5", "5");
    row("numeric, backspace", "numeric", false, "123\b", "12");
    row("string, letters", "string", false, "ab1c2", "12");
    row("string, blank and comma", "string", false, "1 ,2", "12");
    row("string, backspace", "string", false, "12\b3", "13");
    // A dead key and a letter (´ then a) reach the field as a composed
    // character that the input method commits; here with the digits around
    // it in one commit.
    row("numeric, composed accent", "numeric", true, "1á2", "12");
    row("numeric, composed digits", "numeric", true, "34", "34");
    row("string, composed accent", "string", true, "1é2ã", "12");
}

void UiShellTest::digitOnlyFields() {
    QFETCH(QString, kind);
    QFETCH(bool, composed);
    QFETCH(QString, typed);
    QFETCH(QString, expected);

    RecordingWindow& w = Open();
    QLineEdit* edit = nullptr;
    if (kind == QLatin1String("numeric")) {
        auto* numeric = new TYEditNumeric(w.AdvPolyPage2);
        numeric->SetMaxInts(14);
        w.BindCampoNumero(numeric);
        edit = numeric;
    } else {
        auto* text = new TYEditString(w.AdvPolyPage2);
        w.BindCampoNumero(text);
        edit = text;
    }
    if (composed) {
        QInputMethodEvent commit;
        commit.setCommitString(typed);
        QCoreApplication::sendEvent(edit, &commit);
    }
    for (const QChar c : composed ? QString() : typed) {
        if (c == u'\b') {
            QTest::keyClick(edit, Qt::Key_Backspace);
        } else {
            QTest::keyClicks(edit, QString(c));
        }
    }
    QCOMPARE(edit->text(), expected);
}

void UiShellTest::easterEggShortcut_data() {
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("opens");
    QTest::newRow("Ctrl+J") << int(Qt::ControlModifier) << true;
    QTest::newRow("Ctrl+Shift+J") << int(Qt::ControlModifier | Qt::ShiftModifier) << true;
    QTest::newRow("J alone") << int(Qt::NoModifier) << false;
    QTest::newRow("Shift+J") << int(Qt::ShiftModifier) << false;
}

// The window sees the key first, whichever of its controls has the focus.
void UiShellTest::easterEggShortcut() {
    QFETCH(int, modifiers);
    QFETCH(bool, opens);

    RecordingWindow& w = Open();
    bool opened = false;
    bool looked = false;
    QTimer::singleShot(100, &w, [&] {
        looked = true;
        if (auto* egg = qobject_cast<TFEasterEgg*>(QApplication::activeModalWidget())) {
            opened = egg->parentWidget() == &w;
            egg->reject();
        }
    });
    QTest::keyClick(w.AdvPolyPage1->rede_status_sat_ativacao, Qt::Key_J,
                    Qt::KeyboardModifiers(modifiers));
    QTRY_VERIFY(looked);
    QCOMPARE(opened, opens);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

// ------------------------------------------------------------ routines

void UiShellTest::normalizaRetorno_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("two quoted fields") << "\"000001\",\"08000\""
                                       << "000001|08000";
    QTest::newRow("empty fields kept") << "\"1\",\"\",\"x\""
                                       << "1||x";
    QTest::newRow("no quotes unchanged") << "000001|08000|SAT em operação||"
                                         << "000001|08000|SAT em operação||";
    QTest::newRow("stray quotes dropped") << "a\"b,\"c"
                                          << "ab,c";
    QTest::newRow("comma without quotes stays") << "1,2"
                                                << "1,2";
    QTest::newRow("empty") << ""
                           << "";
}

void UiShellTest::normalizaRetorno() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const std::string cp1252 = Utf8ToCp1252(text.toStdString());
    QCOMPARE(QString::fromStdString(Cp1252ToUtf8(TFprincipal::NormalizaRetorno(cp1252))), expected);
}

void UiShellTest::confereCodigoPadrao_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<QString>("writtenBack");

    QTest::newRow("not activated, empty code") << 0 << "" << true << "";
    QTest::newRow("not activated, short code") << 0 << "123" << true << "123";
    QTest::newRow("activated, empty code") << 1 << "" << false << "";
    QTest::newRow("activated, blanks only") << 1 << "    " << false << "";
    QTest::newRow("activated, seven characters") << 1 << "1234567" << false << "1234567";
    QTest::newRow("activated, eight characters") << 1 << "12345678" << true << "12345678";
    QTest::newRow("kit, trimmed to eight") << 2 << "  12345678  " << true << "12345678";
    QTest::newRow("kit, thirty-two characters")
        << 2 << QString(32, u'a') << true << QString(32, u'a');
}

void UiShellTest::confereCodigoPadrao() {
    QFETCH(int, status);
    QFETCH(QString, code);
    QFETCH(bool, goesOn);
    QFETCH(QString, writtenBack);

    RecordingWindow& w = Open();
    QTRY_VERIFY(!w.Timer1->isActive());
    w.AdvPolyPage1->rede_status_sat->setCurrentIndex(status);
    w.AdvPolyPage1->rede_status_sat_ativacao->setText(code);
    QCOMPARE(w.ConfereCodigoPadrao(), goesOn);
    QCOMPARE(w.AdvPolyPage1->rede_status_sat_ativacao->text(), writtenBack);
    const std::vector<std::string> refused{"Código de Ativação Padrão inválido !"};
    QCOMPARE(w.messages, goesOn ? std::vector<std::string>{} : refused);
}

// ------------------------------------------------------------ Qt's texts

// Qt's own texts in Portuguese, from a "translations" folder as a
// self-contained install ships it, or from Qt's own folder.
void UiShellTest::qtTranslations_data() {
    QTest::addColumn<QString>("folder"); // "own": a folder holding a copy; "qt"; "empty"
    QTest::addColumn<bool>("installed");
    QTest::newRow("a translations folder of our own") << QStringLiteral("own") << true;
    QTest::newRow("Qt's translations folder") << QStringLiteral("qt") << true;
    QTest::newRow("no folder holds them") << QStringLiteral("empty") << false;
}

void UiShellTest::qtTranslations() {
    QFETCH(QString, folder);
    QFETCH(bool, installed);

    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QString qtFile = qtFolder + QStringLiteral("/qtbase_pt_BR.qm");
    if (!QFile::exists(qtFile)) {
        QSKIP("Qt's Brazilian Portuguese translations are not installed");
    }
    const QString own = folder_->filePath(QStringLiteral("translations"));
    QVERIFY(QDir().mkpath(own));
    if (folder == QStringLiteral("own")) {
        QVERIFY(QFile::copy(qtFile, own + QStringLiteral("/qtbase_pt_BR.qm")));
    }
    const QStringList folders{folder == QStringLiteral("qt") ? qtFolder : own};

    QCOMPARE(InstallQtTranslations(*QCoreApplication::instance(), folders), installed);
    const QString selectAll = QCoreApplication::translate("QWidgetTextControl", "Select All");
    const QString name = QCoreApplication::translate("QFileSystemModel", "Name");
    qDeleteAll(QCoreApplication::instance()->findChildren<QTranslator*>());
    QCOMPARE(selectAll,
             installed ? QStringLiteral("Selecionar tudo") : QStringLiteral("Select All"));
    QCOMPARE(name, installed ? QStringLiteral("Nome") : QStringLiteral("Name"));
}

// ------------------------------------------------------------ slow calls

RecordingWindow& UiShellTest::OpenOnQueriesPage(const FakeSat& fake) {
    window_ = OpenStartedWindow(fake, *folder_, 4);
    if (window_ == nullptr) {
        qFatal("the window could not be set up");
    }
    return *window_;
}

// While the device takes its time the window paints and animates, and what
// the user does to it is dropped: one call, one answer in the memo, on the
// library thread.
void UiShellTest::slowCallKeepsWindowAlive_data() {
    QTest::addColumn<QString>("input");
    QTest::newRow("double click on Executar") << "double click";
    QTest::newRow("click and Space on Executar") << "click and space";
    QTest::newRow("click on another list entry") << "list";
    if (OnDesktop()) {
        QTest::newRow("double click of the window system") << "xdotool";
    }
}

void UiShellTest::slowCallKeepsWindowAlive() {
    QFETCH(QString, input);
    FakeSat fake;
    RecordingWindow& w = OpenOnQueriesPage(fake);
    TQueriesPage& page = *w.AdvPolyPage5;
    fake.SetDelay("ConsultarSAT", kSlowCallMs);

    int stepBefore = -1;
    int stepDuring = -1;
    int callsDuring = -1;
    bool panelShown = false;
    int wheelPaints = 0;
    struct PaintCounter : QObject {
        int* paints;
        explicit PaintCounter(int* counter) : paints(counter) {}
        bool eventFilter(QObject*, QEvent* event) override {
            *paints += event->type() == QEvent::Paint;
            return false;
        }
    } counter(&wheelPaints);
    w.AguardeGenPnl->gen_indicador->installEventFilter(&counter);

    bool busyCursor = false;
    DuringCall(300, [&] {
        stepBefore = w.AguardeGenPnl->gen_indicador->Step();
        panelShown = w.AguardeGenPnl->isVisible();
        busyCursor = QApplication::overrideCursor() != nullptr &&
                     QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        if (input == QLatin1String("double click")) {
            // As the window system delivers one: click, then click again.
            QTest::mouseClick(page.btn_01, Qt::LeftButton);
            QTest::mouseDClick(page.btn_01, Qt::LeftButton);
            QTest::mouseClick(page.btn_01, Qt::LeftButton);
        } else if (input == QLatin1String("click and space")) {
            QTest::mouseClick(page.btn_01, Qt::LeftButton);
            QTest::keyClick(page.btn_01, Qt::Key_Space);
        } else if (input == QLatin1String("list")) {
            QTest::mouseClick(w.meu_01, Qt::LeftButton);
        } else {
            XdotoolDoubleClick(*page.btn_01);
        }
    });
    DuringCall(900, [&] {
        stepDuring = w.AguardeGenPnl->gen_indicador->Step();
        callsDuring = fake.CallCount("ConsultarSAT");
    });
    QTest::mouseClick(page.btn_01, Qt::LeftButton);

    QVERIFY(panelShown);
    QVERIFY2(busyCursor, "no busy cursor during the call");
    QVERIFY2(QApplication::overrideCursor() == nullptr, "the busy cursor outlived the call");
    QVERIFY2(stepDuring != stepBefore, "the wheel stood still during the call");
    QVERIFY(wheelPaints >= 5);
    QCOMPARE(callsDuring, 1);
    // A click that was still on its way when the call ended is gone too.
    QTest::qWait(300);
    QCOMPARE(fake.CallCount("ConsultarSAT"), 1);
    QCOMPARE(fake.CallerThreadCount(), 1);
    QVERIFY(!fake.CalledFromThisThread());
    QCOMPARE(w.AdvPolyPager1->ActivePageIndex(), 4);
    QCOMPARE(page.memo_retorno->toPlainText(), QStringLiteral("1|08000|SAT em operação||"));
    QCOMPARE(w.messages.size(), std::size_t(1)); // the one outcome
    QVERIFY(!w.AguardeGenPnl->isVisible());
    QVERIFY(!w.LibraryCallRunning());
}

// Closing the window while the device has not answered asks first; only a
// yes ends the program.
void UiShellTest::closeDuringCallAsks_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("endRequests");
    QTest::newRow("window manager's close, Não") << "close" << 7 << 0;
    QTest::newRow("window manager's close, Sim") << "close" << 6 << 1;
    QTest::newRow("header button, Sim by Enter") << "button" << 1 << 1;
    QTest::newRow("header button, Não") << "button" << 7 << 0;
}

void UiShellTest::closeDuringCallAsks() {
    QFETCH(QString, how);
    QFETCH(int, answer);
    QFETCH(int, endRequests);
    FakeSat fake;
    RecordingWindow& w = OpenOnQueriesPage(fake);
    fake.SetDelay("ConsultarSAT", 800);
    w.answer = answer;

    bool visibleAfterClose = false;
    DuringCall(300, [&] {
        if (how == QLatin1String("close")) {
            w.close();
        } else {
            QTest::mouseClick(w.AdvPanel1->btnClose, Qt::LeftButton);
        }
        visibleAfterClose = w.isVisible();
    });
    QTest::mouseClick(w.AdvPolyPage5->btn_01, Qt::LeftButton);

    QVERIFY(visibleAfterClose);
    QCOMPARE(w.endRequests, endRequests);
    QCOMPARE(w.messages.front(), std::string("Uma operação com o equipamento SAT ainda está em "
                                             "andamento.\r\nDeseja encerrar o programa mesmo "
                                             "assim ?[SN]"));
    // Without a call the window closes as always.
    w.close();
    QVERIFY(!w.isVisible());
    QCOMPARE(w.messages.size(), std::size_t(2));
}

// The loading window is on the screen before the library is even loaded, and
// the page reset the click scheduled waits until the start-up is over.
void UiShellTest::slowStartShowsLoadingWindow() {
    FakeSat fake;
    RecordingWindow& w = Open(fake.LibraryPath());
    QTRY_VERIFY(!w.Timer1->isActive());
    fake.SetDelay("ConsultarSAT", kSlowCallMs);

    bool exposed = false;
    double onScreen = -1.0;
    bool resetWaits = false;
    int clicksOnEntry = 0;
    // Read when the first library step (the load) is about to start.
    auto* calls = w.findChild<TLibraryCalls*>();
    QVERIFY(calls != nullptr);
    QMetaObject::Connection first;
    first = connect(calls, &TLibraryCalls::callStarted, this, [&] {
        disconnect(first);
        TFMsgSat* loading = CurrentLoadingWindow();
        exposed = loading != nullptr && loading->windowHandle() != nullptr &&
                  loading->windowHandle()->isExposed();
        if (loading != nullptr && OnDesktop()) {
            onScreen = ShareOnScreen(*loading);
        }
    });
    DuringCall(600, [&] {
        resetWaits = w.Timer1->isActive() && w.PC->currentIndex() == TFprincipal::kEntrySheet;
        QTest::mouseClick(w.Image7, Qt::LeftButton);
        clicksOnEntry = fake.CallCount("ConsultarSAT");
    });
    ClickEntry();

    QVERIFY(exposed);
    if (OnDesktop()) {
        QVERIFY2(onScreen > 0.9, qPrintable(QString::number(onScreen)));
    }
    QVERIFY(resetWaits);
    QCOMPARE(clicksOnEntry, 1);
    QCOMPARE(w.PC->currentIndex(), TFprincipal::kPagesSheet);
    QTRY_VERIFY(!w.Timer1->isActive()); // the reset came after the start-up
    QCOMPARE(fake.CallCount("ConsultarSAT"), 1);
    QVERIFY(!fake.CalledFromThisThread());
}

RecordingWindow& UiShellTest::OpenHosted(const QTemporaryDir& script) {
    qputenv("DVT_FAKE_SAT_DIR", QFile::encodeName(script.path())); // the host inherits it
    return Open(FakeSatLibraryPath(FakeSatVariant::Full), true);
}

RecordingWindow& UiShellTest::OpenHostedOnQueriesPage(const QTemporaryDir& script) {
    RecordingWindow& w = OpenHosted(script);
    if (!QTest::qWaitFor([&] { return !w.Timer1->isActive(); }) || !w.Session().BindSatLibrary()) {
        qFatal("the hosted window could not be set up");
    }
    w.PC->setCurrentIndex(TFprincipal::kPagesSheet);
    w.AdvPolyPager1->SetActivePageIndex(4);
    return w;
}

namespace {

bool Contains(const std::vector<std::string>& messages, const std::string& part) {
    return std::any_of(messages.begin(), messages.end(), [&](const std::string& message) {
        return message.find(part) != std::string::npos;
    });
}

const std::string kConsultarAnswered = "08000\r\nSAT em operação[i]";

// With the fault `file` taken out of the script, the next query on the
// queries page gets the device's answer.
bool NextQueryAnswered(RecordingWindow& w, const QTemporaryDir& script, const QString& file) {
    if (!QFile::remove(script.filePath(file))) {
        return false;
    }
    w.messages.clear();
    QTest::mouseClick(w.AdvPolyPage5->btn_01, Qt::LeftButton);
    return Contains(w.messages, kConsultarAnswered);
}

} // namespace

// A library that crashes, ends its process or answers nothing costs the
// call: the window stays with what it shows, says what happened, and the
// next call (a fresh host) works.
void UiShellTest::misbehavingLibraryCostsOneCall_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("message");
    const QString crashed =
        QStringLiteral("ConsultarSAT: a biblioteca SAT encerrou de forma inesperada ");
    QTest::newRow("segmentation fault")
        << "ConsultarSAT.fault" << QByteArray("segv") << crashed + QStringLiteral("(sinal 11).[e]");
    QTest::newRow("abort") << "ConsultarSAT.fault" << QByteArray("abort")
                           << crashed + QStringLiteral("(sinal 6).[e]");
    QTest::newRow("exit") << "ConsultarSAT.fault" << QByteArray("exit")
                          << crashed + QStringLiteral("(código de saída 3).[e]");
    QTest::newRow("null answer") << "ConsultarSAT.null" << QByteArray()
                                 << "ConsultarSAT não retornou resposta[e]";
}

void UiShellTest::misbehavingLibraryCostsOneCall() {
    QFETCH(QString, file);
    QFETCH(QByteArray, contents);
    QFETCH(QString, message);
    QTemporaryDir script;
    RecordingWindow& w = OpenHostedOnQueriesPage(script);
    w.AdvPolyPage5->memo_retorno->setPlainText(QStringLiteral("resultado anterior"));
    QVERIFY(WriteFile(script.filePath(file), contents));

    QTest::mouseClick(w.AdvPolyPage5->btn_01, Qt::LeftButton);
    QVERIFY(w.isVisible());
    QVERIFY(Contains(w.messages, message.toStdString()));
    QVERIFY(NextQueryAnswered(w, script, file));
}

// A device that stays silent: past the silence limit the wait panel says for
// how long and offers to stop waiting; stopping ends the host, the outcome is
// reported unknown, and the next call works.
void UiShellTest::silentLibraryCanBeLeft() {
    QTemporaryDir script;
    RecordingWindow& w = OpenHostedOnQueriesPage(script);
    auto* calls = w.findChild<TLibraryCalls*>();
    QVERIFY(calls != nullptr);
    calls->setSilenceLimit(std::chrono::milliseconds(300));
    QVERIFY(WriteFile(script.filePath(QStringLiteral("ConsultarSAT.fault")), "hang"));

    QString silence;
    QTimer stopper;
    connect(&stopper, &QTimer::timeout, this, [&] {
        if (w.AguardeGenPnl->btnParar->isVisible()) {
            silence = w.AguardeGenPnl->lbl_silencio->text();
            QTest::mouseClick(w.AguardeGenPnl->btnParar, Qt::LeftButton);
        }
    });
    stopper.start(100);
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(w.AdvPolyPage5->btn_01, Qt::LeftButton);
    stopper.stop();

    QVERIFY(clock.elapsed() < 10000);
    QVERIFY2(silence.startsWith(QStringLiteral("O equipamento SAT não responde há ")),
             qPrintable(silence));
    QVERIFY(Contains(w.messages, "o resultado da operação é desconhecido"));
    QVERIFY(!w.AguardeGenPnl->btnParar->isVisible());
    QVERIFY(NextQueryAnswered(w, script, QStringLiteral("ConsultarSAT.fault")));
}

// The application quits while a call hangs: the call is ended and the wait
// returns, instead of spinning on a loop that returns at once.
void UiShellTest::quitDuringCall() {
    QTemporaryDir script;
    RecordingWindow& w = OpenHostedOnQueriesPage(script);
    QVERIFY(WriteFile(script.filePath(QStringLiteral("ConsultarSAT.fault")), "hang"));
    bool returned = false;
    QTimer::singleShot(0, this, [&] {
        QTest::mouseClick(w.AdvPolyPage5->btn_01, Qt::LeftButton);
        returned = true;
    });
    QTimer::singleShot(500, this, [] { QCoreApplication::exit(0); });
    QElapsedTimer clock;
    clock.start();
    QCoreApplication::exec();
    QVERIFY(returned);
    QVERIFY(clock.elapsed() < 10000);
    QVERIFY(Contains(w.messages, "o resultado da operação é desconhecido"));
}

// A second call started while one runs (by an event handled during the wait)
// is refused at once; the running call keeps its answer.
void UiShellTest::secondCallRefused() {
    FakeSat fake;
    RecordingWindow& w = OpenOnQueriesPage(fake);
    fake.SetDelay("ConsultarSAT", 500);
    auto* calls = w.findChild<TLibraryCalls*>();
    QVERIFY(calls != nullptr);
    bool refused = false;
    bool innerRan = false;
    DuringCall(150, [&] {
        try {
            calls->Run([&] { innerRan = true; });
        } catch (const std::logic_error&) {
            refused = true;
        }
    });
    QTest::mouseClick(w.AdvPolyPage5->btn_01, Qt::LeftButton);
    QVERIFY(refused);
    QVERIFY(!innerRan);
    QVERIFY(Contains(w.messages, kConsultarAnswered));
}

// The question about ending the program closes when the call ends, and an
// answer that has arrived is shown, not thrown away with the program.
void UiShellTest::closeQuestionClosedWhenCallEnds_data() {
    QTest::addColumn<bool>("simAfterTheEnd");
    QTest::newRow("question left open") << false;
    QTest::newRow("Sim once the answer is there") << true;
}

void UiShellTest::closeQuestionClosedWhenCallEnds() {
    QFETCH(bool, simAfterTheEnd);
    FakeSat fake;
    RecordingWindow& w = OpenOnQueriesPage(fake);
    fake.SetDelay("ConsultarSAT", 600);
    auto* calls = w.findChild<TLibraryCalls*>();
    int questionResult = -1;
    w.askQuestion = [&] {
        if (simAfterTheEnd) {
            // Sim, clicked just after the answer came.
            return questionResult = QTest::qWaitFor([&] { return calls->StepOver(); }) ? 6 : -2;
        }
        QDialog question(&w);
        return questionResult = question.exec();
    };
    DuringCall(200, [&] { w.close(); });
    QTest::mouseClick(w.AdvPolyPage5->btn_01, Qt::LeftButton);

    QCOMPARE(questionResult, simAfterTheEnd ? 6 : 7);
    QCOMPARE(w.endRequests, 0);
    QVERIFY(Contains(w.messages, kConsultarAnswered));
    QVERIFY(w.isVisible());
}

// A library that stays silent at start-up: the loading window's wheel turns,
// its buttons work, and past the silence limit it offers to stop waiting;
// the window stays on the entry sheet and says the outcome is unknown.
void UiShellTest::silentStartCanBeLeft() {
    QTemporaryDir script;
    RecordingWindow& w = OpenHosted(script);
    QTRY_VERIFY(!w.Timer1->isActive());
    w.findChild<TLibraryCalls*>()->setSilenceLimit(std::chrono::milliseconds(300));
    QVERIFY(WriteFile(script.filePath(QStringLiteral("ConsultarSAT.fault")), "hang"));

    bool wheelTurns = false;
    bool buttonsEnabled = false;
    QTimer stopper;
    connect(&stopper, &QTimer::timeout, this, [&] {
        TFMsgSat* loading = CurrentLoadingWindow();
        if (loading == nullptr || !loading->btnParar->isVisible()) {
            return;
        }
        const auto* wheel = loading->findChild<TBusyWheel*>();
        wheelTurns = wheel != nullptr && wheel->isEnabled() && wheel->isVisible();
        buttonsEnabled =
            loading->header()->btnMin->isEnabled() && loading->header()->btnClose->isEnabled();
        QTest::mouseClick(loading->btnParar, Qt::LeftButton);
    });
    stopper.start(100);
    ClickEntry();
    stopper.stop();

    QVERIFY(wheelTurns);
    QVERIFY(buttonsEnabled);
    QVERIFY(Contains(w.messages, "o resultado da operação é desconhecido"));
    QCOMPARE(w.PC->currentIndex(), TFprincipal::kEntrySheet);
    QVERIFY(CurrentLoadingWindow() == nullptr);
}

DVT_TEST_MAIN(UiShellTest)
#include "tst_ui_shell.moc"
