#pragma once
// Documents travel as lists of lines: the test sale is built line by line,
// sale and cancellation files are read as lines, memos hold lines. These two
// functions turn a text into its lines and a list of lines back into the text
// the SAT library receives.

#include <string>
#include <string_view>
#include <vector>

// The lines of a text. CR LF, a lone LF and a lone CR each end a line; a
// break at the very end adds no empty line, so "a\r\nb\r\n" and "a\nb" both
// give {"a", "b"} and the empty text gives no line.
std::vector<std::string> SplitLines(std::string_view text);

// Every line followed by CR LF, the last one too: {"a", "b"} -> "a\r\nb\r\n".
std::string LinesText(const std::vector<std::string>& lines);
