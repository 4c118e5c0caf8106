#include "ui/pages/field_exits.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "dialogs/ansi_text.h"
#include "rules/field_rules.h"
#include "rules/line_text.h"
#include "ui/pages/page_host.h"

namespace {

void Apply(TPageHost& host, QLineEdit& edit, TFieldIndicator* check, const FieldExit& exit) {
    SetFieldText(edit, exit.text);
    host.SetIndicator(check, exit.indicator == Indicator::OK);
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

void CnpjFieldExit(TPageHost& host, QLineEdit& edit, TFieldIndicator* check) {
    Apply(host, edit, check, CnpjOnExit(FieldText(edit)));
}

void CodeFieldExit(TPageHost& host, QLineEdit& edit, TFieldIndicator* check) {
    Apply(host, edit, check, ActivationCodeOnExit(FieldText(edit)));
}

void ConfirmationFieldExit(TPageHost& host, QLineEdit& confirmation, const QLineEdit& code,
                           TFieldIndicator* check) {
    Apply(host, confirmation, check,
          ConfirmationCodeOnExit(FieldText(confirmation), FieldText(code)));
}

void MemoFieldExit(TPageHost& host, const QPlainTextEdit& memo, TFieldIndicator* check) {
    host.SetIndicator(check, MemoOnExit(MemoLines(memo)) == Indicator::OK);
}
