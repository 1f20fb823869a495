// Fast operator slots for the commonest operands of Variable and LinearExpression
// (operator_fast_paths.cpp says what they take and what they leave to the registered methods).
#pragma once

namespace veloriumpy {

// Once both classes are registered.
void install_operator_fast_paths();

}  // namespace veloriumpy
