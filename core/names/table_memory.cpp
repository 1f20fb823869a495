#include "core/names/table_memory.hpp"

#include <sys/mman.h>

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
  // Advice only: without transparent huge pages the table simply uses normal pages.
  ::madvise(memory, rounded, MADV_HUGEPAGE);
  std::memset(memory, 0, rounded);
  return memory;
}

}  // namespace velorium
