// Expression objects on a given store, and the store behind an expression object: what the
// model and the constraints hand out, and how other parts of the library read an expression.
#pragma once

#include <memory>

#include "core/expressions/expr_data.hpp"
#include "velorium/velorium.hpp"

namespace velorium::cpp_impl {

// New objects on `store`, owned by the caller, after the first term of a removed variable was
// dropped from the store (as every view of a row or of the objective is handed out). Throw
// what the store's get_terms throws.
ILinearExpression* make_linear_view(std::shared_ptr<expr_data> store);
IQuadExpression* make_quadratic_view(std::shared_ptr<expr_data> store);

// The store of this library's expression object, or null for a null or foreign object. Its
// get_terms() gives the record to read (110 or 111 for a view of a removed row).
expr_data* store_of(const ILinearExpression* expression) noexcept;
expr_data* store_of(const IQuadExpression* expression) noexcept;

}  // namespace velorium::cpp_impl
