#include "sat/platform/huge_pages.h"

#include <sys/mman.h>

#include <cstdint>

namespace platform {

void PreferHugePages(void* data, std::size_t size) noexcept {
#if defined(MADV_HUGEPAGE)
    if (data == nullptr || size < kHugePageWorthwhile) {
        return;
    }
    // Only whole 2 MiB frames inside the buffer can be huge pages; the
    // advice is given for exactly those, so memory outside the buffer that
    // shares its mapping is never touched.
    constexpr std::uintptr_t kFrame = kHugePageFrame;
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + kFrame - 1) & ~(kFrame - 1);
    const std::uintptr_t last = (begin + size) & ~(kFrame - 1);
    if (last > first) {
        // Advice only: where the system refuses it (no THP, "never"), the
        // buffer simply stays on ordinary pages.
        (void)madvise(static_cast<char*>(data) + (first - begin), last - first, MADV_HUGEPAGE);
    }
#else
    (void)data;
    (void)size;
#endif
}

} // namespace platform
