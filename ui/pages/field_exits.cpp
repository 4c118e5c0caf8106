#include "ui/pages/field_exits.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "dialogs/ansi_text.h"
#include "rules/field_rules.h"
#include "rules/line_text.h"
#include "ui/main_window.h"

namespace {

void Apply(TFprincipal& window, QLineEdit& edit, TFieldIndicator* check, const FieldExit& exit) {
    SetFieldText(edit, exit.text);
    window.SetIndicator(check, exit.indicator == Indicator::OK);
}

} // namespace

std::string FieldText(const QLineEdit& edit) {
    return QStringToAnsi(edit.text());
}

void SetFieldText(QLineEdit& edit, const std::string& cp1252Text) {
    const QString text = AnsiToQString(cp1252Text);
    // Rewriting an unchanged text would only move the caret.
    if (edit.text() != text) {
        edit.setText(text);
    }
}

std::vector<std::string> MemoLines(const QPlainTextEdit& memo) {
    return SplitLines(QStringToAnsi(memo.toPlainText()));
}

bool IsFieldExit(const QEvent& event) {
    if (event.type() != QEvent::FocusOut) {
        return false;
    }
    const Qt::FocusReason reason = static_cast<const QFocusEvent&>(event).reason();
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
}

void CnpjFieldEnter(QLineEdit& edit) {
    SetFieldText(edit, CnpjOnEnter(FieldText(edit)));
    // The numeric edit keeps this selection through the mouse press that
    // may have brought the focus.
    edit.selectAll();
}

void CnpjFieldExit(TFprincipal& window, QLineEdit& edit, TFieldIndicator* check) {
    Apply(window, edit, check, CnpjOnExit(FieldText(edit)));
}

void CodeFieldExit(TFprincipal& window, QLineEdit& edit, TFieldIndicator* check) {
    Apply(window, edit, check, ActivationCodeOnExit(FieldText(edit)));
}

void ConfirmationFieldExit(TFprincipal& window, QLineEdit& confirmation, const QLineEdit& code,
                           TFieldIndicator* check) {
    Apply(window, confirmation, check,
          ConfirmationCodeOnExit(FieldText(confirmation), FieldText(code)));
}

void MemoFieldExit(TFprincipal& window, const QPlainTextEdit& memo, TFieldIndicator* check) {
    window.SetIndicator(check, MemoOnExit(MemoLines(memo)) == Indicator::OK);
}
