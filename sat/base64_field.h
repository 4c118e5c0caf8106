#pragma once
// Decoding of the Base64 payload fields of SAT answers (the certificate
// request, the device's log, the signed sale and cancellation documents).

#include <cstddef>
#include <functional>
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

// The bytes field encodes, exactly (no line-feed widening, no code page),
// handed to write in pieces of at most 48 KiB, in order: for a payload that
// goes to a file without ever being held whole.
void WriteBase64FieldBytes(std::string_view field,
                           const std::function<void(std::string_view)>& write);

// Where a payload that AppendBase64Payload appended lies in the text, and
// how to give the device's own bytes back from it.
struct Base64Payload {
    std::size_t begin = 0; // offset in the text it was appended to
    std::size_t size = 0;  // bytes there, line feeds widened
    // The LFs among the device's bytes: as many line ends at least, for a
    // view that indexes the text's lines.
    std::size_t lineFeeds = 0;
    // The decoded bytes were valid UTF-8 and were converted to Windows-1252
    // like every other field; otherwise they stand as received.
    bool fromUtf8 = false;
    // Converting the text back gives the device's bytes; false when a
    // character that Windows-1252 lacks became "?", and then deviceBytes
    // holds them.
    bool lossless = true;
    std::string deviceBytes;
};

// A payload field appended to out for display: decoded once; converted from
// UTF-8 when the decoded bytes are valid UTF-8 as a whole, otherwise left as
// received; then every LF widened to CR LF, as DecodeBase64Field does.
Base64Payload AppendBase64Payload(std::string& out, std::string_view field);

// The device's own bytes of a payload, exactly as the device encoded them,
// from shown (the payload's text as AppendBase64Payload left it), handed to
// write in pieces, in order: no copy of the whole payload is made.
void WriteDevicePayload(std::string_view shown, const Base64Payload& payload,
                        const std::function<void(std::string_view)>& write);
