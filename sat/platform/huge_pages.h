#pragma once
// Large buffers (device logs of tens of MB, their Base64 answers) are filled
// once, front to back, right after they are allocated. On Linux every fresh
// 4 KiB page then costs a page fault, and on virtual machines that is most of
// the work: 48 MiB take about 12,000 faults. Transparent huge pages turn them
// into a few dozen, where the system offers them on request.

#include <cstddef>

namespace platform {

// Buffers smaller than this are left to the ordinary pages.
inline constexpr std::size_t kHugePageWorthwhile = std::size_t{4} << 20;

// A huge page's size and alignment (x86-64, and arm64 with 4 KiB pages). Only
// whole frames can be huge pages: a buffer that starts and ends on a frame's
// edge lies on them whole, where the ordinary pages of a partial first and
// last frame cost up to 1,024 faults.
inline constexpr std::size_t kHugePageFrame = std::size_t{2} << 20;

// Asks the system to back [data, data + size) with huge pages where they fit
// whole. Call it before the memory is first written; a no-op for buffers under
// kHugePageWorthwhile and where the platform has no such request.
void PreferHugePages(void* data, std::size_t size) noexcept;

} // namespace platform
