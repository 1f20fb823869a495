#include "formats/mps/mps_entry_buffer.hpp"

#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace velorium {

MpsEntryBuffer::~MpsEntryBuffer() { clear(); }

// Asks the system for the pages of fresh memory at once: faulting them in one by one, as the
// entries are written, costs much more per page (most of all in a virtual machine). A hint
// only: older systems refuse it and the pages come as they are written.
void MpsEntryBuffer::populate(void* memory, std::size_t bytes) {
#if defined(__linux__)
  constexpr int kPopulateWrite = 23;  // MADV_POPULATE_WRITE, Linux 5.14
  static const std::uintptr_t page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const std::uintptr_t first = (reinterpret_cast<std::uintptr_t>(memory) + page - 1) & ~(page - 1);
  const std::uintptr_t last = (reinterpret_cast<std::uintptr_t>(memory) + bytes) & ~(page - 1);
  if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, kPopulateWrite);
#else
  (void)memory;
  (void)bytes;
#endif
}

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
  populate(chunk, kChunkBytes);
}

void MpsEntryBuffer::releaseBlock(Block& block) {
  for (Entry* chunk : block.chunks) ::operator delete(chunk);
  block.chunks = std::vector<Entry*>();
  block.used = kChunkEntries;
}

}  // namespace velorium
