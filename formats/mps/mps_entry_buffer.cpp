#include "formats/mps/mps_entry_buffer.hpp"

#include <sys/mman.h>

#include <new>

namespace velorium {

MpsEntryBuffer::~MpsEntryBuffer() { clear(); }

void MpsEntryBuffer::expectRows(std::size_t rows) {
  if (count_ != 0) return;
  // About kTargetBlocks blocks: few enough to keep one chunk per block in hand while reading,
  // small enough that a block's rows stay near the processor while their terms are built.
  unsigned shift = kMinimumBlockShift;
  while (shift < kMaximumBlockShift && (rows >> shift) > kTargetBlocks) ++shift;
  block_shift_ = shift;
}

void MpsEntryBuffer::clear() {
  for (Block& block : blocks_) releaseBlock(block);
  blocks_ = std::vector<Block>();
  count_ = 0;
}

void MpsEntryBuffer::addChunk(Block& block) {
  block.chunks.reserve(block.chunks.size() + 1);  // a failure here leaves nothing mapped
  // Mapped directly rather than taken from the heap: a freed heap block stays with the
  // process, an unmapped chunk does not.
  void* mapped = ::mmap(nullptr, kChunkBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  block.chunks.push_back(static_cast<Entry*>(mapped));
  block.used = 0;
}

void MpsEntryBuffer::releaseBlock(Block& block) {
  for (Entry* chunk : block.chunks) ::munmap(chunk, kChunkBytes);
  block.chunks = std::vector<Entry*>();
  block.used = kChunkEntries;
}

}  // namespace velorium
