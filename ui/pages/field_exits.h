#pragma once
// The field rules of rules/field_rules.h applied to widgets: each reads the
// widget's text as Windows-1252, writes back what the rule gives and sets
// the field's indicator. They never show a message.

#include <string>
#include <vector>

class QEvent;
class QLineEdit;
class QPlainTextEdit;
class TFieldIndicator;
class TPageHost;

// The text of an edit as the core reads it, and the way back.
std::string FieldText(const QLineEdit& edit);
void SetFieldText(QLineEdit& edit, const std::string& cp1252Text);

// The lines of a memo as the core reads them.
std::vector<std::string> MemoLines(const QPlainTextEdit& memo);

// True for a FocusOut event that moves the focus to another control of the
// window; a popup or another window taking the focus is no exit.
bool IsFieldExit(const QEvent& event);

// ativar_cnpjEnter, associar_cnpjEnter, associar_shEnter: bare digits,
// selected.
void CnpjFieldEnter(QLineEdit& edit);
// ativar_cnpjExit, associar_cnpjExit, associar_shExit: masked with OK when
// valid, else left as it is with X.
void CnpjFieldExit(TPageHost& host, QLineEdit& edit, TFieldIndicator* check);
// The exits of the activation code edits: trimmed, OK for 8 to 32 characters.
void CodeFieldExit(TPageHost& host, QLineEdit& edit, TFieldIndicator* check);
// The exits of the confirmation edits: the same, and OK only when equal to
// the current text of `code`.
void ConfirmationFieldExit(TPageHost& host, QLineEdit& confirmation, const QLineEdit& code,
                           TFieldIndicator* check);
// The exits of the memos: OK when the memo holds more than blanks and line
// breaks. The memo is left as it is.
void MemoFieldExit(TPageHost& host, const QPlainTextEdit& memo, TFieldIndicator* check);
