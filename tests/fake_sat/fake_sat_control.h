#pragma once
// Test side of the fake SAT library: where each variant is built, and a
// handle that scripts its answers and reads back the arguments it received.
// The library is opened by the same full path the code under test loads, so
// both share one copy and one state.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class FakeSatVariant {
    Full,                // all seventeen exports
    WithoutOptional,     // no ComunicarCertificadoICPBRASIL, no DesligarSAT
    WithoutConsultarSAT, // everything but ConsultarSAT
    WithoutVersaoDLL,    // everything but VersaoDLL
    WithoutSeveral,      // no AtivarSAT, no ExtrairLogs, no VersaoDLL
};

// Full path of the variant's library file ("libdllsat.so" on Linux), each
// variant in a folder of its own.
std::string FakeSatLibraryPath(FakeSatVariant variant);

struct FakeSatArgument {
    enum class Kind { Number, Text, NullText };
    Kind kind = Kind::Number;
    std::int32_t number = 0;
    std::string text;
};

class FakeSat {
public:
    // Loads the variant (aborting the test program when it cannot) and
    // resets it: default answers, no calls recorded.
    explicit FakeSat(FakeSatVariant variant = FakeSatVariant::Full);

    const std::string& LibraryPath() const { return path_; }

    void Reset();
    // The answer of exportName from now on: any bytes (a NUL ends it, as it
    // would end the library's text).
    void SetAnswer(std::string_view exportName, std::string_view bytes);
    void SetNullAnswer(std::string_view exportName);

    // exportName answers `milliseconds` late from now on (the call is counted
    // when it starts).
    void SetDelay(std::string_view exportName, int milliseconds);

    int CallCount(std::string_view exportName) const;
    // How many threads have called SAT functions since the last reset, and
    // whether the calling thread was one of them.
    int CallerThreadCount() const;
    bool CalledFromThisThread() const;
    // The arguments of the last call of exportName, in order; empty before one.
    std::vector<FakeSatArgument> LastArguments(std::string_view exportName) const;
    // Export names of every call since the last reset, joined by ",".
    std::string CallSequence() const;

private:
    std::string path_;
    void (*reset_)() = nullptr;
    void (*setAnswer_)(const char*, const char*, std::size_t) = nullptr;
    void (*setNullAnswer_)(const char*) = nullptr;
    void (*setDelay_)(const char*, int) = nullptr;
    int (*callCount_)(const char*) = nullptr;
    int (*callerThreadCount_)() = nullptr;
    int (*calledFromThisThread_)() = nullptr;
    int (*argumentCount_)(const char*) = nullptr;
    int (*argumentKind_)(const char*, int) = nullptr;
    std::int32_t (*numberArgument_)(const char*, int) = nullptr;
    const char* (*textArgument_)(const char*, int, std::size_t*) = nullptr;
    const char* (*callSequence_)() = nullptr;
};
