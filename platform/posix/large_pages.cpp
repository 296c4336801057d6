// Large pages on Linux: transparent huge pages, asked for region by region.
#include <sys/mman.h>

#include <cstdint>

#include "files/large_pages.h"

namespace korvel {

void AdviseLargePages(void *data, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
    // Only whole large pages inside the region: the memory around it may belong to something else.
    constexpr std::uintptr_t kLargePage = std::uintptr_t{1} << 21;
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t last = (begin + bytes) & ~(kLargePage - 1);
    if (bytes == 0 || first >= last) return;
    madvise(reinterpret_cast<void *>(first), last - first, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

}  // namespace korvel
