#pragma once
// Replacing a small file so that a crash or power cut at any moment leaves
// either the old or the new contents, never a mix or a truncated file.

#include <string>
#include <string_view>

namespace platform {

struct FileWriteResult {
    bool ok = false;
    // Why the write failed, in the platform's words; empty when ok.
    std::string error;
};

// Writes contents to a new temporary file in the folder of path, flushes it
// to the disk, and renames it over path (then flushes the folder entry, where
// the platform allows). An existing file keeps its permission bits. A file
// that is read-only by its permission bits (or its read-only attribute on
// Windows) is refused even when the process could override them, as root can.
// On failure path is left exactly as it was and the temporary file is removed.
FileWriteResult ReplaceFileAtomically(const std::string& path, std::string_view contents);

// Every temporary file of ReplaceFileAtomically(path, ...) is named path
// followed by this suffix and a unique tail. A process killed between
// creating one and renaming it leaves it behind; a caller that keeps all
// writers of path out (with a lock) may delete such leftovers.
inline constexpr std::string_view kTemporaryFileSuffix = ".tmp-";

} // namespace platform
