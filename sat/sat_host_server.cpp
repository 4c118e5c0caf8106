#include "sat/sat_host_server.h"

#include <cstring>
#include <string>
#include <string_view>

#include "sat/export_invocation.h"
#include "sat/host_protocol.h"
#include "sat/platform/dynamic_library.h"
#include "sat/un_funcoes_dll.h"

namespace {

constexpr int kClosed = 0;
constexpr int kBrokenFrame = 2;

bool ReadFrame(platform::ParentPipe& pipe, std::string& payload) {
    char length[4];
    if (!pipe.ReadExact(length, sizeof length)) {
        return false;
    }
    const std::uint32_t size = host_protocol::ReadUint32(length);
    if (size == 0 || size > host_protocol::kMaxFrameSize) {
        return false;
    }
    payload.resize(size);
    return pipe.ReadExact(payload.data(), size);
}

std::string FrameHead(char kind, std::size_t bodySize) {
    std::string head;
    host_protocol::AppendUint32(head, static_cast<std::uint32_t>(bodySize + 1));
    head.push_back(kind);
    return head;
}

// A frame of `kind` and a short body of the host's own, copied into the pipe.
bool WriteFrame(platform::ParentPipe& pipe, char kind, std::string_view body) {
    std::string frame = FrameHead(kind, body.size());
    frame.append(body);
    return pipe.WriteAll(frame.data(), frame.size());
}

// The library's answer, sent from the library's own memory: it stays as it
// is until the library's next call, and that waits for the next request,
// which the program sends only once it has read this whole frame.
bool WriteAnswer(platform::ParentPipe& pipe, std::string_view answer) {
    return pipe.WriteLent(FrameHead(host_protocol::kAnswer, answer.size()), answer);
}

std::string ExportMask(const SatEntryPoints& entries) {
    std::uint32_t mask = 0;
    for (std::size_t i = 0; i < kSatExportCount; ++i) {
        if (IsSatEntryPointLoaded(entries, SatExportAt(i))) {
            mask |= 1u << i;
        }
    }
    std::string bytes;
    host_protocol::AppendUint32(bytes, mask);
    return bytes;
}

} // namespace

int ServeSatLibrary(platform::ParentPipe& pipe) {
    SatEntryPoints entries;
    bool loaded = false;
    std::string payload;
    while (ReadFrame(pipe, payload)) {
        if (payload[0] == host_protocol::kLoad) {
            const platform::LibraryLoadResult result =
                platform::LoadLibraryByPath(payload.substr(1));
            if (result.handle == nullptr) {
                if (!WriteFrame(pipe, host_protocol::kLoadFailed, result.error)) {
                    return kClosed;
                }
                continue;
            }
            ResolveSatEntryPoints(entries, result.handle);
            loaded = true;
            if (!WriteFrame(pipe, host_protocol::kLoad, ExportMask(entries))) {
                return kClosed;
            }
            continue;
        }
        const auto call = host_protocol::DecodeCallRequest(payload);
        if (!call || !loaded || !IsSatEntryPointLoaded(entries, call->which)) {
            return kBrokenFrame;
        }
        std::string().swap(payload); // a sale document's copy goes before the call
        const char* answer = InvokeSatExport(entries, call->which, call->arguments);
        const bool sent = answer == nullptr
                              ? WriteFrame(pipe, host_protocol::kNoAnswer, {})
                              : WriteAnswer(pipe, std::string_view(answer, std::strlen(answer)));
        if (!sent) {
            return kClosed;
        }
    }
    return kClosed;
}
