#include "formats/mps/mps_entry_buffer.hpp"

#include <sys/mman.h>

#include <new>

namespace velorium {

MpsEntryBuffer::~MpsEntryBuffer() {
  for (Entry* chunk : chunks_) releaseChunk(chunk);
}

void MpsEntryBuffer::addChunk() {
  chunks_.reserve(chunks_.size() + 1);  // a failure here leaves nothing mapped
  // Mapped directly rather than taken from the heap: a freed heap block stays with the
  // process, an unmapped chunk does not.
  void* memory = ::mmap(nullptr, kChunkEntries * sizeof(Entry), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) throw std::bad_alloc();
  chunks_.push_back(static_cast<Entry*>(memory));
  used_ = 0;
}

void MpsEntryBuffer::releaseChunk(Entry* chunk) {
  if (chunk != nullptr) ::munmap(chunk, kChunkEntries * sizeof(Entry));
}

}  // namespace velorium
