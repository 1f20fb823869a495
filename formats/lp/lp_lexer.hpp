// First stage of the LP reader: the text cut into raw tokens.
#pragma once

#include <cstdint>
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
};

struct LpRawToken {
  LpRawKind kind = LpRawKind::end_of_file;
  std::string text;  // the text of a word
  double value = 0;  // the value of a number
  LpLineNumber line = 0;
};

// Length of the longest prefix of `text` that reads as an unsigned number (decimal, hexadecimal
// with "0x", "inf", "infinity", "nan" in any case), 0 when none; the value goes to `value`.
// Independent of the process locale. Overflow reads as infinity, underflow as 0.
std::size_t scanLpNumber(std::string_view text, double& value);

class LpLexer {
 public:
  explicit LpLexer(LpLineReader& lines) : lines_(lines) {}

  // The next raw token; after the last one, end-of-file tokens for ever.
  void next(LpRawToken& token);

 private:
  // One step of the scan: true when it delivered a token.
  bool tokenize(LpRawToken& token);
  void readWord(LpRawToken& token);
  bool plainKeywordAtLineStart();
  std::size_t plainWordEnd(std::size_t from) const;
  std::size_t boundsWordEnd(std::size_t lineEnd) const;
  void enterSection(LpSection section);

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
};

}  // namespace velorium
