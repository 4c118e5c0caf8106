#include "ui/pages/field_exits.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>

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
    edit.selectAll();
    // When a mouse press brought the focus, the press places the caret after
    // this ran and the selection is gone: digits typed next would land
    // beside the "0" of an empty field, and the digit limit would silently
    // drop the last one. Select again once the press is handled.
    QTimer::singleShot(0, &edit, [&edit] {
        if (edit.hasFocus()) {
            edit.selectAll();
        }
    });
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
