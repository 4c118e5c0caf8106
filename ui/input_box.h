#pragma once
// The one-line input box: a modal window with a caption, a prompt, one text
// field and OK / Cancelar. Every such question of the program goes through
// InputBox(), and tests answer it ahead with SetNextInputBoxAnswer or
// SetNextInputBoxCancel instead of typing into a real window.

#include <QString>

#include <optional>

class QWidget;

// Asks for one line of text, starting with `initial`. The text exactly as
// typed (blanks kept) when the user confirms, nothing when they cancel.
std::optional<QString> InputBox(QWidget* owner, const QString& caption, const QString& prompt,
                                const QString& initial);

// For tests: the next InputBox() returns at once as if the user had typed
// `answer` and confirmed, or had cancelled. One shot: later calls show the
// box again.
void SetNextInputBoxAnswer(const QString& answer);
void SetNextInputBoxCancel();

// For tests: the caption and prompt of the latest InputBox(), answered ahead
// or shown.
struct InputBoxRequest {
    QString caption;
    QString prompt;
    QString initial;
};
InputBoxRequest LastInputBoxRequest();
