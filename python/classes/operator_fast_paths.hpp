// Fast operator slots for the commonest operands of Variable and LinearExpression
// (operator_fast_paths.cpp says what they take and what they leave to the registered methods).
#pragma once

namespace veloriumpy {

// Once both classes are registered.
void install_operator_fast_paths();
// The comparison slot of QuadExpression, once its operators are registered (setting one later
// would put Python's own slot back): that of the fast paths, which refuses == and != with a
// GeneralExpression and otherwise calls the registered methods.
void install_quadratic_comparison();

}  // namespace veloriumpy
