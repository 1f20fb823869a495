// The upper-case names of general-expression node types, as the LP and MPS files carry them.
#pragma once

#include <optional>
#include <string_view>

#include "velorium/velorium.hpp"

namespace velorium {

// Name of node type `type` (0 "CONSTANT" .. 18 "SIGNPOW"); empty for any other value.
std::string_view genExprTypeName(int type);
inline std::string_view genExprTypeName(gen_expr_type type) { return genExprTypeName(static_cast<int>(type)); }

// Node type of an exact, case-sensitive name; nothing when it is none of the 19 names.
std::optional<int> genExprTypeByName(std::string_view name);

}  // namespace velorium
