#pragma once
// Taking a SAT answer apart: its "|"-separated fields, the quoted
// comma-separated form that several operations leave for the pages, and the
// success test on a return code. The answer itself is UTF-8; every text these
// functions return is Windows-1252 unless said otherwise.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// True when raw holds at least one "|". An answer without one is not a SAT
// answer but an error text of the library.
bool HasFieldSeparator(std::string_view raw);

// Fields 1..n of raw, as received (not decoded), in a vector of exactly n
// entries: fields the answer does not reach are empty. There is no escaping;
// an answer ending in "|" has no empty field after that separator. The views
// point into raw.
std::vector<std::string_view> SplitResponseViews(std::string_view raw, std::size_t n);

// The number of fields raw holds when every separator opens one: the number
// of "|" plus 1 (a trailing "|" opens an empty last field here, unlike in
// SplitResponseViews, which simply pads).
std::size_t CountResponseFields(std::string_view raw);

// The number of fields SplitResponseViews finds in raw: a final "|" ends the
// answer without opening a field, so "000044|" reaches one field and "a||b|"
// three. The empty text reaches none.
std::size_t ReachedResponseFields(std::string_view raw);

// The busy answer some devices give to any function while they work on an
// earlier command: six fields, a code ending in "098" and a four-digit detail
// code before the message, as the sale answers have it:
// 005877|08098|0000|SAT em processamento. Tente novamente.||
// Its message is field 4 and the tax authority's message field 6, whatever
// the function's own answer layout.
bool IsBusyAnswer(std::string_view raw);

// The same fields as owned texts.
std::vector<std::string> SplitResponse(std::string_view raw, std::size_t n);

// The whole answer decoded from UTF-8 (Utf8ToCp1252), each field enclosed in
// double quotes and the fields joined by commas: 123|08000|OK becomes
// "123","08000","OK". An answer that is not valid UTF-8 as a whole gives "".
std::string ToQuotedCsv(std::string_view raw);

// Field n (from 1) of a line in the quoted comma-separated form: commas inside
// a quoted run belong to the field, the quotes themselves are dropped. Empty
// when the line has fewer fields.
std::string CsvField(std::size_t n, std::string_view line);

// The success test of every operation: the return-code field with the blanks
// (0x20) around it trimmed equals successCode exactly. A tab is not a blank.
bool IsSuccessCode(std::string_view codeField, std::string_view successCode);

// The same test against several codes; true when any of them matches.
bool IsAnySuccessCode(std::string_view codeField, std::span<const std::string_view> successCodes);

// Turns a result text held in the quoted comma-separated form back into
// "|"-separated fields for a result memo: every "," enclosed in quotes
// becomes "|", then every remaining double quote goes. A text without double
// quotes is unchanged.
std::string NormalizaRetorno(std::string_view text);
