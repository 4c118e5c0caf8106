#pragma once
// The command line of dravovexa-cli: one command, its positional arguments
// and its options, checked against what each command accepts.

#include <map>
#include <optional>
#include <string>
#include <vector>

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitRefused = 1;   // the operation's result is false, or a rule refused
inline constexpr int kExitUsage = 2;     // the command line itself is wrong
inline constexpr int kExitNoLibrary = 3; // the SAT library cannot be found or loaded
inline constexpr int kExitTimeLimit = 4; // the SAT library outlasted --tempo-limite
inline constexpr int kExitHostEnded = 5; // the SAT library's process ended during the call

struct CliRequest {
    bool help = false;
    std::string command;
    std::vector<std::string> positionals;      // as typed (UTF-8)
    std::map<std::string, std::string> values; // option name without "--" -> value (UTF-8)
    std::vector<std::string> flags;            // options without a value

    bool Has(const std::string& option) const { return values.count(option) != 0; }
    std::optional<std::string> Value(const std::string& option) const;
    bool Flag(const std::string& flag) const;
};

struct CliParseResult {
    CliRequest request;
    std::string error; // UTF-8, empty when the command line is usable
};

// Options go anywhere after the program name, as "--name value" or
// "--name=value"; "--help" (or "-h") anywhere asks for the help text.
CliParseResult ParseCliArguments(const std::vector<std::string>& arguments);

// The seconds of --tempo-limite: a whole number from 1 to kMaxTimeLimitSeconds
// (digits only); nothing otherwise.
inline constexpr int kMaxTimeLimitSeconds = 86400;
std::optional<int> ParseTimeLimitSeconds(const std::string& text);

// The help text (UTF-8): the commands and options, in Portuguese.
std::string CliHelpText();
