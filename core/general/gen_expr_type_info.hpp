// What each gen_expr_type is: its number of children and the name shown in messages.
#pragma once

#include "velorium/velorium.hpp"

namespace velorium {

// The number of children a complete node of `type` has: 0 for constants and variables, 1 for
// the functions, 2 for minus, divide, pow and signpow, -1 (any number) for plus and multiply.
// A value outside the enumeration has arity 0.
int gen_expr_arity(gen_expr_type type) noexcept;

// "Constant", "Variable", "Minus", ...; "" for a value outside the enumeration.
const char* gen_expr_display_name(gen_expr_type type) noexcept;

// Whether `value` is one of the enumeration's values (0 to 18).
bool is_gen_expr_type(int value) noexcept;

}  // namespace velorium
