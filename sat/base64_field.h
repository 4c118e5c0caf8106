#pragma once
// Decoding of the Base64 payload fields of SAT answers (the certificate
// request, the device's log, the signed sale and cancellation documents).

#include <string>
#include <string_view>

// The bytes that field encodes in the standard Base64 alphabet (RFC 4648).
// Every character outside the alphabet ("=", CR, LF, blanks) is skipped, so
// line breaks that some devices insert do no harm. Only whole bytes are
// produced: four characters give three bytes, a final three give two, a
// final two give one, a final single one gives nothing. Every LF of the
// output becomes CR LF (a CR LF already there becomes CR CR LF), for the
// result memos. The bytes are not converted to any code page.
std::string DecodeBase64Field(std::string_view field);

// The same decoding, appended to out, so a large payload is written once
// into the text that will hold it.
void AppendBase64Field(std::string& out, std::string_view field);
