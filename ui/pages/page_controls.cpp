#include "ui/pages/page_controls.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "dialogs/Yancomp.h"
#include "dialogs/design_fonts.h"
#include "ui/field_indicator.h"

namespace {

constexpr int kFieldWidth = 260;

QString Name(const char* objectName) {
    return QString::fromLatin1(objectName);
}

} // namespace

QLabel* PageCaption(const char* objectName, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(Name(objectName));
    label->setTextFormat(Qt::PlainText);
    label->setFont(ArialFont(9, true));
    label->setStyleSheet(QStringLiteral("QLabel { color: #143f94; }"
                                        " QLabel:disabled { color: #9aa4b8; }"));
    return label;
}

QLabel* PageNote(const char* objectName, const QString& text, QWidget* parent) {
    auto* label = PageCaption(objectName, text, parent);
    label->setFont(ArialFont(8, false));
    return label;
}

QPushButton* PageGlassButton(const char* objectName, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(Name(objectName));
    button->setFont(ArialFont(9, true));
    button->setMinimumSize(110, 30);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(
        QStringLiteral("QPushButton { color: white; border: 1px solid #0f2f70; border-radius: 6px;"
                       " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #6f9be8,"
                       " stop:0.5 #1f5cc4, stop:1 #143f94); }"
                       " QPushButton:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
                       " stop:0 #8fb3f0, stop:0.5 #2f6cd4, stop:1 #1f4fa4); }"
                       " QPushButton:focus { border: 2px solid #f0b000; }"
                       " QPushButton:pressed { background: #143f94; }"));
    return button;
}

QRadioButton* PageOptionButton(const char* objectName, const QString& caption, int tag,
                               QWidget* parent) {
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(Name(objectName));
    button->setFont(ArialFont(9, true));
    button->setStyleSheet(QStringLiteral("QRadioButton { color: #143f94; }"));
    button->setProperty("tag", tag);
    return button;
}

TYEditString* PageTextEdit(const char* objectName, int maxLength, bool password, int width,
                           QWidget* parent) {
    auto* edit = new TYEditString(parent);
    edit->setObjectName(Name(objectName));
    edit->setMaxLength(maxLength);
    edit->setFixedWidth(width);
    if (password) {
        edit->setEchoMode(QLineEdit::Password);
    }
    return edit;
}

TYEditNumeric* PageNumberEdit(const QString& objectName, int digits, int width, QWidget* parent) {
    auto* edit = new TYEditNumeric(parent);
    edit->setObjectName(objectName);
    edit->SetMaxInts(digits);
    edit->SetMaxDecs(0);
    edit->setMaxLength(digits);
    edit->setFixedWidth(width);
    edit->setProperty("tag", 0);
    return edit;
}

TYEditString* PageCodeEdit(const char* objectName, QWidget* parent) {
    return PageTextEdit(objectName, kActivationCodeLength, true, kFieldWidth, parent);
}

TYEditNumeric* PageCnpjEdit(const char* objectName, QWidget* parent) {
    auto* edit = new TYEditNumeric(parent);
    edit->setObjectName(Name(objectName));
    edit->SetMaxInts(kCnpjDigits);
    edit->SetMaxDecs(0);
    edit->setMaxLength(kMaskedCnpjLength);
    edit->setFixedWidth(kFieldWidth);
    return edit;
}

TFieldIndicator* PageIndicator(const char* objectName, QWidget* parent) {
    auto* indicator = new TFieldIndicator(parent);
    indicator->setObjectName(Name(objectName));
    return indicator;
}

QPlainTextEdit* PageMemo(const char* objectName, QWidget* parent) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(Name(objectName));
    memo->setTabChangesFocus(true);
    memo->setFont(CourierNewFont(9, false));
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return memo;
}

TYBoxCombo* PageList(const char* objectName, const QStringList& items, QWidget* parent) {
    auto* list = new TYBoxCombo(parent);
    list->setObjectName(Name(objectName));
    list->addItems(items);
    list->setCurrentIndex(0);
    list->setFixedWidth(kFieldWidth);
    return list;
}
