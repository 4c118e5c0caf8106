#include "sat/session_counter.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>

#include "rules/cp1252.h"
#include "sat/platform/atomic_file.h"
#include "sat/platform/file_lock.h"
#include "sat/platform/program_folder.h"
#include "sat/platform/user_config_folder.h"

namespace {

#if defined(_WIN32)
constexpr std::string_view kNewFileLineEnd = "\r\n";
#else
constexpr std::string_view kNewFileLineEnd = "\n";
#endif

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool IsSpace(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimSpaces(std::string_view s) {
    while (!s.empty() && IsSpace(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsSpace(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

// Where a key sits in the text, and where a missing key would go.
struct KeyLocation {
    bool sectionFound = false;
    bool keyFound = false;
    // The value of the key with blanks around it left out (offsets in text).
    std::size_t valueBegin = 0;
    std::size_t valueEnd = 0;
    // Just after the last non-blank line of the first section of that name.
    std::size_t insertAt = 0;
};

// Profile lines are "[section]", "key=value", comments starting with ";" and
// anything else, which is ignored. The first key of that name in a section of
// that name counts; later duplicates are left alone.
KeyLocation FindKey(std::string_view text, std::string_view section, std::string_view key) {
    KeyLocation location;
    bool inSection = false;
    bool inFirstSection = false;
    std::size_t begin = text.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark
                            ? kUtf8ByteOrderMark.size()
                            : 0;
    while (begin < text.size()) {
        const std::size_t newline = text.find('\n', begin);
        const std::size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
        std::size_t end = newline == std::string_view::npos ? text.size() : newline;
        if (end > begin && text[end - 1] == '\r') {
            --end;
        }
        const std::string_view line = text.substr(begin, end - begin);
        const std::string_view trimmed = TrimSpaces(line);

        if (!trimmed.empty() && trimmed.front() == '[') {
            const std::string_view name = TrimSpaces(trimmed.substr(1, trimmed.find(']') - 1));
            inSection = SameName(name, section);
            inFirstSection = inSection && !location.sectionFound;
            if (inFirstSection) {
                location.sectionFound = true;
                location.insertAt = next;
            }
        } else if (inSection && !trimmed.empty()) {
            const std::size_t equals = line.find('=');
            if (trimmed.front() != ';' && equals != std::string_view::npos &&
                SameName(TrimSpaces(line.substr(0, equals)), key)) {
                const std::string_view rawValue = line.substr(equals + 1);
                const std::string_view value = TrimSpaces(rawValue);
                location.keyFound = true;
                location.valueBegin =
                    begin + equals + 1 + (value.empty() ? 0 : value.data() - rawValue.data());
                location.valueEnd = location.valueBegin + value.size();
                return location;
            }
            if (inFirstSection) {
                location.insertAt = next;
            }
        }
        begin = next;
    }
    return location;
}

std::string_view LineEndOf(std::string_view text) {
    const std::size_t newline = text.find('\n');
    if (newline == std::string_view::npos) {
        return kNewFileLineEnd;
    }
    return newline > 0 && text[newline - 1] == '\r' ? "\r\n" : "\n";
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The whole value as a 32-bit integer, or nothing.
std::optional<std::int32_t> ParseProfileInteger(std::string_view value) {
    value = TrimSpaces(value);
    bool negative = false;
    if (!value.empty() && (value.front() == '-' || value.front() == '+')) {
        negative = value.front() == '-';
        value.remove_prefix(1);
    }
    int base = 10;
    if (value.substr(0, 2) == "0x" || value.substr(0, 2) == "0X") {
        base = 16;
        value.remove_prefix(2);
    } else if (value.substr(0, 1) == "$") {
        base = 16;
        value.remove_prefix(1);
    }
    if (value.empty()) {
        return std::nullopt;
    }
    constexpr std::int64_t kMaxMagnitude = std::int64_t{1} << 31;
    std::int64_t magnitude = 0;
    for (const char c : value) {
        const int digit = HexDigitValue(c);
        if (digit < 0 || digit >= base) {
            return std::nullopt;
        }
        magnitude = magnitude * base + digit;
        if (magnitude > kMaxMagnitude) {
            return std::nullopt;
        }
    }
    const std::int64_t result = negative ? -magnitude : magnitude;
    if (result > std::int64_t{INT32_MAX}) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(result);
}

// The whole file, "" when it does not exist, nothing when it exists but
// cannot be read (rewriting it then would throw its other contents away).
std::optional<std::string> ReadSettingsText(const std::string& path) {
    std::error_code error;
    if (std::filesystem::status(path, error).type() == std::filesystem::file_type::not_found) {
        return std::string();
    }
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) {
        return std::nullopt;
    }
    std::ostringstream contents;
    contents << file.rdbuf();
    if (file.bad()) {
        return std::nullopt;
    }
    return std::move(contents).str();
}

// Deletes the temporary files that a writer killed in mid-write left beside
// the settings file. Only called under the lock, when no writer is running.
void RemoveLeftoverTemporaryFiles(const std::string& settingsFilePath) {
    const std::filesystem::path settings(settingsFilePath);
    const std::string prefix =
        settings.filename().string() + std::string(platform::kTemporaryFileSuffix);
    std::error_code error;
    std::filesystem::path folder = settings.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (entry->path().filename().string().starts_with(prefix)) {
            std::error_code ignored;
            std::filesystem::remove(entry->path(), ignored);
        }
    }
}

constexpr std::string_view kCannotWriteSettings =
    "Não foi possível gravar o arquivo de configurações";

// One copy of the counter while a number is drawn: its lock (when this
// process may write it) and what it held.
struct OpenCopy {
    const CounterCopy* copy = nullptr;
    std::unique_ptr<platform::ExclusiveFileLock> lock; // null: not held
    bool attempted = false;
    bool exists = false;
    std::optional<std::string> text; // nothing: exists but cannot be read
};

// Takes the lock of a copy, "<path>.lock" beside it: the settings file itself
// is replaced by a rename on every write, so a lock on it would not outlive
// the write. A held lock keeps every other writer of the copy out, so the
// temporary files a killed writer left behind may go. Returns why it failed.
std::string LockCopy(OpenCopy& open, bool createFolder) {
    open.attempted = true;
    const std::string& path = open.copy->path;
    if (path.empty()) {
        return "pasta do programa desconhecida";
    }
    if (createFolder) {
        const std::filesystem::path folder = std::filesystem::path(path).parent_path();
        std::error_code error;
        if (!folder.empty()) {
            std::filesystem::create_directories(folder, error);
        }
        if (error) {
            return error.message();
        }
    }
    const std::string lockFilePath = path + ".lock";
    auto lock = std::make_unique<platform::ExclusiveFileLock>(lockFilePath);
    if (!lock->IsHeld()) {
        return lockFilePath + ": " + lock->Error();
    }
    open.lock = std::move(lock);
    RemoveLeftoverTemporaryFiles(path);
    return {};
}

void ReadCopy(OpenCopy& open) {
    const std::string& path = open.copy->path;
    if (path.empty()) {
        return;
    }
    std::error_code error;
    open.exists =
        std::filesystem::status(path, error).type() != std::filesystem::file_type::not_found;
    open.text = ReadSettingsText(path);
}

std::optional<std::int32_t> StoredNumber(const OpenCopy& open) {
    if (!open.exists || !open.text) {
        return std::nullopt;
    }
    return ReadProfileInteger(*open.text, kSessionSection, kSessionKey, 0);
}

// Writes number into a copy whose lock is held. A copy that does not exist
// yet starts as seed (the text of another copy, so that the user's own keys
// travel with the counter). Returns why it failed, empty on success.
std::string WriteCopy(const OpenCopy& open, std::int32_t number, const std::string& seed) {
    if (!open.text) {
        return "o arquivo existe mas não pode ser lido";
    }
    const std::string& text = open.exists ? *open.text : seed;
    const std::string updated =
        WriteProfileString(text, kSessionSection, kSessionKey, std::to_string(number));
    const platform::FileWriteResult written =
        platform::ReplaceFileAtomically(open.copy->path, updated);
    return written.ok ? std::string() : written.error;
}

std::string JoinedPaths(const std::vector<std::string>& paths, std::string_view separator) {
    std::string joined;
    for (const std::string& path : paths) {
        joined.append(joined.empty() ? "" : separator).append(path);
    }
    return joined;
}

} // namespace

SettingsFileError::SettingsFileError(std::vector<std::string> filePaths, const std::string& reason)
    : std::runtime_error(std::string(kCannotWriteSettings) + " " + JoinedPaths(filePaths, " nem ") +
                         ": " + reason),
      filePaths_(std::move(filePaths)), reason_(reason) {}

std::string SettingsFileErrorMessage(const SettingsFileError& error) {
    std::string message = Utf8ToCp1252(kCannotWriteSettings);
    for (const std::string& path : error.FilePaths()) {
        // File names are UTF-8 on Linux and already ANSI on Windows.
        message.append("\r\n").append(Utf8ToCp1252OrAsReceived(path));
    }
    return message;
}

std::int32_t ReadProfileInteger(std::string_view text, std::string_view section,
                                std::string_view key, std::int32_t defaultValue) {
    const KeyLocation location = FindKey(text, section, key);
    if (!location.keyFound) {
        return defaultValue;
    }
    const std::string_view value =
        text.substr(location.valueBegin, location.valueEnd - location.valueBegin);
    return ParseProfileInteger(value).value_or(defaultValue);
}

std::string WriteProfileString(std::string_view text, std::string_view section,
                               std::string_view key, std::string_view value) {
    const KeyLocation location = FindKey(text, section, key);
    const std::string_view lineEnd = LineEndOf(text);
    std::string out;
    out.reserve(text.size() + section.size() + key.size() + value.size() + 8);

    if (location.keyFound) {
        out.append(text.substr(0, location.valueBegin));
        out.append(value);
        out.append(text.substr(location.valueEnd));
        return out;
    }

    std::string entry(key);
    entry.append("=").append(value).append(lineEnd);
    const std::size_t insertAt = location.sectionFound ? location.insertAt : text.size();
    out.append(text.substr(0, insertAt));
    // The line before may be the last one of a file without a final line end,
    // or with only the CR of a CR LF: complete it rather than add a second CR.
    if (!out.empty() && out.back() == '\r') {
        out.append("\n");
    } else if (!out.empty() && out.back() != '\n') {
        out.append(lineEnd);
    }
    if (!location.sectionFound) {
        out.append("[").append(section).append("]").append(lineEnd);
    }
    out.append(entry);
    out.append(text.substr(insertAt));
    return out;
}

std::int32_t SessionNumberAfter(std::int32_t stored) {
    return stored < 1 || stored >= kLastSessionNumber ? 1 : stored + 1;
}

std::vector<CounterCopy> SessionCounterCopies(const std::string& machineFolder,
                                              const std::string& programFolder,
                                              const std::string& userFolder) {
    const auto in = [](const std::string& folder) {
        return folder.empty() ? std::string() : folder + std::string(kSettingsFileName);
    };
    std::vector<CounterCopy> copies;
    if (!machineFolder.empty()) {
        copies.push_back({in(machineFolder), true});
        if (!programFolder.empty()) {
            copies.push_back({in(programFolder), false});
        }
    } else {
        copies.push_back({in(programFolder), true});
    }
    if (!userFolder.empty()) {
        copies.push_back({in(userFolder), true});
    }
    return copies;
}

std::vector<CounterCopy> SessionCounterCopiesOfThisInstall() {
#if defined(DVT_MACHINE_SETTINGS_FOLDER)
    const std::string machineFolder = DVT_MACHINE_SETTINGS_FOLDER "/";
#else
    const std::string machineFolder;
#endif
    return SessionCounterCopies(machineFolder, platform::ProgramFolder(),
                                platform::UserConfigFolder());
}

std::int32_t DrawSessionNumber(const std::vector<CounterCopy>& copies) {
    std::vector<OpenCopy> open(copies.size());
    std::vector<std::string> tried;
    std::string reason = "nenhum arquivo de configurações";

    // Locks in the order of the list, the same in every process, so two
    // processes never wait for each other crosswise. The first copy's folder
    // must exist; a later copy (the user's) has its folder made only when no
    // copy before it can be locked, and is otherwise opened only when it is
    // there already, to be brought up with the others.
    bool earlierLocked = false;
    for (std::size_t i = 0; i < copies.size(); ++i) {
        open[i].copy = &copies[i];
        if (copies[i].writable) {
            tried.push_back(copies[i].path);
            const bool mayCreateFolder = i > 0 && !earlierLocked;
            const std::filesystem::path folder =
                std::filesystem::path(copies[i].path).parent_path();
            std::error_code error;
            if (mayCreateFolder || i == 0 || std::filesystem::is_directory(folder, error)) {
                const std::string failure = LockCopy(open[i], mayCreateFolder);
                if (!failure.empty()) {
                    reason = failure;
                }
                earlierLocked = earlierLocked || open[i].lock != nullptr;
            }
        }
        ReadCopy(open[i]);
    }

    // The counter never goes back: the next number follows the highest of
    // all the copies, read-only ones included.
    std::int32_t highest = 0;
    std::string seed;
    bool seedFound = false;
    for (const OpenCopy& copy : open) {
        if (const std::optional<std::int32_t> stored = StoredNumber(copy)) {
            highest = std::max(highest, *stored);
            if (!seedFound) {
                seed = *copy.text;
                seedFound = true;
            }
        }
    }
    std::int32_t next = SessionNumberAfter(highest);

    // Every copy this process may write is brought up to the number; a
    // missing one is made only when no copy before it took the number.
    bool written = false;
    for (const OpenCopy& copy : open) {
        if (!copy.lock || (!copy.exists && written)) {
            continue;
        }
        const std::string failure = WriteCopy(copy, next, seed);
        if (failure.empty()) {
            written = true;
        } else {
            reason = failure;
        }
    }

    // Nothing took it (a full disk, a read-only file): the later copies that
    // were left alone are tried as a last resort, their folders made.
    for (std::size_t i = 1; !written && i < open.size(); ++i) {
        if (!copies[i].writable || open[i].attempted) {
            continue;
        }
        const std::string failure = LockCopy(open[i], true);
        if (!failure.empty()) {
            reason = failure;
            continue;
        }
        ReadCopy(open[i]);
        if (const std::optional<std::int32_t> stored = StoredNumber(open[i])) {
            next = SessionNumberAfter(std::max(highest, *stored));
        }
        const std::string writeFailure = WriteCopy(open[i], next, seed);
        written = writeFailure.empty();
        if (!written) {
            reason = writeFailure;
        }
    }

    if (!written) {
        throw SettingsFileError(tried.empty() ? std::vector<std::string>{std::string()} : tried,
                                reason);
    }
    return next;
}

std::int32_t DrawSessionNumber(const std::string& settingsFilePath,
                               const std::string& userSettingsFilePath) {
    std::vector<CounterCopy> copies{{settingsFilePath, true}};
    if (!userSettingsFilePath.empty()) {
        copies.push_back({userSettingsFilePath, true});
    }
    return DrawSessionNumber(copies);
}
