#pragma once
// The session counter: the last session number handed out, kept in the
// profile ("INI") settings file beside the program, and the profile-text
// reading and writing it needs. Profile section and key names compare
// without regard to letter case.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

inline constexpr std::string_view kSettingsFileName = "dravovexa.ini";
inline constexpr std::string_view kSessionSection = "VEXA";
inline constexpr std::string_view kSessionKey = "VEXAS";
inline constexpr std::int32_t kLastSessionNumber = 999999;

// The settings file cannot be written (read-only file or folder, disk full,
// lock not available). what() names the file.
class SettingsFileError : public std::runtime_error {
public:
    SettingsFileError(const std::string& filePath, const std::string& reason);
    const std::string& FilePath() const { return filePath_; }

private:
    std::string filePath_;
};

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

// The number that follows stored: stored + 1, wrapping from 999999 to 1.
// A negative stored value is carried forward (-5 gives -4).
std::int32_t SessionNumberAfter(std::int32_t stored);

// The settings file beside the program: ProgramFolder() + "dravovexa.ini".
std::string SettingsFilePathBesideProgram();

// Reads the counter from the settings file at settingsFilePath (a missing
// file, section or key, or a value that is not an integer, counts as 0),
// computes the next number and writes it back, all under an exclusive lock
// on "<settingsFilePath>.lock" so that two processes never draw the same
// number. The file is replaced atomically: a
// crash leaves either the old or the new number. Throws SettingsFileError
// when the number cannot be stored; the file then still holds the old one.
// A file that exists but cannot be read is refused the same way, since
// rewriting it would throw away whatever else it holds.
std::int32_t DrawSessionNumber(const std::string& settingsFilePath);
