// The numeric edit's key filter, Delete-key check, exit step and the focus
// colours of the three input controls, driven through real key and focus
// events on real widgets.

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <initializer_list>
#include <memory>

#include "dialogs/Yancomp.h"

namespace {

// A keystroke in a data table: the Qt key and the text it types.
struct Keystroke {
    Qt::Key key;
    QString text;
};

Keystroke CharKey(char16_t c) {
    Qt::Key key = Qt::Key_unknown;
    if (c >= u'0' && c <= u'9') {
        key = static_cast<Qt::Key>(Qt::Key_0 + (c - u'0'));
    } else if (c >= u'a' && c <= u'z') {
        key = static_cast<Qt::Key>(Qt::Key_A + (c - u'a'));
    } else {
        switch (c) {
        case u',':
            key = Qt::Key_Comma;
            break;
        case u'.':
            key = Qt::Key_Period;
            break;
        case u'-':
            key = Qt::Key_Minus;
            break;
        case u'+':
            key = Qt::Key_Plus;
            break;
        case u' ':
            key = Qt::Key_Space;
            break;
        default:
            break;
        }
    }
    return {key, QString(QChar(c))};
}

void TypeText(QWidget* target, const QString& text) {
    for (const QChar c : text) {
        const Keystroke k = CharKey(c.unicode());
        QKeyEvent press(QEvent::KeyPress, k.key, Qt::NoModifier, k.text);
        QCoreApplication::sendEvent(target, &press);
    }
}

// Puts the text in and sets the selection like a user who placed the caret
// (selLength 0) or dragged over part of the text.
void Prepare(TYEditNumeric& edit, const QString& text, int selStart, int selLength) {
    edit.setText(text);
    if (selLength > 0) {
        edit.setSelection(selStart, selLength);
    } else {
        edit.deselect();
        edit.setCursorPosition(selStart);
    }
}

// Shows `window` active with `fields` one below the other, as a form lays
// them out; false when the window never became active.
bool ShowStacked(QWidget& window, std::initializer_list<QWidget*> fields) {
    auto* layout = new QVBoxLayout(&window);
    for (QWidget* field : fields) {
        layout->addWidget(field);
    }
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// Gives `field` the keyboard as the Tab key does; false when it never got it.
bool TabInto(QWidget* field) {
    field->setFocus(Qt::TabFocusReason);
    return QTest::qWaitFor([field] { return field->hasFocus(); });
}

} // namespace

class InputControlsTest : public QObject {
    Q_OBJECT

private slots:
    void typing_data();
    void typing();
    void filterVerdict_data();
    void filterVerdict();
    void deleteAndBackspace_data();
    void deleteAndBackspace();
    void exitStep_data();
    void exitStep();
    void limitsOnlyStored();
    void programSetAndPastedTextBypassFilter();
    void defaultColours_data();
    void defaultColours();
    void focusColourOrder_data();
    void focusColourOrder();
    void focusColourShown_data();
    void focusColourShown();
    void disabledLook_data();
    void disabledLook();
    void passwordCharacter();
    void enterStepSelectsText();
    void popupDoesNotRunExitStep();
    void toolkitColourConversion_data();
    void toolkitColourConversion();
};

// ------------------------------------------------------------ key filter

void InputControlsTest::typing_data() {
    QTest::addColumn<int>("maxInts");
    QTest::addColumn<int>("maxDecs");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("three digits fit") << 3 << 0 << "" << 0 << 0 << "192"
                                      << "192";
    QTest::newRow("fourth digit refused") << 3 << 0 << "" << 0 << 0 << "1924"
                                          << "192";
    QTest::newRow("comma refused without decimals") << 3 << 0 << "" << 0 << 0 << "1,2"
                                                    << "12";
    QTest::newRow("point refused without decimals") << 3 << 0 << "" << 0 << 0 << "1.2"
                                                    << "12";
    QTest::newRow("point typed as comma") << 5 << 2 << "" << 0 << 0 << "12.5"
                                          << "12,5";
    QTest::newRow("second comma refused") << 5 << 2 << "1,2" << 3 << 0 << ",5"
                                          << "1,25";
    QTest::newRow("comma over a selected comma") << 5 << 2 << "1,2" << 1 << 1 << ","
                                                 << "1,2";
    QTest::newRow("third decimal refused") << 5 << 2 << "1,25" << 4 << 0 << "3"
                                           << "1,25";
    QTest::newRow("comma that leaves too many decimals") << 5 << 2 << "1234" << 1 << 0 << ","
                                                         << "1234";
    QTest::newRow("integer digits before comma limited") << 3 << 2 << "123,4" << 3 << 0 << "9"
                                                         << "123,4";
    QTest::newRow("minus at start") << 3 << 0 << "" << 0 << 0 << "-12"
                                    << "-12";
    QTest::newRow("minus counts toward MaxInts") << 3 << 0 << "" << 0 << 0 << "-123"
                                                 << "-12";
    QTest::newRow("minus after first character") << 3 << 0 << "12" << 1 << 0 << "-"
                                                 << "12";
    QTest::newRow("minus over whole selection") << 3 << 0 << "12" << 0 << 2 << "-"
                                                << "-";
    QTest::newRow("second minus refused") << 3 << 0 << "-1" << 0 << 0 << "-"
                                          << "-1";
    QTest::newRow("letters and signs refused") << 5 << 2 << "" << 0 << 0 << "a+ 1b"
                                               << "1";
    QTest::newRow("digit replaces selection") << 3 << 0 << "999" << 0 << 3 << "7"
                                              << "7";
    QTest::newRow("no limit when MaxInts 0") << 0 << 0 << "" << 0 << 0 << "1234567890123456"
                                             << "1234567890123456";
}

void InputControlsTest::typing() {
    QFETCH(int, maxInts);
    QFETCH(int, maxDecs);
    QFETCH(QString, start);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, typed);
    QFETCH(QString, expected);

    TYEditNumeric edit;
    edit.SetMaxInts(maxInts);
    edit.SetMaxDecs(maxDecs);
    Prepare(edit, start, selStart, selLength);
    TypeText(&edit, typed);
    QCOMPARE(edit.text(), expected);
}

// What the window's key-press handler receives after the filter: the key
// itself when the filter lets it through, nothing when it drops it.
void InputControlsTest::filterVerdict_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("seen");

    const int none = Qt::NoModifier;
    const int ctrl = Qt::ControlModifier;
    QTest::newRow("digit") << int(Qt::Key_5) << "5" << none << int(u'5');
    QTest::newRow("point as comma") << int(Qt::Key_Period) << "." << none << int(u',');
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << "\b" << none << 8;
    QTest::newRow("escape passes") << int(Qt::Key_Escape) << "\x1b" << none << 27;
    QTest::newRow("enter dropped") << int(Qt::Key_Return) << "\r" << none << 0;
    QTest::newRow("letter dropped") << int(Qt::Key_A) << "a" << none << 0;
    QTest::newRow("blank dropped") << int(Qt::Key_Space) << " " << none << 0;
    QTest::newRow("plus dropped") << int(Qt::Key_Plus) << "+" << none << 0;
    QTest::newRow("ctrl+v dropped") << int(Qt::Key_V) << "\x16" << ctrl << 0;
    QTest::newRow("ctrl+c dropped") << int(Qt::Key_C) << "\x03" << ctrl << 0;
    QTest::newRow("ctrl+backspace") << int(Qt::Key_Backspace) << "" << ctrl << 127;
}

void InputControlsTest::filterVerdict() {
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(int, modifiers);
    QFETCH(int, seen);

    TYEditNumeric edit;
    edit.SetMaxInts(5);
    edit.SetMaxDecs(2);
    edit.setText(QStringLiteral("12"));
    int received = -1;
    edit.OnKeyPress = [&received](QWidget*, QChar& k) { received = k.unicode(); };
    QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
    QCoreApplication::sendEvent(&edit, &press);
    QCOMPARE(received, seen);
    // Escape is not consumed, so a dialog around the field still sees it.
    QCOMPARE(press.isAccepted(), seen != 27);
}

void InputControlsTest::deleteAndBackspace_data() {
    QTest::addColumn<int>("maxInts");
    QTest::addColumn<int>("maxDecs");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("expected");

    const int del = Qt::Key_Delete;
    const int bs = Qt::Key_Backspace;
    const int none = Qt::NoModifier;
    QTest::newRow("delete on comma joins too many digits")
        << 3 << 2 << "12,34" << 2 << 0 << del << none << "12,34";
    QTest::newRow("backspace after comma joins too many digits")
        << 3 << 2 << "12,34" << 3 << 0 << bs << none << "12,34";
    QTest::newRow("delete selected comma joins too many digits")
        << 3 << 2 << "12,34" << 2 << 1 << del << none << "12,34";
    QTest::newRow("ctrl+delete on comma refused")
        << 3 << 2 << "12,34" << 2 << 0 << del << int(Qt::ControlModifier) << "12,34";
    QTest::newRow("delete on comma that fits")
        << 4 << 2 << "12,34" << 2 << 0 << del << none << "1234";
    QTest::newRow("delete a digit") << 3 << 2 << "12,34" << 0 << 0 << del << none << "2,34";
    QTest::newRow("backspace a digit") << 3 << 0 << "192" << 3 << 0 << bs << none << "19";
    QTest::newRow("ctrl+delete removes one character")
        << 3 << 0 << "192" << 0 << 0 << del << int(Qt::ControlModifier) << "92";
    QTest::newRow("ctrl+backspace changes nothing")
        << 3 << 0 << "192" << 3 << 0 << bs << int(Qt::ControlModifier) << "192";
}

void InputControlsTest::deleteAndBackspace() {
    QFETCH(int, maxInts);
    QFETCH(int, maxDecs);
    QFETCH(QString, start);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, expected);

    TYEditNumeric edit;
    edit.SetMaxInts(maxInts);
    edit.SetMaxDecs(maxDecs);
    Prepare(edit, start, selStart, selLength);
    QTest::keyClick(&edit, static_cast<Qt::Key>(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(edit.text(), expected);
}

// ------------------------------------------------------------ exit step

void InputControlsTest::exitStep_data() {
    QTest::addColumn<int>("maxInts");
    QTest::addColumn<int>("maxDecs");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("padded to MaxInts") << 3 << 0 << "5"
                                       << "  5";
    QTest::newRow("leading zero of a CNPJ lost") << 14 << 0 << "01234567890123"
                                                 << " 1234567890123";
    QTest::newRow("decimals filled") << 5 << 2 << "12,5"
                                     << "   12,50";
    QTest::newRow("thousands points dropped") << 5 << 2 << "1.234,56"
                                              << " 1234,56";
    QTest::newRow("empty reads as zero") << 3 << 0 << ""
                                         << "  0";
    QTest::newRow("unreadable reads as zero") << 3 << 0 << "abc"
                                              << "  0";
    QTest::newRow("only a sign") << 3 << 0 << "-"
                                 << "  0";
    QTest::newRow("only a comma") << 3 << 2 << ","
                                  << "  0,00";
    QTest::newRow("cut at first foreign character") << 3 << 0 << "19x2"
                                                    << " 19";
    QTest::newRow("blanks around") << 3 << 0 << "  7 "
                                   << "  7";
    QTest::newRow("half away from zero") << 3 << 0 << "2,5"
                                         << "  3";
    QTest::newRow("negative half away from zero") << 3 << 0 << "-2,5"
                                                  << " -3";
    QTest::newRow("decimal half as typed") << 3 << 2 << "1,005"
                                           << "  1,01";
    QTest::newRow("negative with decimals") << 3 << 2 << "-12,345"
                                            << "-12,35";
    QTest::newRow("rounds to zero without sign") << 3 << 2 << "-0,001"
                                                 << "  0,00";
    QTest::newRow("carry into a new digit") << 3 << 1 << "99,96"
                                            << "100,0";
    QTest::newRow("longer than the field is not cut") << 2 << 0 << "12345"
                                                      << "12345";
    QTest::newRow("two points read up to the second") << 5 << 2 << "1.2.3"
                                                      << "    1,20";
    QTest::newRow("minus after a digit ends the number") << 5 << 0 << "12-3"
                                                         << "   12";
    QTest::newRow("two signs read as zero") << 3 << 0 << "--5"
                                            << "  0";
    QTest::newRow("fraction without integer digits") << 3 << 2 << "-,5"
                                                     << " -0,50";
    QTest::newRow("no limit, no padding") << 0 << 0 << "42"
                                          << "42";
    QTest::newRow("fifteen digits exact") << 15 << 0 << "999999999999999"
                                          << "999999999999999";
    QTest::newRow("too large for a double") << 3 << 0 << QString(400, u'9') << "  0";
}

void InputControlsTest::exitStep() {
    QFETCH(int, maxInts);
    QFETCH(int, maxDecs);
    QFETCH(QString, text);
    QFETCH(QString, expected);

    // Through real focus moves: leaving the field rewrites it before OnExit.
    QWidget window;
    auto* edit = new TYEditNumeric(&window);
    auto* next = new QLineEdit(&window);
    edit->SetMaxInts(maxInts);
    edit->SetMaxDecs(maxDecs);
    QVERIFY(ShowStacked(window, {edit, next}));
    QVERIFY(TabInto(edit));
    edit->setText(text);
    QString seenByOnExit;
    connect(edit, &TYEditNumeric::OnExit, this, [&] { seenByOnExit = edit->text(); });
    QVERIFY(TabInto(next));
    QCOMPARE(edit->text(), expected);
    QCOMPARE(seenByOnExit, expected);
}

void InputControlsTest::limitsOnlyStored() {
    TYEditNumeric edit;
    edit.setText(QStringLiteral("12345,678"));
    edit.SetMaxInts(3);
    edit.SetMaxDecs(1);
    QCOMPARE(edit.text(), QStringLiteral("12345,678"));
    edit.SetMaxInts(-1);
    QCOMPARE(edit.MaxInts(), 0);
    edit.SetMaxInts(300);
    QCOMPARE(edit.MaxInts(), TYEditNumeric::kMaxIntsLimit);
    edit.SetMaxDecs(11);
    QCOMPARE(edit.MaxDecs(), TYEditNumeric::kMaxDecsLimit);
}

void InputControlsTest::programSetAndPastedTextBypassFilter() {
    QWidget window;
    auto* edit = new TYEditNumeric(&window);
    auto* next = new QLineEdit(&window);
    edit->SetMaxInts(3);
    QVERIFY(ShowStacked(window, {edit, next}));
    QVERIFY(TabInto(edit));

    edit->setText(QStringLiteral("ab"));
    QCOMPARE(edit->text(), QStringLiteral("ab"));
    QGuiApplication::clipboard()->setText(QStringLiteral("4x"));
    edit->setCursorPosition(0);
    edit->paste();
    QCOMPARE(edit->text(), QStringLiteral("4xab"));

    QVERIFY(TabInto(next));
    QCOMPARE(edit->text(), QStringLiteral("  4"));
}

// ------------------------------------------------------------ colours

void InputControlsTest::defaultColours_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<uint>("onFocus");
    QTest::addColumn<uint>("onNotFocus");
    QTest::addColumn<uint>("atCreation");

    QTest::newRow("numeric") << "numeric" << uint(16775137) << uint(0xFFFFFF) << uint(0xFFFFFF);
    QTest::newRow("string") << "string" << uint(16775137) << uint(0xFF000005) << uint(0xFF000005);
    QTest::newRow("combo") << "combo" << uint(16775137) << uint(0xFF000005) << uint(0xFF000005);
}

namespace {

struct AnyControl {
    std::unique_ptr<QWidget> widget;
    ToolkitColor onFocus = 0;
    ToolkitColor onNotFocus = 0;
    ToolkitColor color = 0;
};

template <typename Control> AnyControl Describe(Control* c) {
    AnyControl any;
    any.onFocus = c->ColorOnFocus();
    any.onNotFocus = c->ColorOnNotFocus();
    any.color = c->Color();
    any.widget.reset(c);
    return any;
}

AnyControl MakeControl(const QString& kind, QWidget* parent = nullptr) {
    if (kind == QLatin1String("numeric")) {
        return Describe(new TYEditNumeric(parent));
    }
    if (kind == QLatin1String("string")) {
        return Describe(new TYEditString(parent));
    }
    return Describe(new TYBoxCombo(parent));
}

} // namespace

void InputControlsTest::defaultColours() {
    QFETCH(QString, kind);
    QFETCH(uint, onFocus);
    QFETCH(uint, onNotFocus);
    QFETCH(uint, atCreation);

    const AnyControl control = MakeControl(kind);
    QCOMPARE(control.onFocus, onFocus);
    QCOMPARE(control.onNotFocus, onNotFocus);
    QCOMPARE(control.color, atCreation);
    QCOMPARE(control.widget->palette().color(QPalette::Base),
             ColorFromToolkitColor(atCreation, QApplication::palette(control.widget.get())));
}

// The numeric edit paints first and then fires OnEnter/OnExit; the text edit
// and the drop-down list fire first and paint afterwards.
void InputControlsTest::focusColourOrder_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("paintsBeforeEvent");

    QTest::newRow("numeric") << "numeric" << true;
    QTest::newRow("string") << "string" << false;
    QTest::newRow("combo") << "combo" << false;
}

void InputControlsTest::focusColourOrder() {
    QFETCH(QString, kind);
    QFETCH(bool, paintsBeforeEvent);

    QWidget window;
    AnyControl control = MakeControl(kind, &window);
    QWidget* field = control.widget.release(); // owned by the window now
    auto* other = new QLineEdit(&window);
    QVERIFY(ShowStacked(window, {field, other}));
    QVERIFY(TabInto(other));

    const QColor focused(225, 247, 255);
    const QColor notFocused =
        ColorFromToolkitColor(control.onNotFocus, QApplication::palette(field));
    QColor atEnter;
    QColor atExit;
    const auto base = [field] { return field->palette().color(QPalette::Base); };
    if (auto* n = qobject_cast<TYEditNumeric*>(field)) {
        connect(n, &TYEditNumeric::OnEnter, this, [&] { atEnter = base(); });
        connect(n, &TYEditNumeric::OnExit, this, [&] { atExit = base(); });
    } else if (auto* s = qobject_cast<TYEditString*>(field)) {
        connect(s, &TYEditString::OnEnter, this, [&] { atEnter = base(); });
        connect(s, &TYEditString::OnExit, this, [&] { atExit = base(); });
    } else if (auto* c = qobject_cast<TYBoxCombo*>(field)) {
        connect(c, &TYBoxCombo::OnEnter, this, [&] { atEnter = base(); });
        connect(c, &TYBoxCombo::OnExit, this, [&] { atExit = base(); });
    }

    QVERIFY(TabInto(field));
    QCOMPARE(base(), focused);
    QCOMPARE(atEnter, paintsBeforeEvent ? focused : notFocused);

    QVERIFY(TabInto(other));
    QCOMPARE(base(), notFocused);
    QCOMPARE(atExit, paintsBeforeEvent ? notFocused : focused);
}

namespace {

// What the screen shows in the middle of the field, where an empty control
// has neither text nor caret.
QColor FieldCentreColour(QWidget* control) {
    const QImage shot = control->grab().toImage();
    return shot.pixelColor(shot.width() / 2, shot.height() / 2);
}

} // namespace

void InputControlsTest::focusColourShown_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("numeric") << "numeric";
    QTest::newRow("string") << "string";
    // The style shades a list's face from the button colour.
    QTest::newRow("combo") << "combo";
}

void InputControlsTest::focusColourShown() {
    QFETCH(QString, kind);
    QWidget window;
    QWidget* field = MakeControl(kind, &window).widget.release();
    QVERIFY(ShowStacked(window, {field}));
    QVERIFY(TabInto(field));
    QCOMPARE(FieldCentreColour(field), QColor(225, 247, 255));
}

// A disabled control looks like any disabled field, also when it had the
// focus (and so a colour of its own) before.
void InputControlsTest::disabledLook_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("focusedBefore");
    QTest::newRow("numeric") << "numeric" << false;
    QTest::newRow("numeric, focused before") << "numeric" << true;
    QTest::newRow("string, focused before") << "string" << true;
    QTest::newRow("combo, focused before") << "combo" << true;
}

void InputControlsTest::disabledLook() {
    QFETCH(QString, kind);
    QFETCH(bool, focusedBefore);
    QWidget window;
    QWidget* field = MakeControl(kind, &window).widget.release();
    QWidget* plain = kind == QLatin1String("combo") ? static_cast<QWidget*>(new QComboBox(&window))
                                                    : new QLineEdit(&window);
    QVERIFY(ShowStacked(window, {field, plain}));
    if (focusedBefore) {
        QVERIFY(TabInto(field));
        QVERIFY(TabInto(plain));
    }
    field->setEnabled(false);
    plain->setEnabled(false);
    plain->resize(field->size());
    QCOMPARE(FieldCentreColour(field), FieldCentreColour(plain));
}

void InputControlsTest::passwordCharacter() {
    TYEditString edit;
    edit.setEchoMode(QLineEdit::Password);
    edit.setText(QStringLiteral("abc12"));
    QCOMPARE(edit.displayText(), QStringLiteral("*****"));
}

void InputControlsTest::enterStepSelectsText() {
    QWidget window;
    auto* other = new QLineEdit(&window);
    auto* edit = new TYEditNumeric(&window);
    edit->SetMaxInts(3);
    edit->setText(QStringLiteral("  5"));
    QVERIFY(ShowStacked(window, {other, edit}));
    QVERIFY(TabInto(other));

    // Entered by program: the whole text is selected, so typing replaces it.
    edit->setFocus(Qt::OtherFocusReason);
    QTRY_VERIFY(edit->hasFocus());
    QCOMPARE(edit->selectedText(), QStringLiteral("  5"));
    QTest::keyClicks(edit, QStringLiteral("42"));
    QCOMPARE(edit->text(), QStringLiteral("42"));

    QVERIFY(TabInto(other));
    edit->SetAutoSelect(false);
    edit->setFocus(Qt::OtherFocusReason);
    QTRY_VERIFY(edit->hasFocus());
    QVERIFY(!edit->hasSelectedText());
}

// A context menu or the window losing activation takes the focus for a moment
// without leaving the field: no rewrite, no colour change.
void InputControlsTest::popupDoesNotRunExitStep() {
    QWidget window;
    auto* edit = new TYEditNumeric(&window);
    edit->SetMaxInts(3);
    QVERIFY(ShowStacked(window, {edit}));
    QVERIFY(TabInto(edit));
    edit->setText(QStringLiteral("7"));
    QSignalSpy exits(edit, &TYEditNumeric::OnExit);
    QSignalSpy enters(edit, &TYEditNumeric::OnEnter);

    for (const Qt::FocusReason reason : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QCoreApplication::sendEvent(edit, &out);
        QFocusEvent in(QEvent::FocusIn, reason);
        QCoreApplication::sendEvent(edit, &in);
    }
    QCOMPARE(exits.count(), 0);
    QCOMPARE(enters.count(), 0);
    QCOMPARE(edit->text(), QStringLiteral("7"));
    QCOMPARE(edit->Color(), kFocusedFieldColor);
}

void InputControlsTest::toolkitColourConversion_data() {
    QTest::addColumn<uint>("color");
    QTest::addColumn<QColor>("expected");

    // System colours resolve against the palette the test function passes.
    QTest::newRow("focus colour") << uint(16775137) << QColor(225, 247, 255);
    QTest::newRow("white") << uint(0xFFFFFF) << QColor(255, 255, 255);
    QTest::newRow("red is the low byte") << uint(0x0000FF) << QColor(255, 0, 0);
    QTest::newRow("indicator green") << uint(6723891) << QColor(51, 153, 102);
    QTest::newRow("grey panel") << uint(8553090) << QColor(130, 130, 130);
    QTest::newRow("system window colour") << uint(0xFF000005) << QColor(1, 2, 3);
    QTest::newRow("system button face") << uint(0xFF00000F) << QColor(4, 5, 6);
}

void InputControlsTest::toolkitColourConversion() {
    QFETCH(uint, color);
    QFETCH(QColor, expected);
    QPalette palette;
    palette.setColor(QPalette::Base, QColor(1, 2, 3));
    palette.setColor(QPalette::Button, QColor(4, 5, 6));
    QCOMPARE(ColorFromToolkitColor(color, palette), expected);
}

QTEST_MAIN(InputControlsTest)
#include "tst_input_controls.moc"
