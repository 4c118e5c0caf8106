#pragma once
// The result memos of the pages: read-only plain-text areas that receive the
// operations' result texts, among them device logs of tens of MB. A result
// is appended as one more line; its own line breaks start further lines.
//
// QTextDocument spends most of its time per paragraph, so the lines of a
// large text are kept in paragraphs of kLinesPerParagraph lines, the lines
// inside one separated by QChar::LineSeparator. The memo shows, wraps, copies
// and returns (toPlainText) them as ordinary lines.

#include <QString>

#include <string_view>

class QPlainTextEdit;

inline constexpr int kLinesPerParagraph = 16;

// A read-only memo with a vertical scroll bar, no undo history (a read-only
// memo would only keep copies of its results there), and its text selectable
// and navigable by mouse and keys.
void PrepareResultMemo(QPlainTextEdit& memo);

// The Windows-1252 text as the memo receives it: CR LF, a lone LF and a lone
// CR each end a line; every kLinesPerParagraph-th line end is a paragraph
// break ("\n"), the others QChar::LineSeparator.
QString ResultMemoText(std::string_view cp1252Text);

// Appends the text as one more line of the memo.
void AppendResultText(QPlainTextEdit& memo, std::string_view cp1252Text);
