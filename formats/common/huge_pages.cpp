#include "formats/common/huge_pages.hpp"

#include <sys/mman.h>

#include <cstdint>

namespace velorium {

void adviseHugePages(void* data, std::size_t bytes) noexcept {
#if defined(MADV_HUGEPAGE)
  constexpr std::uintptr_t kHugePage = std::uintptr_t{1} << 21;
  if (data == nullptr || bytes < 2 * kHugePage) return;
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t last = (start + bytes) & ~(kHugePage - 1);
  if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)data;
  (void)bytes;
#endif
}

}  // namespace velorium
