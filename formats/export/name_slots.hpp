// The written names of one kind kept in 16-byte slots: a name of up to 15 characters stands
// in its slot, a longer one is referred to. Printing a column or row name found through an
// index costs one cache line, fetched ahead with prefetch(); the writers look names up at
// random (the MPS writer rows, the LP writer columns), and that would otherwise dominate.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "core/base/prefetch.hpp"
#include "formats/export/export_model.hpp"

namespace velorium {

class NameSlots {
 public:
  // The names of `records`, each padded with blanks on the right to `width` characters (at
  // most 15, so that a long name never needs padding).
  template <typename Record>
  NameSlots(const std::vector<Record>& records, std::size_t width) : slots_(records.size()) {
    for (std::size_t i = 0; i < records.size(); ++i) set(i, records[i].name, width);
  }

  void prefetch(std::size_t i) const { prefetchForRead(slots_.data() + i); }

  std::string_view operator[](std::size_t i) const {
    const Slot& slot = slots_[i];
    auto size = static_cast<unsigned char>(slot[0]);
    if (size != kLong) return {slot.data() + 1, size};
    return referred(slot);
  }

  // Copies name `i` to `out` (room for longest() characters plus 15) and returns the end.
  char* copy(char* out, std::size_t i) const {
    const Slot& slot = slots_[i];
    auto size = static_cast<unsigned char>(slot[0]);
    if (size != kLong) {
      std::memcpy(out, slot.data() + 1, kInline);  // a fixed-size copy: faster than an exact one
      return out + size;
    }
    std::string_view name = referred(slot);
    std::memcpy(out, name.data(), name.size());
    return out + name.size();
  }

  std::size_t longest() const { return longest_; }

 private:
  static constexpr std::size_t kInline = 15;
  static constexpr unsigned char kLong = 255;
  using Slot = std::array<char, kInline + 1>;

  // A long name: the marker, its length in bytes 4 to 7, its address in bytes 8 to 15.
  void set(std::size_t i, std::string_view name, std::size_t width);
  static std::string_view referred(const Slot& slot) {
    std::uint32_t size;
    const char* data;
    std::memcpy(&size, slot.data() + 4, sizeof size);
    std::memcpy(&data, slot.data() + 8, sizeof data);
    return {data, size};
  }

  std::vector<Slot> slots_;
  std::size_t longest_ = 0;
};

}  // namespace velorium
