#include <windows.h>

#include <atomic>
#include <system_error>
#include <utility>

#include "sat/platform/atomic_file.h"

namespace platform {

namespace {

std::string ErrorText(DWORD error) {
    return std::system_category().message(static_cast<int>(error));
}

FileWriteResult Failure(std::string error) {
    return {false, std::move(error)};
}

// A name beside the target that no other writer uses at the same moment.
std::string TemporaryNameFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return path + std::string(kTemporaryFileSuffix) + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(counter++);
}

} // namespace

FileWriteResult ReplaceFileAtomically(const std::string& path, std::string_view contents) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            return Failure(ErrorText(ERROR_DIRECTORY));
        }
        // MoveFileEx would refuse too, but say why in plain words.
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            return Failure("read-only file");
        }
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
        return Failure(ErrorText(GetLastError()));
    }

    std::string temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = TemporaryNameFor(path);
        file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
            return Failure(ErrorText(GetLastError()));
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        return Failure(ErrorText(ERROR_FILE_EXISTS));
    }

    bool written = true;
    while (written && !contents.empty()) {
        const DWORD chunk =
            contents.size() > 0x40000000 ? 0x40000000 : static_cast<DWORD>(contents.size());
        DWORD done = 0;
        written = WriteFile(file, contents.data(), chunk, &done, nullptr) != 0;
        contents.remove_prefix(done);
    }
    written = written && FlushFileBuffers(file) != 0;
    const DWORD writeError = written ? ERROR_SUCCESS : GetLastError();
    CloseHandle(file);
    if (!written) {
        DeleteFileA(temporary.c_str());
        return Failure(ErrorText(writeError));
    }

    if (!MoveFileExA(temporary.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileA(temporary.c_str());
        return Failure(ErrorText(error));
    }
    return {true, {}};
}

} // namespace platform
