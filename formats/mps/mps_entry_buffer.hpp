// The COLUMNS entries of the rows, kept in file order until the rows' term lists are built.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velorium {

// Entries arrive column by column and are written one after another; only at the end are
// they dealt out to the rows, whose term lists are then allocated at their exact size. The
// storage is a list of separately mapped chunks, and each chunk goes back to the system as
// soon as it has been dealt out, so the entries and the rows' terms are never held twice.
class MpsEntryBuffer {
 public:
  struct Entry {
    std::int32_t row;
    std::int32_t column;
    double value;
  };

  MpsEntryBuffer() = default;
  ~MpsEntryBuffer();
  MpsEntryBuffer(const MpsEntryBuffer&) = delete;
  MpsEntryBuffer& operator=(const MpsEntryBuffer&) = delete;

  // Throws std::bad_alloc when no chunk can be mapped.
  void push(const Entry& entry) {
    if (used_ == kChunkEntries) addChunk();
    chunks_.back()[used_++] = entry;
  }

  // Calls `deal` for every entry in the order of pushing, releasing each chunk when it is
  // done; the buffer is empty afterwards.
  template <typename Deal>
  void drain(Deal&& deal) {
    for (std::size_t c = 0; c < chunks_.size(); ++c) {
      const std::size_t count = c + 1 == chunks_.size() ? used_ : kChunkEntries;
      for (std::size_t i = 0; i < count; ++i) deal(chunks_[c][i]);
      releaseChunk(chunks_[c]);
      chunks_[c] = nullptr;
    }
    chunks_.clear();
    used_ = kChunkEntries;
  }

 private:
  static constexpr std::size_t kChunkEntries = std::size_t{1} << 16;  // 1 MiB of entries

  void addChunk();
  static void releaseChunk(Entry* chunk);

  std::vector<Entry*> chunks_;
  std::size_t used_ = kChunkEntries;  // entries in the last chunk
};

}  // namespace velorium
