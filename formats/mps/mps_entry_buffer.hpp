// The COLUMNS entries of the rows, kept in file order until the rows' term lists are built.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velorium {

// Entries arrive column by column and are written one after another; only at the end are
// they dealt out to the rows, whose term lists are then allocated at their exact size. An
// entry takes 12 bytes (its row and value; the column is kept once per run of entries of
// one column). The storage is a list of separately mapped chunks, each handed back to the
// system as soon as it has been dealt out.
class MpsEntryBuffer {
 public:
  MpsEntryBuffer() = default;
  ~MpsEntryBuffer();
  MpsEntryBuffer(const MpsEntryBuffer&) = delete;
  MpsEntryBuffer& operator=(const MpsEntryBuffer&) = delete;

  // Throws std::bad_alloc when no chunk can be mapped.
  void push(std::int32_t row, std::int32_t column, double value) {
    if (column != last_column_) {
      runs_.push_back(Run{count_, column});
      last_column_ = column;
    }
    if (used_ == kChunkEntries) addChunk();
    Chunk& chunk = chunks_.back();
    chunk.rows[used_] = row;
    chunk.values[used_] = value;
    ++used_;
    ++count_;
  }

  std::size_t size() const { return count_; }

  // Calls deal(row, column, value) for every entry in the order of pushing, releasing each
  // chunk when it is done; the buffer is empty afterwards.
  template <typename Deal>
  void drain(Deal&& deal) {
    std::size_t index = 0;
    std::size_t run = 0;
    std::int32_t column = -1;
    for (std::size_t c = 0; c < chunks_.size(); ++c) {
      const std::size_t count = c + 1 == chunks_.size() ? used_ : kChunkEntries;
      const Chunk& chunk = chunks_[c];
      for (std::size_t i = 0; i < count; ++i, ++index) {
        while (run < runs_.size() && runs_[run].first_entry == index) column = runs_[run++].column;
        deal(chunk.rows[i], column, chunk.values[i]);
      }
      releaseChunk(chunks_[c]);
    }
    clear();
  }

 private:
  static constexpr std::size_t kChunkBytes = std::size_t{1} << 21;  // 2 MiB, the size of a huge page
  static constexpr std::size_t kChunkEntries = kChunkBytes / (sizeof(std::int32_t) + sizeof(double));

  // One mapping: the rows of its entries, then their values.
  struct Chunk {
    std::int32_t* rows = nullptr;
    double* values = nullptr;
  };
  struct Run {
    std::size_t first_entry;
    std::int32_t column;
  };

  void addChunk();
  static void releaseChunk(Chunk& chunk);
  void clear();

  std::vector<Chunk> chunks_;
  std::vector<Run> runs_;
  std::size_t used_ = kChunkEntries;  // entries in the last chunk
  std::size_t count_ = 0;
  std::int32_t last_column_ = -1;
};

}  // namespace velorium
