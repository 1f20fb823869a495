// The name of an expression store: the name of what it shows.
#pragma once

#include "core/expressions/expr_data.hpp"

namespace velorium::cpp_impl {

// The pooled name of the store's expression, or null when it has none. Needs the core object
// (109); a view of a removed row throws 111.
const char* expression_name(expr_data& store);

// By kind: an own store or a free constraint takes any name (null: no name); the objective
// goes through the model (139 for a name of a row; null: no name); a row is renamed in its
// model (140 for a name of another row; null: a generated name, as for a row added without one).
void set_expression_name(expr_data& store, const char* name);

}  // namespace velorium::cpp_impl
