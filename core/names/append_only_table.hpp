// A table indexed by a 32-bit number that only grows and whose elements never move, so that
// readers on other threads can load any element without a lock while one writer appends.
#pragma once

#include <atomic>
#include <bit>
#include <cstdint>
#include <memory>

#include "core/names/table_memory.hpp"

namespace velorium {

// Elements live in segments of doubling size (the first holds 2^kFirstSegmentBits elements);
// a segment, once published, is never freed or moved before the table is destroyed. Elements
// start as T{} and are set once by whoever owns the index; loads of unset elements give T{}.
template <class T>
class AppendOnlyTable {
 public:
  AppendOnlyTable() = default;
  AppendOnlyTable(const AppendOnlyTable&) = delete;
  AppendOnlyTable& operator=(const AppendOnlyTable&) = delete;
  ~AppendOnlyTable() {
    for (auto& segment : segments_) TableMemoryDeleter()(segment.load(std::memory_order_relaxed));
  }

  T load(std::uint32_t index) const noexcept {
    const Place place = locate(index);
    const std::atomic<T>* segment = segments_[place.segment].load(std::memory_order_acquire);
    return segment ? segment[place.offset].load(std::memory_order_acquire) : T{};
  }

  // Makes sure the segment of `index` exists; safe from several threads at once. Throws
  // std::bad_alloc when the segment cannot be made, leaving the table as it was.
  void ensure(std::uint32_t index) {
    const Place place = locate(index);
    std::atomic<std::atomic<T>*>& slot = segments_[place.segment];
    if (slot.load(std::memory_order_acquire)) return;
    auto fresh = allocate_table<std::atomic<T>>(segment_size(place.segment));
    std::atomic<T>* expected = nullptr;
    if (slot.compare_exchange_strong(expected, fresh.get(), std::memory_order_acq_rel)) fresh.release();
  }

  // Sets an element whose segment `ensure` has made.
  void store(std::uint32_t index, T value) noexcept {
    const Place place = locate(index);
    segments_[place.segment].load(std::memory_order_acquire)[place.offset].store(value, std::memory_order_release);
  }

 private:
  static constexpr unsigned kFirstSegmentBits = 12;
  static constexpr unsigned kSegmentCount = 32 - kFirstSegmentBits + 1;

  struct Place {
    unsigned segment;
    std::uint64_t offset;
  };

  static Place locate(std::uint32_t index) noexcept {
    const std::uint64_t shifted = std::uint64_t{index} + (std::uint64_t{1} << kFirstSegmentBits);
    const unsigned top_bit = static_cast<unsigned>(std::bit_width(shifted)) - 1;
    return {top_bit - kFirstSegmentBits, shifted - (std::uint64_t{1} << top_bit)};
  }

  static std::size_t segment_size(unsigned segment) noexcept {
    return std::size_t{1} << (kFirstSegmentBits + segment);
  }

  std::atomic<std::atomic<T>*> segments_[kSegmentCount] = {};
};

}  // namespace velorium
