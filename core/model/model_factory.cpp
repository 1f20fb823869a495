// The factory of model objects.
#include <new>

#include "core/model/model_impl.hpp"
#include "core/startup/numeric_locale.hpp"
#include "velorium/velorium.hpp"

velorium::IModel* CreateModel() {
  try {
    velorium::cpp_impl::use_point_as_decimal_separator_once();
    return new velorium::cpp_impl::ModelImpl();
  } catch (...) {
    return nullptr;  // no object to carry the failure
  }
}
