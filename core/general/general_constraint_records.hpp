// General constraints of a model store as flat records, and back.
#pragma once

#include <memory>
#include <optional>

#include "core/general/general_constraint.hpp"
#include "core/general/general_expression_records.hpp"
#include "core/records/general_constraint_record.hpp"

namespace velorium::cpp_impl {

class ModelBuilder;

// The flat record of `gc`, a general constraint of `owner`, with its variables renumbered for
// the flat model; none when its result variable or a variable of its tree has no place there
// (removed). A variable of another store throws velorium_exception 405.
std::optional<GeneralConstraintRecord> general_constraint_record(const GeneralConstraint& gc, const ModelBuilder& owner,
                                                                 const VariableRenumbering& variables);

}  // namespace velorium::cpp_impl
