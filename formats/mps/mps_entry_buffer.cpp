#include "formats/mps/mps_entry_buffer.hpp"

#include <new>

#include "formats/common/fresh_memory.hpp"

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
  block.chunks.reserve(block.chunks.size() + 1);  // a failure here leaves nothing allocated
  // From the heap: the rows' term lists, allocated while the chunks are given back block by
  // block, reuse the chunks' memory instead of faulting in fresh pages.
  auto* chunk = static_cast<Entry*>(::operator new(kChunkBytes));
  block.chunks.push_back(chunk);
  block.used = 0;
  populateForWrite(chunk, kChunkBytes);
}

void MpsEntryBuffer::releaseBlock(Block& block) {
  for (Entry* chunk : block.chunks) ::operator delete(chunk);
  block.chunks = std::vector<Entry*>();
  block.used = kChunkEntries;
}

}  // namespace velorium
