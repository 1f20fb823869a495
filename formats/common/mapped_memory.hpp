// Zero-filled memory mapped from the system for the readers' large per-read tables.
#pragma once

#include <cstddef>

namespace velorium {

// A block of zero bytes mapped directly: it goes back to the system as soon as it is freed
// (a freed heap block stays with the process). Blocks of 2 MiB and more are aligned to that
// size and asked for in huge pages, so that random look-ups into them do not also miss the
// processor's address translations.
class MappedMemory {
 public:
  MappedMemory() = default;
  // Throws std::bad_alloc when the system gives no memory.
  explicit MappedMemory(std::size_t bytes);
  ~MappedMemory();
  MappedMemory(MappedMemory&& other) noexcept : data_(other.data_), bytes_(other.bytes_) {
    other.data_ = nullptr;
    other.bytes_ = 0;
  }
  MappedMemory& operator=(MappedMemory&& other) noexcept;
  MappedMemory(const MappedMemory&) = delete;
  MappedMemory& operator=(const MappedMemory&) = delete;

  void* data() const { return data_; }
  std::size_t size() const { return bytes_; }

 private:
  void* data_ = nullptr;
  std::size_t bytes_ = 0;
};

}  // namespace velorium
