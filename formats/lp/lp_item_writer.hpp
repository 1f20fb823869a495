// The output rule of LP files: text is written as items, and an item that would reach the
// line limit starts a new line first, so no name or number is ever split.
#pragma once

#include <string>
#include <string_view>

#include "formats/common/text_output.hpp"

namespace velorium {

class LpItemWriter {
 public:
  // An item that would reach this column starts a new line first.
  static constexpr int kLineLimit = 560;

 protected:
  // Starts writing into `out` at the beginning of a line.
  void startLpItems(TextOutput& out) {
    out_ = &out;
    column_ = 0;
  }
  void finishLpItems() { out_ = nullptr; }

  void writeLpText(std::string_view item);
  void writeLpNumber(double value);        // the item " %.15g"
  void writeLpSignedNumber(double value);  // the item " %+.15g"
  void writeLpLineBreak();
  // A linear coefficient before the `term_number`-th term (from 1): nothing or " +" for 1,
  // " -" for -1, otherwise the sign item and the number item.
  void writeLpCoefficient(double coefficient, int term_number);

  TextOutput* out_ = nullptr;

 private:
  int column_ = 0;  // characters on the current line, as the line-limit rule counts them
  std::string number_;  // a number item being composed
};

// The text of `value` as " %.15g" writes it, without the blank.
void appendLpNumber(std::string& text, double value);

}  // namespace velorium
