#include "sat/platform/huge_pages.h"

namespace platform {

// Windows grants large pages only to accounts holding SeLockMemoryPrivilege
// and only through VirtualAlloc, so ordinary buffers stay as they are.
void PreferHugePages(void* /*data*/, std::size_t /*size*/) noexcept {}

} // namespace platform
