#include "formats/mps/mps_entry_buffer.hpp"

#include <sys/mman.h>

#include <cstdint>
#include <new>

namespace velorium {

MpsEntryBuffer::~MpsEntryBuffer() { clear(); }

void MpsEntryBuffer::clear() {
  for (Chunk& chunk : chunks_) releaseChunk(chunk);
  chunks_.clear();
  runs_ = std::vector<Run>();
  used_ = kChunkEntries;
  count_ = 0;
  last_column_ = -1;
}

void MpsEntryBuffer::addChunk() {
  chunks_.reserve(chunks_.size() + 1);  // a failure here leaves nothing mapped
  // Mapped directly rather than taken from the heap: a freed heap block stays with the
  // process, an unmapped chunk does not. A chunk is one huge page where the system allows
  // it (one page fault instead of 512), so its range is aligned to its size.
  const std::size_t bytes = kChunkBytes;
  void* mapped = ::mmap(nullptr, 2 * bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(mapped);
  const std::uintptr_t aligned = (start + bytes - 1) & ~(std::uintptr_t{bytes} - 1);
  if (aligned > start) ::munmap(mapped, aligned - start);
  if (aligned + bytes < start + 2 * bytes) ::munmap(reinterpret_cast<void*>(aligned + bytes), start + 2 * bytes - aligned - bytes);
#if defined(MADV_HUGEPAGE)
  ::madvise(reinterpret_cast<void*>(aligned), bytes, MADV_HUGEPAGE);
#endif
  Chunk chunk;
  chunk.rows = reinterpret_cast<std::int32_t*>(aligned);
  static_assert(kChunkEntries * sizeof(std::int32_t) % alignof(double) == 0, "the values must be aligned");
  chunk.values = reinterpret_cast<double*>(aligned + kChunkEntries * sizeof(std::int32_t));
  chunks_.push_back(chunk);
  used_ = 0;
}

void MpsEntryBuffer::releaseChunk(Chunk& chunk) {
  if (chunk.rows != nullptr) ::munmap(chunk.rows, kChunkBytes);
  chunk = Chunk{};
}

}  // namespace velorium
