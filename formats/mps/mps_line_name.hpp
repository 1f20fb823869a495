// A name copied out of a line of the MPS reader, kept after the line is gone.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "formats/common/line_reader.hpp"
#include "formats/common/word_bytes.hpp"

namespace velorium {

// Short names are kept in place, longer ones in a string. The texts handed in are fields of
// lines that LineReader gives out, behind which at least LineReader::kReadableAfterLine bytes
// may be read: short names are therefore copied and compared in pieces of fixed size, without
// calls into the C library for a few bytes.
class MpsLineName {
 public:
  static constexpr std::size_t kInlineBytes = 32;
  static_assert(kInlineBytes <= LineReader::kReadableAfterLine);

  void assign(std::string_view text) {
    length_ = text.size();
    if (length_ <= kInlineBytes) {
      std::memcpy(inline_, text.data(), kInlineBytes);  // the bytes past the name are never used
    } else {
      overflow_.assign(text);
    }
  }

  std::string_view view() const {
    return length_ <= kInlineBytes ? std::string_view(inline_, length_) : std::string_view(overflow_);
  }

  // Whether `text`, a field of a line as for assign, equals the name.
  bool equals(std::string_view text) const {
    if (text.size() != length_) return false;
    if (std::endian::native != std::endian::little || length_ > kShortBytes) return text == view();
    std::uint64_t mine[2];
    std::uint64_t theirs[2];
    std::memcpy(mine, inline_, kShortBytes);
    std::memcpy(theirs, text.data(), kShortBytes);
    // Only the name's own bytes count: the first `length_` bytes of the 16.
    const std::uint64_t low_mask = firstBytesMask(length_);
    const std::uint64_t high_mask = length_ <= 8 ? 0 : firstBytesMask(length_ - 8);
    return (((mine[0] ^ theirs[0]) & low_mask) | ((mine[1] ^ theirs[1]) & high_mask)) == 0;
  }

  std::string text() const { return std::string(view()); }

 private:
  static constexpr std::size_t kShortBytes = 16;

  std::size_t length_ = 0;
  char inline_[kInlineBytes] = {};
  std::string overflow_;
};

}  // namespace velorium
