#pragma once
// Sale and cancellation documents read from a file and checked before they
// go to the SAT library.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "rules/show_message.h"

// The largest document a device takes (1.500 KB); anything larger is refused
// by the device anyway (06005).
inline constexpr std::size_t kMaxSentDocumentBytes = 1500 * 1024;

// How reading a document file ended.
enum class SentDocumentRead {
    Read,       // bytes hold the whole file
    Unreadable, // missing, no permission, a read error
    NotAFile,   // a folder, a device (/dev/zero), a FIFO, a socket
    TooLarge,   // more than the limit: only limit + 1 bytes were read
};

struct SentDocumentFile {
    SentDocumentRead outcome = SentDocumentRead::Unreadable;
    std::string bytes;
};

// Reads at most limit + 1 bytes of path, and only from a regular file (a
// link to one counts): a device or a FIFO is refused before it is opened, so
// neither an endless file nor one with no writer can hold the caller.
SentDocumentFile ReadSentDocumentFile(const std::filesystem::path& path,
                                      std::size_t limit = kMaxSentDocumentBytes);

// The "[e]" message for a read that did not give a document; fileName is
// Windows-1252. Empty for SentDocumentRead::Read.
std::string SentDocumentReadMessage(SentDocumentRead outcome, std::string_view fileName);

// The library receives a document as a C text, which ends at its first NUL
// byte: a document holding one would reach the device cut short, and the
// device would issue or cancel what it received. For such a document this
// shows one "[e]" message naming fileName (Windows-1252) and returns false;
// nothing must then be sent.
bool IsSendableDocument(std::string_view document, std::string_view fileName,
                        const ShowMessage& show);

// The file's bytes when it was read whole and may be sent; otherwise one
// "[e]" message through show (naming fileName, Windows-1252) and nothing.
std::optional<std::string> ReadSendableDocument(const std::filesystem::path& path,
                                                std::string_view fileName, const ShowMessage& show);
