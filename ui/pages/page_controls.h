#pragma once
// The controls the pages of the main window are built from, each created
// with its design name and the look every page shares: bold blue captions,
// glass buttons, code edits shown as "*", CNPJ edits, memos, drop-down lists
// and the "_check" indicators beside the fields.

#include <QString>
#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;
class TFieldIndicator;
class TYBoxCombo;
class TYEditNumeric;
class TYEditString;

// Digits a CNPJ edit takes, and the length of the masked CNPJ
// ("61.099.008/0001-41") that leaving the edit may show in it.
inline constexpr int kCnpjDigits = 14;
inline constexpr int kMaskedCnpjLength = 18;
// Characters an activation code edit takes.
inline constexpr int kActivationCodeLength = 32;

QLabel* PageCaption(const char* objectName, const QString& text, QWidget* parent);

// A multi-line note in the page's text colour.
QLabel* PageNote(const char* objectName, const QString& text, QWidget* parent);

QPushButton* PageGlassButton(const char* objectName, const QString& caption, QWidget* parent);

// An option button in the captions' look, with the tag its shared handler reads.
QRadioButton* PageOptionButton(const char* objectName, const QString& caption, int tag,
                               QWidget* parent);

// A text edit of up to `maxLength` characters, `width` pixels wide; shown as
// "*" when `password`.
TYEditString* PageTextEdit(const char* objectName, int maxLength, bool password, int width,
                           QWidget* parent);

// A whole-number edit of up to `digits` digits, `width` pixels wide, tag 0.
TYEditNumeric* PageNumberEdit(const QString& objectName, int digits, int width, QWidget* parent);

// An activation code edit: up to 32 characters, shown as "*".
TYEditString* PageCodeEdit(const char* objectName, QWidget* parent);

// A CNPJ edit: up to 14 digits typed. Its maximum length leaves room for the
// mask, which a program-set text would otherwise lose to the edit's limit;
// the digit limit still holds for typing.
TYEditNumeric* PageCnpjEdit(const char* objectName, QWidget* parent);

TFieldIndicator* PageIndicator(const char* objectName, QWidget* parent);

// A memo for pasted texts: Tab leaves it, as in every other field.
QPlainTextEdit* PageMemo(const char* objectName, QWidget* parent);

// A drop-down list with `items`, the first one selected.
TYBoxCombo* PageList(const char* objectName, const QStringList& items, QWidget* parent);
