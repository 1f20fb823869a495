// The number format of the object texts: general notation with 3 significant digits, the way
// printf's "%.3g" writes it, whatever locale the process runs in.
#pragma once

#include <locale>
#include <sstream>

namespace velorium {

class StreamFormat : public std::ostringstream {
 public:
  explicit StreamFormat(int precision = 3) {
    imbue(std::locale::classic());
    this->precision(precision);
  }
};

}  // namespace velorium
