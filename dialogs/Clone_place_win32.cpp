// The count is one 32-bit integer in a named, page-file backed mapping of
// 4 bytes. The compare-and-increment is one interlocked step, so two copies
// started at the same instant cannot both take the last place. The system
// discards the mapping, and its count, when the last copy closes its handle.
#if defined(_WIN32)

#include "dialogs/Clone_place.h"

#include <windows.h>

namespace clone_detail {
namespace {

class CountedPlace : public InstancePlace {
public:
    explicit CountedPlace(HANDLE mapping, bool counted) : mapping_(mapping), counted_(counted) {}
    ~CountedPlace() override {
        if (counted_) {
            if (void* view = MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, sizeof(LONG))) {
                InterlockedDecrement(static_cast<volatile LONG*>(view));
                UnmapViewOfFile(view);
            }
        }
        CloseHandle(mapping_);
    }

private:
    HANDLE mapping_;
    bool counted_;
};

} // namespace

PlaceAttempt TakeInstancePlace(const QString& blockName, int maxInstance) {
    const HANDLE mapping =
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LONG),
                           reinterpret_cast<LPCWSTR>(blockName.utf16()));
    if (mapping == nullptr) {
        return {};
    }
    void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(LONG));
    if (view == nullptr) {
        // The copy keeps the handle and runs without a count of its own.
        return {PlaceResult::Taken, std::make_unique<CountedPlace>(mapping, false)};
    }
    auto* count = static_cast<volatile LONG*>(view);
    for (;;) {
        const LONG seen = *count;
        if (seen >= maxInstance) {
            UnmapViewOfFile(view);
            CloseHandle(mapping);
            return {PlaceResult::AllTaken, nullptr};
        }
        if (InterlockedCompareExchange(count, seen + 1, seen) == seen) {
            break;
        }
    }
    UnmapViewOfFile(view);
    return {PlaceResult::Taken, std::make_unique<CountedPlace>(mapping, true)};
}

} // namespace clone_detail

#endif
