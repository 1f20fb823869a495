// Enumeration values that the function interface takes as int. C lets a caller pass any
// number, and the operations would map a stray one to a quiet default (a continuous column, a
// row "= 0", a maximised objective); such a value is refused before the operation is called,
// with the handle's error information, and nothing changes.
#pragma once

#include <cstdint>

#include "velorium/velorium.hpp"

namespace velorium::capi {

bool is_variable_type(int value) noexcept;      // 0 to 4
bool is_constraint_sense(int value) noexcept;   // 0 to 2
bool is_objective_sense(int value) noexcept;    // 0 and 1

// Each gives true for a value in range; otherwise stores the failure in the object and gives
// false: catalogue message 147 for a variable type, 152 for a constraint sense, and 102 with
// "sense" and the value for an objective sense (the catalogue has no message of its own for it).
bool accept_variable_type(IVariable* variable, int type) noexcept;
bool accept_variable_types(IModel* model, const int* types, std::uint64_t count) noexcept;
bool accept_constraint_sense(IModel* model, int sense) noexcept;
bool accept_constraint_senses(IModel* model, const int* senses, std::uint64_t count) noexcept;
bool accept_objective_sense(IModel* model, int sense) noexcept;

// What Model_AddVariable gives for a type out of range: a variable object that refers to no
// column, as a failed AddVariable gives, with 147 as the model's error.
IVariable* refuse_variable_type(IModel* model) noexcept;

}  // namespace velorium::capi
