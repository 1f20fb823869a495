#include "core/startup/numeric_locale.hpp"

#include <clocale>
#include <cstring>
#include <mutex>

namespace velorium::cpp_impl {

void use_point_as_decimal_separator_once() {
  static std::once_flag once;
  std::call_once(once, [] {
    const std::lconv* conventions = std::localeconv();
    if (!conventions || !conventions->decimal_point || std::strcmp(conventions->decimal_point, ".") != 0) {
      std::setlocale(LC_NUMERIC, "C");
    }
  });
}

}  // namespace velorium::cpp_impl
