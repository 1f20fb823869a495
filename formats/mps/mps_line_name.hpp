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
    if (std::endian::native != std::endian::little || length_ > kInlineBytes) return text == view();
    std::uint64_t mine[kInlineWords];
    std::uint64_t theirs[kInlineWords];
    std::memcpy(mine, inline_, kInlineBytes);
    std::memcpy(theirs, text.data(), kInlineBytes);
    // Only the name's own bytes count: the first `length_` bytes of the 32.
    std::uint64_t differ = 0;
    for (std::size_t i = 0; i < kInlineWords; ++i) {
      const std::size_t before = 8 * i;
      const std::uint64_t mask = length_ <= before ? 0 : firstBytesMask(length_ - before);
      differ |= (mine[i] ^ theirs[i]) & mask;
    }
    return differ == 0;
  }

  std::string text() const { return std::string(view()); }

 private:
  static constexpr std::size_t kInlineWords = kInlineBytes / 8;

  std::size_t length_ = 0;
  char inline_[kInlineBytes] = {};
  std::string overflow_;
};

}  // namespace velorium
