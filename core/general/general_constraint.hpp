// The shared data of a general constraint: the result variable equals the tree.
#pragma once

#include <cstdint>
#include <string>

#include "core/general/general_expression_impl_base.hpp"

namespace velorium::cpp_impl {

// Held by shared reference by the model store and by every wrapper handed out for it, so that
// all of them see one tree and one name.
struct GeneralConstraint {
  // The constraint's own copy of the tree it was made from (a view when it was made from a
  // view: then it follows that view's target).
  GeneralExprPtr expression;
  std::int32_t result_variable = -1;  // store index, in the model of the wrapper that made it
  std::string name;                   // empty when none was given
};

}  // namespace velorium::cpp_impl
