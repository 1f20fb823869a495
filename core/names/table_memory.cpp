#include "core/names/table_memory.hpp"

#include <sys/mman.h>

#include <cstdint>
#include <cstring>

namespace velorium {

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
}

void* allocate_table_bytes(std::size_t bytes) {
  if (bytes == 0) bytes = 1;
  if (bytes < kHugePage) {
    void* memory = std::calloc(1, bytes);
    if (!memory) throw std::bad_alloc();
    return memory;
  }
  const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  void* memory = std::aligned_alloc(kHugePage, rounded);
  if (!memory) throw std::bad_alloc();
  advise_huge_pages(memory, rounded);
  std::memset(memory, 0, rounded);
  return memory;
}

void advise_huge_pages(void* memory, std::size_t bytes) noexcept {
  const auto start = reinterpret_cast<std::uintptr_t>(memory);
  const std::uintptr_t first = (start + kHugePage - 1) / kHugePage * kHugePage;
  const std::uintptr_t end = (start + bytes) / kHugePage * kHugePage;
  // Without transparent huge pages the range simply keeps normal pages.
  if (first < end) ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

}  // namespace velorium
