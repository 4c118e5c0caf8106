#include "dialogs/Yancomp.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

// Focus moves that are not a move between the window's controls: a popup
// (context menu, drop-down list) opening over the control, or the window
// losing or regaining activation. The control keeps its place as the
// window's active field through them, so neither the enter nor the exit step
// runs.
bool IsMoveBetweenControls(Qt::FocusReason reason) {
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
}

// The character a keystroke types, as the key-press handlers see it, or
// QChar() for a key that types nothing (arrows, function keys, Ctrl+Home...).
QChar TypedCharacter(const QKeyEvent* event) {
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    const bool alt = event->modifiers().testFlag(Qt::AltModifier);
    switch (event->key()) {
    case Qt::Key_Backspace:
        return ctrl ? QChar(127) : QChar(8);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QChar(13);
    case Qt::Key_Escape:
        return QChar(27);
    default:
        break;
    }
    if (ctrl && !alt) {
        // Ctrl+letter types the control character of that letter (Ctrl+V is
        // 22); every other Ctrl combination types nothing.
        if (event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z) {
            return QChar(static_cast<char16_t>(event->key() - Qt::Key_A + 1));
        }
        return QChar();
    }
    if (alt && !ctrl) {
        return QChar();
    }
    const QString text = event->text();
    if (text.size() == 1 && text.at(0).isPrint()) {
        return text.at(0);
    }
    return QChar();
}

// Hands a keystroke whose character a handler may have changed on to the
// line edit's own handling.
template <typename Forward>
void ForwardKey(QKeyEvent* event, QChar original, QChar key, Forward forward) {
    if (key == original) {
        forward(event);
        return;
    }
    const int code = key.isLetterOrNumber() || key.isPunct() || key.isSymbol() || key == u' '
                         ? static_cast<int>(key.toUpper().unicode())
                         : static_cast<int>(Qt::Key_unknown);
    QKeyEvent replacement(QEvent::KeyPress, code, event->modifiers(), QString(key));
    forward(&replacement);
    event->setAccepted(replacement.isAccepted());
}

// Text an input method commits (a dead-key composition such as an accent
// and a letter, a character picked on an on-screen keyboard) is put in one
// character at a time through `filter`, as if each had been typed; the
// composition still in progress is left to the edit to show.
template <typename Filter, typename Forward>
void CommitThroughFilter(QLineEdit& edit, QInputMethodEvent* event, Filter filter,
                         Forward forward) {
    const QString committed = event->commitString();
    if (committed.isEmpty() || edit.isReadOnly()) {
        forward(event);
        return;
    }
    for (const QChar c : committed) {
        QChar key = c.isPrint() ? c : QChar();
        if (!key.isNull()) {
            filter(key);
        }
        if (!key.isNull() && key.isPrint()) {
            edit.insert(QString(key));
        }
    }
    QInputMethodEvent composing(event->preeditString(), event->attributes());
    forward(&composing);
    event->accept();
}

// Only the colours of an enabled control change: a disabled one keeps the
// disabled look of the application's palette.
void PaintBackground(QWidget* widget, ToolkitColor color, bool alsoButtonFace) {
    QPalette palette = widget->palette();
    const QColor shown = ColorFromToolkitColor(color, QApplication::palette(widget));
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Base, shown);
        if (alsoButtonFace) {
            palette.setColor(group, QPalette::Button, shown);
        }
    }
    widget->setPalette(palette);
}

// The application's style, except that a password edit shows "*" for every
// character instead of the style's own bullet.
class AsteriskPasswordStyle final : public QProxyStyle {
public:
    AsteriskPasswordStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter) {
            return u'*';
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// One instance for every text edit, owned by the application.
QStyle* PasswordStyle() {
    static QPointer<QStyle> style;
    if (style.isNull()) {
        style = new AsteriskPasswordStyle;
        style->setParent(qApp);
    }
    return style.data();
}

bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Fixed notation with `decimals` decimals, rounded half away from zero, "."
// as the point. The value is first taken to 15 significant digits, the
// precision a typed decimal survives in a double, so that 1,005 rounds to
// 1,01 as the user reads it, not to the 1,00 its binary neighbour would give.
std::string FixedHalfAwayFromZero(double value, int decimals) {
    char scientific[40];
    std::snprintf(scientific, sizeof scientific, "%.14e", std::fabs(value));
    // "d.dddddddddddddde+XX": 15 digits, then the decimal exponent.
    std::string digits;
    const char* p = scientific;
    for (; *p != 'e'; ++p) {
        if (*p != '.') {
            digits.push_back(*p);
        }
    }
    int point = std::atoi(p + 1) + 1; // digits before the decimal point
    if (point < 1) {
        digits.insert(0, static_cast<std::size_t>(1 - point), '0');
        point = 1;
    }
    const std::size_t kept = static_cast<std::size_t>(point) + static_cast<std::size_t>(decimals);
    if (digits.size() < kept + 1) {
        digits.append(kept + 1 - digits.size(), '0');
    }
    const bool roundUp = digits[kept] >= '5';
    digits.resize(kept);
    if (roundUp) {
        std::size_t i = kept;
        while (i > 0 && digits[i - 1] == '9') {
            digits[--i] = '0';
        }
        if (i == 0) {
            digits.insert(digits.begin(), '1');
            ++point;
        } else {
            ++digits[i - 1];
        }
    }
    std::string integerPart = digits.substr(0, static_cast<std::size_t>(point));
    const std::size_t firstSignificant = integerPart.find_first_not_of('0');
    integerPart = firstSignificant == std::string::npos ? std::string("0")
                                                        : integerPart.substr(firstSignificant);
    const std::string fraction = digits.substr(static_cast<std::size_t>(point));
    // A value that rounds to zero shows no sign.
    const bool negative = value < 0 && digits.find_first_not_of('0') != std::string::npos;
    std::string out = negative ? "-" : "";
    out += integerPart;
    if (decimals > 0) {
        out += '.';
        out += fraction;
    }
    return out;
}

// Reads the number a numeric edit holds: thousands points dropped when a
// "," is present, "," as the decimal point, everything from the first other
// character on ignored, then the longest leading [-]digits[.digits]. A text
// without digits there, or one too large for a double, reads as 0.
double ReadNumberText(const QString& text) {
    QString s = text;
    if (s.contains(u'.') && s.contains(u',')) {
        s.remove(u'.');
        s = s.trimmed();
    }
    s.replace(u',', u'.');
    s = s.trimmed();

    std::string number;
    qsizetype i = 0;
    if (i < s.size() && s.at(i) == u'-') {
        number.push_back('-');
        ++i;
    }
    std::string integerDigits;
    while (i < s.size() && IsAsciiDigit(s.at(i))) {
        integerDigits.push_back(static_cast<char>(s.at(i).unicode()));
        ++i;
    }
    std::string fractionDigits;
    if (i < s.size() && s.at(i) == u'.') {
        ++i;
        while (i < s.size() && IsAsciiDigit(s.at(i))) {
            fractionDigits.push_back(static_cast<char>(s.at(i).unicode()));
            ++i;
        }
    }
    if (integerDigits.empty() && fractionDigits.empty()) {
        return 0.0;
    }
    number += integerDigits.empty() ? std::string("0") : integerDigits;
    if (!fractionDigits.empty()) {
        number += '.';
        number += fractionDigits;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size()) {
        return 0.0;
    }
    return value;
}

} // namespace

QColor ColorFromToolkitColor(ToolkitColor color, const QPalette& palette) {
    if ((color & 0xFF000000u) == 0xFF000000u) {
        switch (color & 0xFFu) {
        case 5: // window background
            return palette.color(QPalette::Base);
        case 8: // window text
            return palette.color(QPalette::Text);
        case 13: // highlight
            return palette.color(QPalette::Highlight);
        case 14: // highlighted text
            return palette.color(QPalette::HighlightedText);
        case 15: // button face
            return palette.color(QPalette::Button);
        case 18: // button text
            return palette.color(QPalette::ButtonText);
        default:
            return palette.color(QPalette::Window);
        }
    }
    return QColor(static_cast<int>(color & 0xFFu), static_cast<int>((color >> 8) & 0xFFu),
                  static_cast<int>((color >> 16) & 0xFFu));
}

// ---------------------------------------------------------------- focus colours

bool FocusColours::TakeEntry() {
    if (entered_) {
        return false;
    }
    entered_ = true;
    return true;
}

bool FocusColours::TakeExit(Qt::FocusReason reason) {
    if (!entered_ || !IsMoveBetweenControls(reason)) {
        return false;
    }
    entered_ = false;
    return true;
}

// ---------------------------------------------------------------- numeric

TYEditNumeric::TYEditNumeric(QWidget* parent) : QLineEdit(parent), FocusColours(kWhiteColor) {
    // Right-aligned like a column of figures; Enter never reaches the text
    // because the filter drops it.
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SetColor(kWhiteColor);
}

void TYEditNumeric::SetMaxDecs(int value) {
    maxDecs_ = std::clamp(value, 0, kMaxDecsLimit);
}

void TYEditNumeric::SetMaxInts(int value) {
    maxInts_ = std::clamp(value, 0, kMaxIntsLimit);
}

void TYEditNumeric::SetColor(ToolkitColor color) {
    color_ = color;
    PaintBackground(this, color, false);
}

QString TYEditNumeric::TextWithoutSelection() const {
    QString candidate = text();
    if (hasSelectedText()) {
        candidate.remove(selectionStart(), selectedText().size());
    }
    return candidate;
}

bool TYEditNumeric::CandidateFitsLimits(const QString& candidate) const {
    const qsizetype comma = candidate.indexOf(u',');
    if (comma >= 0 && candidate.size() - comma - 1 > maxDecs_) {
        return false;
    }
    if (maxInts_ != 0) {
        const qsizetype integerLength = comma < 0 ? candidate.size() : comma;
        if (integerLength > maxInts_) {
            return false;
        }
    }
    return true;
}

void TYEditNumeric::FilterCharacter(QChar& key) const {
    const QString current = text();
    const bool selection = hasSelectedText();
    const qsizetype selStart = selection ? selectionStart() : cursorPosition();
    const qsizetype selLength = selection ? selectedText().size() : 0;
    const auto heldOutsideSelection = [&](QChar c) {
        for (qsizetype i = 0; i < current.size(); ++i) {
            if (current.at(i) == c && (i < selStart || i >= selStart + selLength)) {
                return true;
            }
        }
        return false;
    };

    if (key == u'.') {
        key = u','; // the comma is the only decimal separator
    }
    if (key == u',' && (heldOutsideSelection(u',') || maxDecs_ == 0)) {
        key = QChar();
    }
    if (key == u'-' && heldOutsideSelection(u'-')) {
        key = QChar();
    }
    if (key == u'-' && selStart != 0 && selectedText() != current) {
        key = QChar();
    }
    if (key.isNull()) {
        return;
    }

    const char16_t code = key.unicode();
    const bool inserts = IsAsciiDigit(key) || key == u',' || key == u'-';
    if (inserts || code == 8 || code == 127) {
        QString candidate = current;
        if (selLength > 0) {
            candidate.remove(selStart, selLength);
        } else if (code == 8 && selStart > 0) {
            candidate.remove(selStart - 1, 1);
        }
        if (inserts) {
            candidate.insert(selStart, key);
        }
        if (!CandidateFitsLimits(candidate)) {
            key = QChar();
        }
    } else if (code != 27) {
        key = QChar();
    }
}

bool TYEditNumeric::DeleteKeyAllowed() const {
    QString candidate = TextWithoutSelection();
    if (!hasSelectedText() && cursorPosition() < candidate.size()) {
        candidate.remove(cursorPosition(), 1);
    }
    return CandidateFitsLimits(candidate);
}

void TYEditNumeric::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) {
        if (!DeleteKeyAllowed()) {
            event->accept();
            return;
        }
        if (event->modifiers().testFlag(Qt::ControlModifier)) {
            // Ctrl+Delete would delete a whole word, more than was checked:
            // delete the one character instead.
            if (!isReadOnly()) {
                del();
            }
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
        return;
    }

    const QChar typed = TypedCharacter(event);
    if (typed.isNull()) {
        QLineEdit::keyPressEvent(event); // caret movement and the like
        return;
    }
    keepEntrySelection_ = false;
    QChar key = typed;
    FilterTypedCharacter(key);
    // Character 127 (Ctrl+Backspace) passes the filter but changes nothing:
    // deleting a whole word could join digits beyond the limits.
    if (key.isNull() || key.unicode() == 127) {
        event->accept();
        return;
    }
    ForwardKey(event, typed, key, [this](QKeyEvent* e) { QLineEdit::keyPressEvent(e); });
}

void TYEditNumeric::FilterTypedCharacter(QChar& key) {
    FilterCharacter(key);
    if (OnKeyPress) {
        OnKeyPress(this, key);
    }
}

void TYEditNumeric::inputMethodEvent(QInputMethodEvent* event) {
    keepEntrySelection_ = false;
    // 127 and the other control characters never come from an input method.
    CommitThroughFilter(
        *this, event, [this](QChar& key) { FilterTypedCharacter(key); },
        [this](QInputMethodEvent* e) { QLineEdit::inputMethodEvent(e); });
}

void TYEditNumeric::mousePressEvent(QMouseEvent* event) {
    if (!keepEntrySelection_) {
        QLineEdit::mousePressEvent(event);
        return;
    }
    keepEntrySelection_ = false;
    const int start = selectionStart();
    const int length = selectionLength();
    QLineEdit::mousePressEvent(event);
    setSelection(start, length);
}

void TYEditNumeric::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (!TakeEntry()) {
        return;
    }
    if (autoSelect_ && !QGuiApplication::mouseButtons().testFlag(Qt::LeftButton)) {
        selectAll();
    }
    SetColor(colorOnFocus_);
    emit OnEnter();
    // The press that gave the focus reaches the edit only after this step;
    // placing the caret there would undo the selection OnEnter made, and
    // digits typed next would land beside the old text, where the digit
    // limit drops the last ones.
    keepEntrySelection_ = event->reason() == Qt::MouseFocusReason && hasSelectedText();
}

void TYEditNumeric::focusOutEvent(QFocusEvent* event) {
    keepEntrySelection_ = false;
    const bool exits = TakeExit(event->reason());
    if (exits) {
        const QString normalized = NormalizedNumberText(text(), maxInts_, maxDecs_);
        if (normalized != text()) {
            setText(normalized);
        }
    }
    QLineEdit::focusOutEvent(event);
    if (exits) {
        SetColor(colorOnNotFocus_);
        emit OnExit();
    }
}

QString TYEditNumeric::NormalizedNumberText(const QString& text, int maxInts, int maxDecs) {
    const double value = ReadNumberText(text);
    QString number = QString::fromLatin1(FixedHalfAwayFromZero(value, maxDecs));
    number.replace(u'.', u',');
    const int width = maxDecs != 0 ? maxInts + maxDecs + 1 : maxInts;
    return number.rightJustified(width, u' ', false);
}

// ---------------------------------------------------------------- text

TYEditString::TYEditString(QWidget* parent) : QLineEdit(parent), FocusColours(kSystemWindowColor) {
    setStyle(PasswordStyle());
}

void TYEditString::SetColor(ToolkitColor color) {
    color_ = color;
    PaintBackground(this, color, false);
}

void TYEditString::keyPressEvent(QKeyEvent* event) {
    const QChar typed = OnKeyPress ? TypedCharacter(event) : QChar();
    if (typed.isNull()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QChar key = typed;
    OnKeyPress(this, key);
    if (key.isNull()) {
        event->accept();
        return;
    }
    ForwardKey(event, typed, key, [this](QKeyEvent* e) { QLineEdit::keyPressEvent(e); });
}

void TYEditString::inputMethodEvent(QInputMethodEvent* event) {
    const auto forward = [this](QInputMethodEvent* e) { QLineEdit::inputMethodEvent(e); };
    if (!OnKeyPress) {
        forward(event);
        return;
    }
    CommitThroughFilter(
        *this, event, [this](QChar& key) { OnKeyPress(this, key); }, forward);
}

void TYEditString::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (!TakeEntry()) {
        return;
    }
    emit OnEnter();
    SetColor(colorOnFocus_);
}

void TYEditString::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (TakeExit(event->reason())) {
        emit OnExit();
        SetColor(colorOnNotFocus_);
    }
}

// ---------------------------------------------------------------- combo

TYBoxCombo::TYBoxCombo(QWidget* parent) : QComboBox(parent), FocusColours(kSystemWindowColor) {}

void TYBoxCombo::SetColor(ToolkitColor color) {
    color_ = color;
    // A drop-down list without an edit field paints its face with the
    // button colour, an editable one its field with the base colour.
    PaintBackground(this, color, true);
}

void TYBoxCombo::paintEvent(QPaintEvent*) {
    // As QComboBox paints itself, but the style shades a list's face from
    // the button colour, which washes the focus colour out: the field gets
    // the colour plain before the current item is drawn on it.
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (isEnabled()) {
        const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                    QStyle::SC_ComboBoxEditField, this);
        painter.fillRect(field, palette().color(QPalette::Base));
    }
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

void TYBoxCombo::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event);
    if (!TakeEntry()) {
        return;
    }
    emit OnEnter();
    SetColor(colorOnFocus_);
}

void TYBoxCombo::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    if (TakeExit(event->reason())) {
        emit OnExit();
        SetColor(colorOnNotFocus_);
    }
}
