// The rules for adding one term to an expression store, and the sweep of terms whose
// variable was removed from the model.
#pragma once

#include <cstdint>

#include "core/expressions/expr_data.hpp"
#include "velorium/velorium.hpp"

namespace velorium::cpp_impl {

class ModelBuilder;
class VariableImpl;

// Whether `variable` is removed in `model`; a variable outside the model's table counts as
// removed. Without a model nothing counts as removed.
bool variable_removed_in(const ModelBuilder* model, std::int32_t variable) noexcept;

// A new handle on the variable of a term of `store`; 406 when the store has no model or the
// variable is removed.
IVariable* term_variable_handle(const expr_data& store, std::int32_t variable);

// The handle as this library's variable with a store index inside its own model's table.
// A null or foreign handle throws `foreign_message`; a handle of no variable (index -1 from a
// failed look-up, or out of range) throws 110 with its index.
const VariableImpl& checked_variable(const IVariable* handle, int foreign_message);

// c times v: nothing for c exactly 0; c or the sum not finite 505; v of another model 405;
// removed 407; a store without a model takes v's. An existing term of v is summed and dropped when the sum is negligible; a
// new term is appended unless c is negligible.
void add_linear_term(expr_data& store, const IVariable* v, double c);
// c times a times b, with the pair matched in either order; a new term keeps the order given.
void add_quadratic_term(expr_data& store, const IVariable* a, const IVariable* b, double c);

// Removes the first term (in term order) that refers to a removed variable, if any: run when a
// view of a row or of the objective is handed out, and after a quadratic merge.
void drop_removed_linear_term(expr_data& store);
void drop_removed_quadratic_term(expr_data& store);

// Throws 404 with the position unless 0 <= position < count.
void check_term_position(std::int32_t position, std::size_t count);

}  // namespace velorium::cpp_impl
