// The forwarding functions of the function interface, generated from function_table.inc, and a
// compile-time check that every row matches its declaration in velorium.h.
#include <type_traits>

#include "core/capi/argument_checks.hpp"
#include "velorium/velorium.h"
#include "velorium/velorium.hpp"

namespace {

// The matrix-form face of a model handle; null for a model of another kind.
velorium::IMatrixModel* matrix_face(velorium::IModel* model) {
  return dynamic_cast<velorium::IMatrixModel*>(model);
}

}  // namespace

#define VELORIUM_CHECK(result, name, parameters)                      \
  static_assert(std::is_same_v<decltype(&name), result(*) parameters>, \
                #name " differs from its declaration in velorium.h");
#define VELORIUM_FORWARD(result, name, parameters, call) VELORIUM_CHECK(result, name, parameters)
#define VELORIUM_CHECKED(result, name, parameters, check, neutral, call) \
  VELORIUM_CHECK(result, name, parameters)
#define VELORIUM_MATRIX(result, name, parameters, neutral, check, call) \
  VELORIUM_CHECK(result, name, parameters)
#define VELORIUM_FREE(result, name, parameters, call) VELORIUM_CHECK(result, name, parameters)
#define VELORIUM_PENDING(result, name, parameters, call) VELORIUM_CHECK(result, name, parameters)
#define VELORIUM_OWN(result, name, parameters) VELORIUM_CHECK(result, name, parameters)
#include "core/capi/function_table.inc"
#undef VELORIUM_CHECK

extern "C" {

#define VELORIUM_FORWARD(result, name, parameters, call) \
  result name parameters { return call; }
#define VELORIUM_CHECKED(result, name, parameters, check, neutral, call) \
  result name parameters {                                                \
    if (!(check)) return neutral;                                         \
    return call;                                                          \
  }
#define VELORIUM_MATRIX(result, name, parameters, neutral, check, call) \
  result name parameters {                                              \
    velorium::IMatrixModel* m = matrix_face(model);                     \
    if (m == nullptr) return neutral;                                   \
    if (!(check)) return neutral;                                       \
    return call;                                                        \
  }
#define VELORIUM_FREE(result, name, parameters, call) \
  result name parameters { return call; }
#define VELORIUM_PENDING(result, name, parameters, call)
#define VELORIUM_OWN(result, name, parameters)
#include "core/capi/function_table.inc"

}  // extern "C"
