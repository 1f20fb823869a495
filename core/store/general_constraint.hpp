// The shared data of a general constraint: the result variable equals the tree.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace velorium::cpp_impl {

// The root of a general expression tree (defined with the expression nodes).
class GeneralExpressionImplBase;

// Held by shared reference by the model store and by every wrapper handed out for it.
struct GeneralConstraint {
  // A copy of the tree it was made from, owned by this object (the holder's deleter releases it).
  std::shared_ptr<GeneralExpressionImplBase> expression;
  std::int32_t result_variable = -1;  // store index, in the model of the wrapper that made it
  std::string name;                   // empty when none was given
};

}  // namespace velorium::cpp_impl
