// The SAT library loaded into this process: kept for the core tests, which
// script a fake library through its own exports.

#include "sat/library_access.h"
#include "sat/platform/dynamic_library.h"

namespace {

class InProcessLibrary final : public SatLibraryAccess {
public:
    InProcessLibrary() = default;
    explicit InProcessLibrary(const SatEntryPoints& entries) : entries_(entries), loaded_(true) {}

    bool Load(const std::string& fullPath, std::string& error) override {
        const platform::LibraryLoadResult loaded = platform::LoadLibraryByPath(fullPath);
        if (loaded.handle == nullptr) {
            error = loaded.error;
            return false;
        }
        SatEntryPoints resolved;
        ResolveSatEntryPoints(resolved, loaded.handle);
        entries_ = resolved;
        loaded_ = true;
        return true;
    }

    bool Loaded() const override { return loaded_; }

    bool HasExport(SatExport which) const override {
        return IsSatEntryPointLoaded(entries_, which);
    }

    SatLibraryAnswer Call(SatExport which, std::span<const SatArgument> arguments) override {
        const char* answer = InvokeSatExport(entries_, which, arguments);
        return answer == nullptr ? SatLibraryAnswer{} : SatLibraryAnswer{true, answer};
    }

private:
    SatEntryPoints entries_;
    bool loaded_ = false;
};

} // namespace

SatHostEnded::SatHostEnded(Cause cause, std::string how)
    : std::runtime_error("a biblioteca SAT encerrou: " + how), cause_(cause), how_(std::move(how)) {
}

std::unique_ptr<SatLibraryAccess> MakeInProcessLibrary() {
    return std::make_unique<InProcessLibrary>();
}

std::unique_ptr<SatLibraryAccess> MakeInProcessLibrary(const SatEntryPoints& entries) {
    return std::make_unique<InProcessLibrary>(entries);
}
