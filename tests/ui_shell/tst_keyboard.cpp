// The window worked from the keyboard and read by a screen reader, the mouse
// working as it did: the entry picture opens on Enter or Space, the page list
// is a stop of the tab order that moves with the arrows, Ctrl+1 to Ctrl+7
// choose pages, a chosen page gives its first field the keyboard, Enter
// presses a focused button, and every control has an accessible name.

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>

#include "tests/desktop_main.h"
#include "tests/page_window.h"
#include "ui/clickable_picture.h"
#include "ui/pages/maintenance_page.h"
#include "ui/pages/queries_page.h"
#include "ui/result_memo.h"

namespace {

// The widget that has the keyboard, inside `page`.
bool FocusInside(const QWidget& page) {
    QWidget* focused = QApplication::focusWidget();
    return focused != nullptr && page.isAncestorOf(focused);
}

// What a screen reader is told a control is called: its name (a drop-down
// list, which Qt names by its value on Linux, by the accessible name its
// caption gave it).
QString AccessibleName(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    if (accessible == nullptr) {
        return {};
    }
    if (qobject_cast<QComboBox*>(widget) != nullptr) {
        // Labelled by a caption, or (with none on screen) named outright.
        return widget->accessibleName();
    }
    return accessible->text(QAccessible::Name);
}

} // namespace

class KeyboardTest : public PageWindowTest {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void entryPictureOpensOnKeys_data();
    void entryPictureOpensOnKeys();
    void entryPictureClickUnchanged();
    void listMovesWithArrows();
    void pageShortcuts_data();
    void pageShortcuts();
    void clickedPageTakesKeyboard();
    void enterPressesFocusedButton_data();
    void enterPressesFocusedButton();
    void everyControlHasAnAccessibleName();

private:
    RecordingWindow& Started(int status);
};

void KeyboardTest::init() {
    QVERIFY(PrepareWindow());
}

void KeyboardTest::cleanup() {
    EndWindow();
}

RecordingWindow& KeyboardTest::Started(int status) {
    if (!OpenWindow(0)) {
        qFatal("the window could not be set up");
    }
    ChooseDeviceStatus(*window_, status, QStringLiteral("12345678"));
    return *window_;
}

void KeyboardTest::entryPictureOpensOnKeys_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    QTest::newRow("Space") << int(Qt::Key_Space);
}

// The window opens with the keyboard on the entry picture; its key starts
// the library and opens the pages, the focus on the device status.
void KeyboardTest::entryPictureOpensOnKeys() {
    QFETCH(int, key);
    QVERIFY(OpenWindow(kOnEntrySheet));
    RecordingWindow& w = *window_;
    QCOMPARE(w.PC->currentIndex(), TFprincipal::kEntrySheet);
    QTRY_VERIFY(w.Image7->hasFocus());
    QTest::keyClick(w.Image7, static_cast<Qt::Key>(key));
    QCOMPARE(w.PC->currentIndex(), TFprincipal::kPagesSheet);
    QTRY_VERIFY(w.AdvPolyPage1->rede_status_sat->hasFocus());
    QCOMPARE(fake_->CallCount("ConsultarSAT"), 1);
}

// A click still opens it, and the picture does not take the focus from a
// click (it is a stop of the tab order only).
void KeyboardTest::entryPictureClickUnchanged() {
    QVERIFY(OpenWindow(kOnEntrySheet));
    RecordingWindow& w = *window_;
    QCOMPARE(w.Image7->focusPolicy(), Qt::TabFocus);
    QTest::keyClick(w.Image7, Qt::Key_A);
    QCOMPARE(w.PC->currentIndex(), TFprincipal::kEntrySheet);
    QTest::mouseClick(w.Image7, Qt::LeftButton, Qt::NoModifier, w.Image7->rect().center());
    QCOMPARE(w.PC->currentIndex(), TFprincipal::kPagesSheet);
}

// Tab reaches the list; the arrows show the next or previous entry that can
// be chosen (hidden ones skipped), the keyboard staying in the list; Enter
// gives it to the page.
void KeyboardTest::listMovesWithArrows() {
    RecordingWindow& w = Started(TNetworkPage::kNaoAtivado);
    QWidget* list = w.AdvPolyPager1->List();
    bool reached = false;
    for (int tab = 0; tab < 200 && !reached; ++tab) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached = list->hasFocus();
    }
    QVERIFY2(reached, "Tab never reached the page list");
    QCOMPARE(w.AdvPolyPager1->ActivePageIndex(), 0);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(w.AdvPolyPager1->ActivePageIndex(), 1);
    // meu_03 and meu_04 are hidden for a device not activated.
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(w.AdvPolyPager1->ActivePageIndex(), 4);
    QVERIFY(w.meu_05->isChecked());
    QVERIFY(list->hasFocus());
    QTest::keyClick(list, Qt::Key_End);
    QCOMPARE(w.AdvPolyPager1->ActivePageIndex(), 6);
    QTest::keyClick(list, Qt::Key_Down); // the last stays
    QCOMPARE(w.AdvPolyPager1->ActivePageIndex(), 6);
    QTest::keyClick(list, Qt::Key_Up);
    QCOMPARE(w.AdvPolyPager1->ActivePageIndex(), 5);
    QTest::keyClick(list, Qt::Key_Home);
    QCOMPARE(w.AdvPolyPager1->ActivePageIndex(), 0);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(FocusInside(*w.AdvPolyPage5));
    QCOMPARE(QApplication::focusWidget(), w.AdvPolyPage5->btn_01);
}

// Ctrl+N chooses page N when its entry can be chosen; the page's first
// field gets the keyboard (the status page has none: the list keeps it).
void KeyboardTest::pageShortcuts_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("digit");
    QTest::addColumn<int>("page"); // -1: nothing happens
    QTest::addColumn<QString>("focused");

    const int naoAtivado = TNetworkPage::kNaoAtivado;
    const int ativado = TNetworkPage::kAtivado;
    QTest::newRow("Ctrl+2 activation") << naoAtivado << 2 << 1 << "ativar_cnpj";
    QTest::newRow("Ctrl+3 hidden before activation") << naoAtivado << 3 << -1 << "";
    QTest::newRow("Ctrl+3 association once activated") << ativado << 3 << 2 << "associar_cnpj";
    QTest::newRow("Ctrl+4 always hidden") << ativado << 4 << -1 << "";
    QTest::newRow("Ctrl+5 queries") << naoAtivado << 5 << 4 << "btn_01";
    QTest::newRow("Ctrl+6 maintenance") << ativado << 6 << 5 << "AdvGlassButton11";
    QTest::newRow("Ctrl+7 status: the list keeps it") << ativado << 7 << 6 << "AdvPolyPager1_list";
    QTest::newRow("Ctrl+1 network") << ativado << 1 << 0 << "rede_status_sat";
}

void KeyboardTest::pageShortcuts() {
    QFETCH(int, status);
    QFETCH(int, digit);
    QFETCH(int, page);
    QFETCH(QString, focused);

    RecordingWindow& w = Started(status);
    w.AdvPolyPager1->SetActivePageIndex(page == 4 ? 5 : 4);
    QTRY_VERIFY(w.isActiveWindow());
    const int before = w.AdvPolyPager1->ActivePageIndex();
    w.AdvPolyPage5->btn_01->setFocus();
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(Qt::Key_0 + digit),
                    Qt::ControlModifier);
    if (page < 0) {
        QCOMPARE(w.AdvPolyPager1->ActivePageIndex(), before);
        return;
    }
    QCOMPARE(w.AdvPolyPager1->ActivePageIndex(), page);
    QVERIFY(QApplication::focusWidget() != nullptr);
    QCOMPARE(QApplication::focusWidget()->objectName(), focused);
}

// A click on a list entry shows the page as before, and now its first field
// takes the keyboard.
void KeyboardTest::clickedPageTakesKeyboard() {
    RecordingWindow& w = Started(TNetworkPage::kAtivado);
    QTRY_VERIFY(w.isActiveWindow());
    QTest::mouseClick(w.meu_06, Qt::LeftButton);
    QCOMPARE(w.AdvPolyPager1->ActivePageIndex(), 5);
    QTRY_VERIFY(FocusInside(*w.AdvPolyPage6));
    QTest::mouseClick(w.meu_05, Qt::LeftButton);
    QCOMPARE(w.AdvPolyPager1->ActivePageIndex(), 4);
    QTRY_COMPARE(QApplication::focusWidget(), w.AdvPolyPage5->btn_01);
}

void KeyboardTest::enterPressesFocusedButton_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("calls");
    QTest::newRow("Enter") << int(Qt::Key_Return) << 1;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << 1;
    QTest::newRow("Space, as before") << int(Qt::Key_Space) << 1;
    QTest::newRow("a letter") << int(Qt::Key_A) << 0;
}

void KeyboardTest::enterPressesFocusedButton() {
    QFETCH(int, key);
    QFETCH(int, calls);
    RecordingWindow& w = Started(TNetworkPage::kAtivado);
    w.AdvPolyPager1->SetActivePageIndex(4);
    QTRY_VERIFY(w.isActiveWindow());
    QPushButton* button = w.AdvPolyPage5->btn_01;
    button->setFocus();
    QTRY_VERIFY(button->hasFocus());
    fake_->Reset();
    QTest::keyClick(button, static_cast<Qt::Key>(key));
    QCOMPARE(fake_->CallCount("ConsultarSAT"), calls);
}

// Every control a person can reach (a tab stop, a button, a field) is named
// for a screen reader by its caption or the label beside it.
void KeyboardTest::everyControlHasAnAccessibleName() {
    RecordingWindow& w = Started(TNetworkPage::kAtivado);
    QStringList unnamed;
    for (QWidget* widget : w.findChildren<QWidget*>()) {
        // Parts Qt builds inside its own controls are named by those.
        if (widget->window() != &w || qobject_cast<QComboBox*>(widget->parentWidget()) != nullptr ||
            widget->objectName().startsWith(QLatin1String("qt_"))) {
            continue;
        }
        const bool control = qobject_cast<QAbstractButton*>(widget) != nullptr ||
                             qobject_cast<QLineEdit*>(widget) != nullptr ||
                             qobject_cast<QComboBox*>(widget) != nullptr ||
                             qobject_cast<TResultMemo*>(widget) != nullptr ||
                             (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
        if (control && AccessibleName(widget).trimmed().isEmpty()) {
            unnamed.append(widget->objectName() + QLatin1Char('(') +
                           QString::fromLatin1(widget->metaObject()->className()) +
                           QLatin1Char(')'));
        }
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));

    // Some by name: a field after its caption, an octet with its place, the
    // entry picture by its hint, a header button by its hint.
    QCOMPARE(AccessibleName(w.AdvPolyPage1->rede_status_sat), QStringLiteral("Status do Vexa®"));
    QCOMPARE(w.AdvPolyPage1->Label48->buddy(), w.AdvPolyPage1->rede_status_sat);
    QCOMPARE(AccessibleName(w.AdvPolyPage5->btn_03_ed),
             QStringLiteral("Consultar Número de Sessão"));
    QCOMPARE(AccessibleName(w.AdvPolyPage5->memo_retorno), QStringLiteral("Retorno"));
    QCOMPARE(AccessibleName(w.Image7), QStringLiteral("Clique aqui para entrar."));
    QCOMPARE(AccessibleName(w.AdvPolyPage5->btn_01), QStringLiteral("Executar"));
    QCOMPARE(w.AdvPolyPage5->btn_01->accessibleDescription(), QStringLiteral("Consulta SAT"));
}

DVT_TEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
