#include "core/names/table_memory.hpp"

#include <sys/mman.h>

#include <cstdint>
#include <cstring>

namespace velorium {

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Linux's MADV_COLLAPSE (since 6.1), which older C library headers lack; systems without it
// refuse the advice and keep 4 KiB pages.
constexpr int kCollapseIntoHugePages = 25;
}

void* allocate_table_bytes(std::size_t bytes) {
  if (bytes == 0) bytes = 1;
  if (bytes < kHugePage) {
    void* memory = std::calloc(1, bytes);
    if (!memory) throw std::bad_alloc();
    return memory;
  }
  const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  void* memory = allocate_huge_page_bytes(rounded);
  std::memset(memory, 0, rounded);
  return memory;
}

void* allocate_huge_page_bytes(std::size_t bytes) {
  void* memory = std::aligned_alloc(kHugePage, bytes);
  if (!memory) throw std::bad_alloc();
  advise_huge_pages(memory, bytes);
  return memory;
}

void advise_huge_pages(void* memory, std::size_t bytes) noexcept {
  const auto start = reinterpret_cast<std::uintptr_t>(memory);
  const std::uintptr_t first = (start + kHugePage - 1) / kHugePage * kHugePage;
  const std::uintptr_t end = (start + bytes) / kHugePage * kHugePage;
  // Without transparent huge pages the range simply keeps normal pages.
  if (first < end) ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

std::size_t huge_page_capacity(std::size_t capacity, std::size_t element_bytes) noexcept {
  // Room for the allocator's header of a mapped buffer (two words) and its rounding.
  constexpr std::size_t kHeaderRoom = 32;
  if (capacity > (static_cast<std::size_t>(-1) - kHugePage - kHeaderRoom) / element_bytes) return capacity;
  const std::size_t pages = (capacity * element_bytes + kHeaderRoom + kHugePage - 1) / kHugePage;
  return (pages * kHugePage - kHeaderRoom) / element_bytes;
}

void advise_huge_pages_of_buffer(void* memory, std::size_t bytes) noexcept {
  // The allocator's header of a mapped buffer, at most.
  constexpr std::uintptr_t kHeader = 64;
  const auto start = reinterpret_cast<std::uintptr_t>(memory);
  const std::uintptr_t first = start / kHugePage * kHugePage;
  const std::uintptr_t end = (start + bytes + kHugePage - 1) / kHugePage * kHugePage;
  if (start - first <= kHeader && end - (start + bytes) <= kHeader) {
    ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
    // Writing the header has put a 4 KiB page into the first 2 MiB already, and the system
    // would fill the rest of it 4 KiB page by page; collapsing it now makes it one huge page.
    ::madvise(reinterpret_cast<void*>(first), kHugePage, kCollapseIntoHugePages);
  } else {
    advise_huge_pages(memory, bytes);
  }
}

}  // namespace velorium
