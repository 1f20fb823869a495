// The COLUMNS entries of the rows, kept until the rows' term lists are built.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/base/prefetch.hpp"

namespace velorium {

// Entries arrive column by column; the rows' term lists are built from them only once the
// file is read, at their exact size. The entries are kept apart by blocks of neighbouring
// rows, so that building the terms of one block touches only that block's rows (memory that
// stays near the processor), and in chunks from the heap, each freed as soon as its block is
// built, so the entries and the terms are hardly ever held twice and the term lists of the
// next blocks reuse the freed memory. An entry takes 16 bytes, as a term does: its value,
// its column and its row within the block.
class MpsEntryBuffer {
 public:
  MpsEntryBuffer() = default;
  ~MpsEntryBuffer();
  MpsEntryBuffer(const MpsEntryBuffer&) = delete;
  MpsEntryBuffer& operator=(const MpsEntryBuffer&) = delete;

  // Chooses the block size for about `rows` rows; has no effect once an entry is in.
  void expectRows(std::size_t rows);

  // Throws std::bad_alloc when no chunk can be allocated.
  void push(std::int32_t row, std::int32_t column, double value) {
    const auto block_index = static_cast<std::size_t>(row) >> block_shift_;
    if (block_index >= blocks_.size()) blocks_.resize(block_index + 1);
    Block& block = blocks_[block_index];
    if (block.used == kChunkEntries) addChunk(block);
    const auto row_in_block = static_cast<std::uint32_t>(static_cast<std::size_t>(row) & ((std::size_t{1} << block_shift_) - 1));
    Entry* const at = block.chunks.back() + block.used++;
    *at = Entry{value, column, row_in_block};
    // The blocks are written in many streams at once, too many for the processor to see them
    // coming: ask for the memory of the next entries of this block (four share a cache line)
    // long before they are written.
    if (block.used % kEntriesPerLine == 0 && block.used + kEntriesPerLine < kChunkEntries) prefetchForWrite(at + 1 + kEntriesPerLine);
    ++count_;
  }

  std::size_t size() const { return count_; }
  // Rows 2^blockShift() apart lie in different blocks; entries pushed block by block are
  // written as a few streams instead of many.
  unsigned blockShift() const { return block_shift_; }

  // Block by block, in the order of their rows: calls prepare(first_row, counts), where
  // counts[i] is the number of entries of row first_row + i (for the block's rows), then
  // deal(row, column, value) for each entry of the block in the order of pushing; then hands
  // the block's chunks back. The buffer is empty afterwards.
  template <typename Prepare, typename Deal>
  void drain(Prepare&& prepare, Deal&& deal) {
    const std::size_t rows_per_block = std::size_t{1} << block_shift_;
    std::vector<std::uint32_t> counts(rows_per_block);
    for (std::size_t b = 0; b < blocks_.size(); ++b) {
      Block& block = blocks_[b];
      if (block.chunks.empty()) continue;
      const auto first_row = static_cast<std::int32_t>(b << block_shift_);
      counts.assign(rows_per_block, 0);
      forEachInBlock(block, [&](const Entry& entry) { ++counts[entry.row_in_block]; });
      prepare(first_row, counts);
      forEachInBlock(block, [&](const Entry& entry) {
        deal(first_row + static_cast<std::int32_t>(entry.row_in_block), entry.column, entry.value);
      });
      releaseBlock(block);
    }
    clear();
  }

 private:
  struct Entry {
    double value;
    std::int32_t column;
    std::uint32_t row_in_block;
  };

  static constexpr std::size_t kChunkBytes = std::size_t{1} << 16;
  static constexpr std::size_t kChunkEntries = kChunkBytes / sizeof(Entry);
  static constexpr std::size_t kEntriesPerLine = 64 / sizeof(Entry);
  static constexpr unsigned kMinimumBlockShift = 9;   // 512 rows
  static constexpr unsigned kMaximumBlockShift = 20;
  static constexpr std::size_t kTargetBlocks = 64;

  struct Block {
    std::vector<Entry*> chunks;        // each kChunkBytes
    std::size_t used = kChunkEntries;  // entries in the last chunk
  };

  template <typename Visit>
  static void forEachInBlock(const Block& block, Visit&& visit) {
    for (std::size_t c = 0; c < block.chunks.size(); ++c) {
      const Entry* chunk = block.chunks[c];
      const std::size_t count = c + 1 == block.chunks.size() ? block.used : kChunkEntries;
      for (std::size_t i = 0; i < count; ++i) visit(chunk[i]);
    }
  }

  static void addChunk(Block& block);
  static void releaseBlock(Block& block);
  void clear();

  std::vector<Block> blocks_;
  unsigned block_shift_ = kMinimumBlockShift;
  std::size_t count_ = 0;
};

}  // namespace velorium
