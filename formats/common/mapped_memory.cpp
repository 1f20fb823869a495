#include "formats/common/mapped_memory.hpp"

#include <sys/mman.h>

#include <cstdint>
#include <new>
#include <utility>

namespace velorium {

namespace {
constexpr std::size_t kHugePage = std::size_t{1} << 21;
}

MappedMemory::MappedMemory(std::size_t bytes) {
  if (bytes == 0) return;
  const bool huge = bytes >= kHugePage;
  const std::size_t mapped_bytes = huge ? bytes + kHugePage : bytes;
  if (mapped_bytes < bytes) throw std::bad_alloc();
  void* mapped = ::mmap(nullptr, mapped_bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  auto start = reinterpret_cast<std::uintptr_t>(mapped);
  if (huge) {
    // Keep the aligned part only.
    const std::uintptr_t aligned = (start + kHugePage - 1) & ~(std::uintptr_t{kHugePage} - 1);
    if (aligned > start) ::munmap(mapped, aligned - start);
    const std::uintptr_t end = start + mapped_bytes;
    if (aligned + bytes < end) ::munmap(reinterpret_cast<void*>(aligned + bytes), end - aligned - bytes);
    start = aligned;
#if defined(MADV_HUGEPAGE)
    ::madvise(reinterpret_cast<void*>(start), bytes, MADV_HUGEPAGE);
#endif
  }
  data_ = reinterpret_cast<void*>(start);
  bytes_ = bytes;
}

MappedMemory::~MappedMemory() {
  if (data_ != nullptr) ::munmap(data_, bytes_);
}

MappedMemory& MappedMemory::operator=(MappedMemory&& other) noexcept {
  if (this != &other) {
    if (data_ != nullptr) ::munmap(data_, bytes_);
    data_ = std::exchange(other.data_, nullptr);
    bytes_ = std::exchange(other.bytes_, 0);
  }
  return *this;
}

}  // namespace velorium
