#pragma once
// The frames between the program and its SAT library host
// (dravovexa-sat-host), over a pipe pair. Every frame is a 32-bit
// little-endian length and that many bytes. The program asks, the host
// answers, one frame each, in turn:
//
//   load request   'L' + the library's full path
//   load answer    'L' + 32-bit mask of the exports found (bit = SatExport)
//                  'F' + the platform's text when the library cannot be loaded
//   call request   'C' + export index (1 byte) + argument count (1 byte) +
//                  per argument 'i' + 32-bit integer, or 't' + 32-bit length
//                  + the text's bytes
//   call answer    'A' + the answer's bytes up to its terminating NUL
//                  'N' for a null pointer (no answer)
//
// The answer is sent straight from the library's memory: a device log runs
// to tens of MB and the host keeps no copy of it (on Linux the pipe takes the
// answer's pages as they are). The program reads it into one buffer of the
// announced length and decodes it there.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sat/export_invocation.h"

namespace host_protocol {

inline constexpr char kLoad = 'L';
inline constexpr char kLoadFailed = 'F';
inline constexpr char kCall = 'C';
inline constexpr char kAnswer = 'A';
inline constexpr char kNoAnswer = 'N';

// A frame larger than this is a broken peer, not an answer (the largest
// device logs are a few hundred MB at most).
inline constexpr std::uint32_t kMaxFrameSize = 1u << 31;

void AppendUint32(std::string& out, std::uint32_t value);
std::uint32_t ReadUint32(const char* bytes);

// The payloads (without the length prefix).
std::string LoadRequest(std::string_view libraryPath);
std::string CallRequest(SatExport which, std::span<const SatArgument> arguments);

// A call request read back. The texts are owned here, each followed by a NUL,
// and `arguments` views them.
struct DecodedCall {
    SatExport which = SatExport::ConsultarSAT;
    std::vector<std::string> texts;
    std::vector<SatArgument> arguments;
};
// Nothing when the payload is not a well-formed call of a known export with
// the arguments it takes.
std::optional<DecodedCall> DecodeCallRequest(std::string_view payload);

} // namespace host_protocol
