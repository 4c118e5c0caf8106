#include "sat/session_counter.h"

#include <filesystem>
#include <fstream>
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

// Draws the next number from the file at path. seedWhenMissing, when given,
// is the text a file that does not exist yet starts from.
std::int32_t DrawFrom(const std::string& path, const std::optional<std::string>& seedWhenMissing) {
    if (path.empty()) {
        throw SettingsFileError({path}, "pasta do programa desconhecida");
    }
    // A lock file beside the settings: the settings file itself is replaced
    // by a rename on every write, so a lock on it would not outlive the write.
    const std::string lockFilePath = path + ".lock";
    const platform::ExclusiveFileLock lock(lockFilePath);
    if (!lock.IsHeld()) {
        throw SettingsFileError({path}, lockFilePath + ": " + lock.Error());
    }

    RemoveLeftoverTemporaryFiles(path);

    std::error_code error;
    const bool missing =
        std::filesystem::status(path, error).type() == std::filesystem::file_type::not_found;
    const std::optional<std::string> text =
        missing && seedWhenMissing ? seedWhenMissing : ReadSettingsText(path);
    if (!text) {
        throw SettingsFileError({path}, "o arquivo existe mas não pode ser lido");
    }
    const std::int32_t next =
        SessionNumberAfter(ReadProfileInteger(*text, kSessionSection, kSessionKey, 0));
    const std::string updated =
        WriteProfileString(*text, kSessionSection, kSessionKey, std::to_string(next));
    const platform::FileWriteResult written = platform::ReplaceFileAtomically(path, updated);
    if (!written.ok) {
        throw SettingsFileError({path}, written.error);
    }
    return next;
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
    : std::runtime_error(std::string(kCannotWriteSettings) + " " +
                         JoinedPaths(filePaths, " nem ") + ": " + reason),
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

std::string SettingsFilePathBesideProgram() {
    const std::string folder = platform::ProgramFolder();
    return folder.empty() ? std::string() : folder + std::string(kSettingsFileName);
}

std::string SettingsFilePathForUser() {
    const std::string folder = platform::UserConfigFolder();
    return folder.empty() ? std::string() : folder + std::string(kSettingsFileName);
}

std::int32_t DrawSessionNumber(const std::string& settingsFilePath,
                               const std::string& userSettingsFilePath) {
    try {
        return DrawFrom(settingsFilePath, std::nullopt);
    } catch (const SettingsFileError& besideProgram) {
        if (userSettingsFilePath.empty()) {
            throw;
        }
        std::vector<std::string> tried{settingsFilePath, userSettingsFilePath};
        std::error_code error;
        const std::filesystem::path folder =
            std::filesystem::path(userSettingsFilePath).parent_path();
        if (!folder.empty()) {
            std::filesystem::create_directories(folder, error);
        }
        if (error) {
            throw SettingsFileError(std::move(tried), error.message());
        }
        try {
            return DrawFrom(userSettingsFilePath,
                            settingsFilePath.empty()
                                ? std::optional<std::string>(std::string())
                                : ReadSettingsText(settingsFilePath).value_or(std::string()));
        } catch (const SettingsFileError& user) {
            throw SettingsFileError(std::move(tried), user.Reason());
        }
    }
}
