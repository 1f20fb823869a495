// First stage of the LP reader: the text cut into raw tokens, seen through a window of three.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "formats/lp/lp_keywords.hpp"
#include "formats/lp/lp_line_reader.hpp"

namespace velorium {

enum class LpRawKind : std::uint8_t {
  word = 1,
  number = 2,
  less = 3,
  greater = 4,
  equal = 5,
  colon = 6,
  end_of_file = 8,
  open_bracket = 9,
  close_bracket = 10,
  plus = 11,
  minus = 12,
  caret = 13,
  slash = 14,
  star = 15,
  arrow = 16,
  // A number run into something that is neither a delimiter nor the letter that begins a
  // name: "1,5", "1.2.3", "1_x", an exponent without digits ("1e", "2ex"), a hexadecimal
  // number ("0x1F"), an overflow ("1e999z").
  // It fails the reading only where it would become a token, not inside a block comment.
  malformed_number = 17,
  // "+" or "-" and the decimal number behind it on the same line, joined as the second stage
  // would join them.
  signed_number = 18,
};

struct LpRawToken {
  LpRawKind kind = LpRawKind::end_of_file;
  // A word that can only be a name: no keyword, "free", "inf" or bracket of a general
  // constraint begins with its first byte.
  bool plainName = false;
  LpLineNumber line = 0;
  double value = 0;  // a number's value; NaN is a number here and refused where it is used
  // A word's text, or the text of a malformed number; at least LpLineReader::kReadableAfterLine
  // bytes behind it may be read.
  std::string_view text;
};

// Reads the unsigned number that `text` begins with: digits with an optional "." and
// fraction and an optional exponent ("e" or "E", a sign, digits), at least one digit before
// or after the point; hexadecimal numbers are not numbers. The value is read without the
// process locale; overflow gives infinity, underflow zero. Returns the number of characters
// read, 0 when `text` does not begin with a number.
std::size_t scanLpDecimal(std::string_view text, double& value);

// Gives the raw tokens of a text through a window of three (R0, R1, R2). The tokens of a
// line are read in batches, so the work per token is a turn of one loop; words are views into
// the current line, and the few tokens still unread when the lexer moves on to the next line
// get copies of their words, so every token stays readable while it is in the window.
class LpLexer {
 public:
  explicit LpLexer(LpLineReader& lines);
  LpLexer(const LpLexer&) = delete;
  LpLexer& operator=(const LpLexer&) = delete;

  // The window: R0, R1 and R2 one after the other, end-of-file tokens past the end of the
  // text. Valid until the next call of window() or advance().
  const LpRawToken* window() {
    if (count_ - head_ < 3) refill();
    return &raw_[head_];
  }
  // Drops the first `count` tokens of the window; the end-of-file token stays.
  void advance(std::size_t count) {
    head_ += count;
    if (head_ >= count_ && atEnd_) head_ = count_ - 1;
  }

 private:
  static constexpr std::size_t kBatch = 64;

  // Reads tokens until the window holds three.
  void refill();
  // Reads up to kBatch tokens of the current line.
  void lexBatch();
  bool nextLine();
  void keepUnreadWords();
  void readNumberOrWord(LpRawToken& token);
  bool readSignedNumber(LpRawToken& token, bool minus);
  void readWord(LpRawToken& token);
  void noteWord(std::string_view word, bool afterGeneral);
  bool plainKeywordAtLineStart();
  std::size_t plainWordEnd(std::size_t from) const;
  std::size_t boundsWordEnd(std::size_t lineEnd) const;
  void enterSection(LpSection section);
  // Whether the number that takes the first `used` bytes of `text` (its value `value`) ends
  // there: at the end of the line, a delimiter, or a letter that begins a name.
  bool numberEndsAt(std::string_view text, std::size_t used, double value) const;

  LpLineReader& lines_;
  std::string_view line_;
  std::size_t pos_ = 0;
  std::size_t firstNonBlank_ = 0;
  bool atEnd_ = false;
  // Mode: whether names may hold blanks, and the section of the last keyword seen.
  bool namesHoldBlanks_ = false;
  LpSection lastKeyword_ = LpSection::none;
  // Words still to be cut at blanks whatever the mode (the second word of "subject to").
  int plainWordsPending_ = 0;
  bool afterWordGeneral_ = false;  // the token before was the word "general"

  // Tokens read and not yet dropped: [head_, count_).
  std::array<LpRawToken, kBatch + 4> raw_;
  std::size_t head_ = 0;
  std::size_t count_ = 0;
  // Copies of unread words whose line has been left, by place in raw_; they move with their
  // tokens, so a copy never changes its address.
  struct KeptWord {
    std::unique_ptr<char[]> bytes;
    std::size_t capacity = 0;
  };
  std::array<KeptWord, 4> kept_;
};

}  // namespace velorium
