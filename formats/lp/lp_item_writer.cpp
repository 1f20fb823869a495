#include "formats/lp/lp_item_writer.hpp"

#include <algorithm>

#include "formats/common/number_text.hpp"

namespace velorium {

namespace {
constexpr int kLpPrecision = 15;
}

void appendLpNumber(std::string& text, double value) {
  appendGeneral(text, withoutMinusZero(value), kLpPrecision);
}

void LpItemWriter::writeLpText(std::string_view item) {
  const auto length = static_cast<long long>(item.size());
  if (column_ + length >= kLineLimit) writeLpLineBreak();
  out_->text() += item;
  column_ = static_cast<int>(std::min<long long>(column_ + length, kLineLimit));
}

void LpItemWriter::writeLpNumber(double value) {
  number_.assign(1, ' ');
  appendLpNumber(number_, value);
  writeLpText(number_);
}

void LpItemWriter::writeLpSignedNumber(double value) {
  number_.assign(1, ' ');
  appendSignedGeneral(number_, withoutMinusZero(value), kLpPrecision);
  writeLpText(number_);
}

void LpItemWriter::writeLpLineBreak() {
  out_->text() += '\n';
  column_ = 0;
  out_->flushIfFull();
}

void LpItemWriter::writeLpCoefficient(double coefficient, int term_number) {
  if (coefficient == 1.0) {
    if (term_number > 1) writeLpText(" +");
  } else if (coefficient == -1.0) {
    writeLpText(" -");
  } else if (coefficient < 0.0) {
    writeLpText(" -");
    writeLpNumber(-coefficient);
  } else {
    if (term_number > 1) writeLpText(" +");
    writeLpNumber(coefficient);
  }
}

}  // namespace velorium
