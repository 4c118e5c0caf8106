#pragma once
// The session counter: the last session number handed out, kept in the
// profile ("INI") settings file beside the program, and the profile-text
// reading and writing it needs. Profile section and key names compare
// without regard to letter case.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view kSettingsFileName = "dravovexa.ini";
inline constexpr std::string_view kSessionSection = "VEXA";
inline constexpr std::string_view kSessionKey = "VEXAS";
inline constexpr std::int32_t kLastSessionNumber = 999999;

// The settings file cannot be written (read-only file or folder, disk full,
// lock not available), nor, when there is one, the user's copy of it.
// FilePaths() holds the files tried, the one beside the program first;
// what() names them all, in Portuguese (UTF-8).
class SettingsFileError : public std::runtime_error {
public:
    SettingsFileError(std::vector<std::string> filePaths, const std::string& reason);
    const std::string& FilePath() const { return filePaths_.front(); }
    const std::vector<std::string>& FilePaths() const { return filePaths_; }
    // Why the last file tried could not be written, in the platform's words.
    const std::string& Reason() const { return reason_; }

private:
    std::vector<std::string> filePaths_;
    std::string reason_;
};

// The message that tells the user about error, for the message dialog:
// "Não foi possível gravar o arquivo de configurações" and each file tried on
// a line of its own (Windows-1252, lines joined by CR LF, no marker).
std::string SettingsFileErrorMessage(const SettingsFileError& error);

// The integer value of key in section of a profile text: optional sign, then
// decimal digits or hexadecimal after "0x", "0X" or "$", blanks around it
// ignored. A missing section or key, or a value that is not such a 32-bit
// integer as a whole, gives defaultValue. Pure: usable on any input.
std::int32_t ReadProfileInteger(std::string_view text, std::string_view section,
                                std::string_view key, std::int32_t defaultValue);

// The profile text with key of section set to value. Every other line,
// comment, section and key stays byte for byte; the key is added to the end
// of its section, and the section to the end of the text, when missing.
std::string WriteProfileString(std::string_view text, std::string_view section,
                               std::string_view key, std::string_view value);

// The number that follows stored: stored + 1, wrapping from 999999 to 1. A
// stored value outside 1 to 999999 (a hand-edited -5) gives 1, since no
// device takes such a session number.
std::int32_t SessionNumberAfter(std::int32_t stored);

// The settings file beside the program: ProgramFolder() + "dravovexa.ini".
std::string SettingsFilePathBesideProgram();

// The user's copy: UserConfigFolder() + "dravovexa.ini"; empty when the
// platform cannot tell the user's folder.
std::string SettingsFilePathForUser();

// Reads the counter from the settings file at settingsFilePath (a missing
// file, section or key, or a value that is not an integer, counts as 0),
// computes the next number and writes it back, all under an exclusive lock
// on "<settingsFilePath>.lock" so that two processes never draw the same
// number. The file is replaced atomically: a crash leaves either the old or
// the new number. A file that exists but cannot be read is refused, since
// rewriting it would throw away whatever else it holds.
//
// When that file cannot be written and userSettingsFilePath is given, the
// number is drawn from the user's copy instead (its folder created when
// missing), the way an old Windows system redirects a program's writes to a
// protected folder: the copy starts as the file beside the program was, so
// the numbers go on where they stood, and it is used as long as the program's
// folder cannot be written. Throws SettingsFileError when no file can be
// written; each file then still holds its old number.
std::int32_t DrawSessionNumber(const std::string& settingsFilePath,
                               const std::string& userSettingsFilePath = {});
