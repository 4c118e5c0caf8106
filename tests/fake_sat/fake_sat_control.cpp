#include "tests/fake_sat/fake_sat_control.h"

#include <cstdio>
#include <cstdlib>

#include "sat/platform/dynamic_library.h"
#include "sat/platform/sat_library_file.h"
#include "tests/fake_sat/fake_sat_api.h"

namespace {

std::string VariantFolder(FakeSatVariant variant) {
    switch (variant) {
    case FakeSatVariant::Full:
        return "full";
    case FakeSatVariant::WithoutOptional:
        return "without_optional";
    case FakeSatVariant::WithoutConsultarSAT:
        return "without_consultar_sat";
    case FakeSatVariant::WithoutVersaoDLL:
        return "without_versao_dll";
    case FakeSatVariant::WithoutSeveral:
        return "without_several";
    }
    return "full";
}

[[noreturn]] void Abort(const std::string& why) {
    std::fprintf(stderr, "fake SAT library: %s\n", why.c_str());
    std::abort();
}

template <typename Fn> void Bind(Fn& function, platform::LibraryHandle handle, const char* name) {
    function = reinterpret_cast<Fn>(platform::FindLibraryExport(handle, name));
    if (function == nullptr) {
        Abort(std::string("missing control export ") + name);
    }
}

std::string Name(std::string_view exportName) {
    return std::string(exportName);
}

} // namespace

std::string FakeSatLibraryPath(FakeSatVariant variant) {
    return std::string(DVT_FAKE_SAT_FOLDER) + platform::kPathSeparator + VariantFolder(variant) +
           platform::kPathSeparator + std::string(platform::kSatLibraryFileName);
}

FakeSat::FakeSat(FakeSatVariant variant) : path_(FakeSatLibraryPath(variant)) {
    const platform::LibraryLoadResult loaded = platform::LoadLibraryByPath(path_);
    if (loaded.handle == nullptr) {
        Abort(path_ + ": " + loaded.error);
    }
    Bind(reset_, loaded.handle, "FakeSat_Reset");
    Bind(setAnswer_, loaded.handle, "FakeSat_SetAnswer");
    Bind(setNullAnswer_, loaded.handle, "FakeSat_SetNullAnswer");
    Bind(setDelay_, loaded.handle, "FakeSat_SetDelay");
    Bind(callCount_, loaded.handle, "FakeSat_CallCount");
    Bind(callerThreadCount_, loaded.handle, "FakeSat_CallerThreadCount");
    Bind(calledFromThisThread_, loaded.handle, "FakeSat_CalledFromThisThread");
    Bind(argumentCount_, loaded.handle, "FakeSat_LastArgumentCount");
    Bind(argumentKind_, loaded.handle, "FakeSat_LastArgumentKind");
    Bind(numberArgument_, loaded.handle, "FakeSat_LastNumberArgument");
    Bind(textArgument_, loaded.handle, "FakeSat_LastTextArgument");
    Bind(callSequence_, loaded.handle, "FakeSat_CallSequence");
    Reset();
}

void FakeSat::Reset() {
    reset_();
}

void FakeSat::SetAnswer(std::string_view exportName, std::string_view bytes) {
    setAnswer_(Name(exportName).c_str(), bytes.data(), bytes.size());
}

void FakeSat::SetNullAnswer(std::string_view exportName) {
    setNullAnswer_(Name(exportName).c_str());
}

void FakeSat::SetDelay(std::string_view exportName, int milliseconds) {
    setDelay_(Name(exportName).c_str(), milliseconds);
}

int FakeSat::CallCount(std::string_view exportName) const {
    return callCount_(Name(exportName).c_str());
}

int FakeSat::CallerThreadCount() const {
    return callerThreadCount_();
}

bool FakeSat::CalledFromThisThread() const {
    return calledFromThisThread_() != 0;
}

std::vector<FakeSatArgument> FakeSat::LastArguments(std::string_view exportName) const {
    const std::string name = Name(exportName);
    std::vector<FakeSatArgument> arguments;
    const int count = argumentCount_(name.c_str());
    for (int i = 0; i < count; ++i) {
        FakeSatArgument argument;
        switch (argumentKind_(name.c_str(), i)) {
        case kFakeSatTextArgument: {
            argument.kind = FakeSatArgument::Kind::Text;
            std::size_t length = 0;
            const char* text = textArgument_(name.c_str(), i, &length);
            argument.text.assign(text, length);
            break;
        }
        case kFakeSatNullTextArgument:
            argument.kind = FakeSatArgument::Kind::NullText;
            break;
        default:
            argument.number = numberArgument_(name.c_str(), i);
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

std::string FakeSat::CallSequence() const {
    return callSequence_();
}
