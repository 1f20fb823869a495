// Second stage of the LP reader: raw tokens joined into the tokens the sections are read from,
// handed out as a stream with a short look-ahead.
#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <memory>
#include <string_view>

#include "formats/lp/lp_column_index.hpp"
#include "formats/lp/lp_keywords.hpp"
#include "formats/lp/lp_lexer.hpp"

namespace velorium {

enum class LpTokenKind : std::uint8_t {
  end_of_text = 0,
  section_keyword = 1,
  name = 2,
  label = 3,  // a name followed by ":"
  number = 4,
  free = 5,
  open_bracket = 6,   // "[", and "(" in the general constraints section
  close_bracket = 7,  // "]", and ")" in the general constraints section
  comparison = 8,
  slash = 10,
  star = 11,
  caret = 12,
  sos_type = 13,  // "S1::" or "S2::"
  arrow = 14,
  nl_marker = 16,  // "NL" after "=" in a general constraint
};

enum class LpComparison : std::uint8_t {
  less_equal = 0,
  less = 1,
  equal = 2,
  greater = 3,
  greater_equal = 4,
};

struct LpToken {
  LpTokenKind kind = LpTokenKind::end_of_text;
  LpLineNumber line = 0;
  union {
    double number;            // number: never NaN
    LpSection section;        // section keyword
    LpComparison comparison;  // comparison
    std::uint8_t sosType;     // sos type: 1 or 2
  };
  // Name and label: the text as written, readable while the token is in the stream; a name's
  // key in the column index, a label's hash in the pool of names (in key.hash).
  std::string_view text;
  LpColumnIndex::Key key{};

  LpToken() : number(0) {}
};

// The tokens of a text in order, read as they are asked for. A name is read some tokens
// before the reader gets to it, and its slot in the column index (a label's in the pool of
// names) is asked for at once, so that waits on memory overlap the reading of the tokens in
// between. Throws LpSyntaxError; once it has failed it fails again on every further call.
class LpTokenStream {
 public:
  // How far the reader may look ahead of the cursor.
  static constexpr std::size_t kLookahead = 8;

  LpTokenStream(LpLexer& lexer, const LpColumnIndex& columns);
  LpTokenStream(const LpTokenStream&) = delete;
  LpTokenStream& operator=(const LpTokenStream&) = delete;

  // The token `i` places after the cursor (i < kLookahead); past the end of the text, the
  // end-of-text token.
  const LpToken& peek(std::size_t i) {
    if (count_ <= i + kDistance && !ended_) fill(i);
    return i < count_ ? ring_[(head_ + i) & kRingMask].token : ring_[(head_ + count_ - 1) & kRingMask].token;
  }
  // Moves the cursor on by `count` tokens; the end-of-text token is never passed.
  void consume(std::size_t count) {
    if (count == 0 || count >= count_) return consumeSlowly(count);
    lastLine_ = ring_[(head_ + count - 1) & kRingMask].token.line;
    head_ = (head_ + count) & kRingMask;
    count_ -= count;
  }
  // The line of the token passed last, 0 before the first.
  LpLineNumber lastLine() const { return lastLine_; }

 private:
  // Tokens read ahead of the cursor before it moves, the prefetch distance.
  static constexpr std::size_t kDistance = 24;
  static constexpr std::size_t kRingSize = 64;
  static constexpr std::size_t kRingMask = kRingSize - 1;
  static_assert(kDistance + kLookahead < kRingSize);

  struct Slot {
    LpToken token;
    std::unique_ptr<char[]> text;  // the copy of a name, with 16 bytes of room behind it
    std::size_t capacity = 0;
  };

  void fill(std::size_t i);
  void consumeSlowly(std::size_t count);
  // One step of the second stage: at most one token.
  void step();
  void wordStep();
  void skipBlockComment();
  LpToken& emit(LpTokenKind kind, int rawUsed);
  void emitNumber(double value, int rawUsed);
  void emitSection(LpSection section, int rawUsed);
  void emitName(LpTokenKind kind, int rawUsed, std::string_view text);

  LpLexer& lexer_;
  const LpColumnIndex& columns_;
  std::array<Slot, kRingSize> ring_;
  std::size_t head_ = 0;
  std::size_t count_ = 0;
  bool ended_ = false;
  LpSection section_ = LpSection::none;
  bool afterEqual_ = false;  // the token emitted last is the comparison "="
  LpLineNumber lastLine_ = 0;
  std::exception_ptr failure_;
};

}  // namespace velorium
