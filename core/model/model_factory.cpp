// The factory of model objects.
#include <clocale>
#include <cstring>
#include <mutex>
#include <new>

#include "core/model/model_impl.hpp"
#include "velorium/velorium.hpp"

namespace velorium::cpp_impl {
namespace {

// Numbers in model files and option texts are written with ".": a host locale with another
// decimal point is replaced, for numbers only, once per process.
void use_point_as_decimal_separator_once() {
  static std::once_flag once;
  std::call_once(once, [] {
    const std::lconv* conventions = std::localeconv();
    if (!conventions || !conventions->decimal_point || std::strcmp(conventions->decimal_point, ".") != 0) {
      std::setlocale(LC_NUMERIC, "C");
    }
  });
}

}  // namespace
}  // namespace velorium::cpp_impl

velorium::IModel* CreateModel() {
  try {
    velorium::cpp_impl::use_point_as_decimal_separator_once();
    return new velorium::cpp_impl::ModelImpl();
  } catch (...) {
    return nullptr;  // no object to carry the failure
  }
}
