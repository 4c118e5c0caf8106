#pragma once
// Fault switches: answers a real device or its library sometimes gives, on
// request, so that the program's handling of them can be tested and shown.
//
// A fault that stands for a command the device never took (busy, null,
// no-separator) leaves the device untouched; a fault that damages an answer
// (invalid-utf8, short, status-27) applies to the answer of a command the
// device did carry out.

#include <string>
#include <string_view>

namespace satemu {

enum class Fault {
    None,
    NoSeparator, // "no-separator": a communication error text without any "|"
    InvalidUtf8, // "invalid-utf8": the message field is not valid UTF-8
    Short,       // "short": only the first three fields of the answer
    Null,        // "null": a null pointer instead of an answer
    Busy,        // "busy": the six-field xx098 "em processamento" answer
    Status27,    // "status-27": the status answer without LISTA_FINAL
};

// The switch named by a DVT_SAT_FAULT value; an unknown name is no fault.
Fault ParseFault(std::string_view name);

// The text a library gives when it cannot reach the device.
inline constexpr std::string_view kCommunicationErrorText =
    "Falha de comunicação com o equipamento SAT";

// The answer of a busy device for a function family (4 for AtivarSAT, ...).
std::string BusyAnswer(int session, int family);

// The answer as an invalid-utf8, short or status-27 fault turns it; the
// others pass it unchanged.
void DamageAnswer(Fault fault, std::string& answer);

} // namespace satemu
