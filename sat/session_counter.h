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
// lock not available), nor any other copy of the counter that this program
// may write. FilePaths() holds the files tried, in order of preference;
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

// One copy of the session counter: a settings file, and whether this
// program may write it.
struct CounterCopy {
    std::string path;
    // False: only read, never written (the file beside the programs of a
    // system install, left there by an older version).
    bool writable = true;
};

// The copies of the counter in order of preference. A system install
// (machineFolder given, the Debian package's /var/lib/dravovexa/) keeps one
// counter for the whole machine there and never writes beside the programs;
// otherwise the counter is the file beside the program. The user's copy in
// userFolder comes last: it takes the numbers while no copy before it can
// be written. Folders end with their separator; an empty one is left out
// (an empty programFolder of a plain install gives a copy with an empty
// path, which cannot be written).
std::vector<CounterCopy> SessionCounterCopies(const std::string& machineFolder,
                                              const std::string& programFolder,
                                              const std::string& userFolder);

// The copies for this build of the program and this user.
std::vector<CounterCopy> SessionCounterCopiesOfThisInstall();

// Draws the next session number: reads every copy, takes the number after
// the highest of them (so no number is reused when the program moves from
// one copy to another and back), and writes it into every copy this process
// may write. A missing copy is made only when no copy before it took the
// number; the user's folder is then made as well.
//
// Each copy is read and written under an exclusive lock on
// "<path>.lock", so that two processes never draw the same number, and
// replaced atomically: a crash leaves either the old or the new number. A
// file that exists but cannot be read is not written, since rewriting it
// would throw away whatever else it holds. A new copy starts as the text of
// the first copy that holds a counter. Throws SettingsFileError, naming the
// writable copies, when none can be written; each file then still holds its
// old number.
std::int32_t DrawSessionNumber(const std::vector<CounterCopy>& copies);

// The same with the settings file settingsFilePath and, when given, the
// user's copy userSettingsFilePath after it.
std::int32_t DrawSessionNumber(const std::string& settingsFilePath,
                               const std::string& userSettingsFilePath = {});
