#pragma once
// The input controls every page of the main window uses instead of the plain
// widgets: a numeric edit that filters keystrokes against a limit of integer
// and decimal digits and rewrites its text as a number when it is left, a text
// edit and a drop-down list. All three paint one colour while they hold the
// focus and another when they do not, which is how the window shows the user
// which field is active. A disabled control keeps the look of a disabled
// field whatever its colour.

#include <QComboBox>
#include <QLineEdit>
#include <QPalette>

#include <cstdint>
#include <functional>

// A colour as the window's design data gives it: 0x00BBGGRR for a plain
// colour, 0xFF0000nn for the system colour nn (5 is the window background).
using ToolkitColor = std::uint32_t;

inline constexpr ToolkitColor kFocusedFieldColor = 16775137; // 0xFFF7E1: R 225, G 247, B 255
inline constexpr ToolkitColor kWhiteColor = 0xFFFFFF;
inline constexpr ToolkitColor kSystemWindowColor = 0xFF000005;

// The QColor a toolkit colour shows as. System colours take their value from
// `palette` (the window background is QPalette::Base).
QColor ColorFromToolkitColor(ToolkitColor color, const QPalette& palette);

// Called with the character a keystroke types or an input method commits,
// after the control's own filter; setting it to QChar() drops it. Control
// characters are passed as their codes: 8 backspace, 13 Enter, 27 Escape,
// 1..26 Ctrl+letter, 127 Ctrl+Backspace.
using KeyPressHandler = std::function<void(QWidget* sender, QChar& key)>;

// The colours and the entered state the three controls share: one colour
// while the control holds the focus, another when it does not, switched by
// its enter and exit steps. Exit is a move of the focus to another control,
// not the window or a menu taking it for a while.
class FocusColours {
public:
    ToolkitColor ColorOnFocus() const { return colorOnFocus_; }
    void SetColorOnFocus(ToolkitColor color) { colorOnFocus_ = color; }
    ToolkitColor ColorOnNotFocus() const { return colorOnNotFocus_; }
    void SetColorOnNotFocus(ToolkitColor color) { colorOnNotFocus_ = color; }
    // The colour the control paints now.
    ToolkitColor Color() const { return color_; }

protected:
    explicit FocusColours(ToolkitColor notFocused)
        : colorOnNotFocus_(notFocused), color_(notFocused) {}

    // True for the focus that enters the control, false for a repeat (the
    // focus coming back from a menu or another window).
    bool TakeEntry();
    // True when the focus leaves for another control after an entry; the
    // control is then no longer entered.
    bool TakeExit(Qt::FocusReason reason);

    ToolkitColor colorOnFocus_ = kFocusedFieldColor;
    ToolkitColor colorOnNotFocus_;
    ToolkitColor color_;

private:
    bool entered_ = false;
};

// Numeric edit: right-aligned; typed characters are limited to digits, one
// "," (a "." is typed as ","), a leading "-", backspace and Escape, and the
// text may never exceed MaxInts integer or MaxDecs decimal digits. Leaving the
// field rewrites the text as a number padded with blanks. Text an input
// method commits (a dead-key composition) passes the same filter, one
// character at a time. Pasted and program-set text bypasses the filter;
// leaving still normalises it.
class TYEditNumeric : public QLineEdit, public FocusColours {
    Q_OBJECT
    Q_PROPERTY(int MaxDecs READ MaxDecs WRITE SetMaxDecs)
    Q_PROPERTY(int MaxInts READ MaxInts WRITE SetMaxInts)
    Q_PROPERTY(bool AutoSelect READ AutoSelect WRITE SetAutoSelect)

public:
    static constexpr int kMaxDecsLimit = 10;
    static constexpr int kMaxIntsLimit = 20;

    explicit TYEditNumeric(QWidget* parent = nullptr);

    // Decimal digits allowed after the ",", 0 to 10 (clamped). Only stored:
    // the text is rewritten at the next exit.
    int MaxDecs() const { return maxDecs_; }
    void SetMaxDecs(int value);
    // Integer digits allowed (a leading "-" counts as one), 0 to 20 (clamped);
    // 0 means no limit.
    int MaxInts() const { return maxInts_; }
    void SetMaxInts(int value);

    // Whether entering the field by keyboard or program selects its text.
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool on) { autoSelect_ = on; }

    void SetColor(ToolkitColor color);

    // The window's key-press handler; runs after this control's filter.
    KeyPressHandler OnKeyPress;

    // The text the exit step makes of `text` with these limits.
    static QString NormalizedNumberText(const QString& text, int maxInts, int maxDecs);

signals:
    // Fired by the enter and exit steps, after the colour has changed; OnExit
    // sees the rewritten text.
    void OnEnter();
    void OnExit();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // The control's filter and then the window's handler.
    void FilterTypedCharacter(QChar& key);
    void FilterCharacter(QChar& key) const;
    bool DeleteKeyAllowed() const;
    bool CandidateFitsLimits(const QString& candidate) const;
    QString TextWithoutSelection() const;

    int maxDecs_ = 0;
    int maxInts_ = 0;
    bool autoSelect_ = true;
    // Set when a mouse press gave the focus and the enter step (OnEnter)
    // selected text: that press, delivered after the step, keeps the
    // selection instead of placing the caret.
    bool keepEntrySelection_ = false;
};

// Text edit with the focus colours. In password mode it shows every
// character as "*". With a key-press handler, text an input method commits
// passes the handler one character at a time, as typed keys do.
class TYEditString : public QLineEdit, public FocusColours {
    Q_OBJECT

public:
    explicit TYEditString(QWidget* parent = nullptr);

    void SetColor(ToolkitColor color);

    KeyPressHandler OnKeyPress;

signals:
    // Fired before the colour changes.
    void OnEnter();
    void OnExit();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

// Drop-down list with the focus colours. Its field shows the colour plain,
// as an edit's field does, not shaded like a button face.
class TYBoxCombo : public QComboBox, public FocusColours {
    Q_OBJECT

public:
    explicit TYBoxCombo(QWidget* parent = nullptr);

    void SetColor(ToolkitColor color);

signals:
    // Fired before the colour changes.
    void OnEnter();
    void OnExit();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
