#include "formats/common/fresh_memory.hpp"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace velorium {

void populateForWrite(void* memory, std::size_t bytes) noexcept {
#if defined(__linux__)
  constexpr int kPopulateWrite = 23;  // MADV_POPULATE_WRITE, Linux 5.14
  static const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const std::uintptr_t first = (reinterpret_cast<std::uintptr_t>(memory) + page - 1) & ~(page - 1);
  const std::uintptr_t last = (reinterpret_cast<std::uintptr_t>(memory) + bytes) & ~(page - 1);
  if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, kPopulateWrite);
#else
  (void)memory;
  (void)bytes;
#endif
}

}  // namespace velorium
