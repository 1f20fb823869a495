// General constraints of a model store as flat records, and back.
#pragma once

#include <memory>
#include <optional>
#include <vector>

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

// The records of every general constraint of `store`, in its order, leaving out those that
// refer to variables without a place in the flat model.
std::vector<GeneralConstraintRecord> general_constraint_records(const ModelBuilder& store,
                                                                const VariableRenumbering& variables);

// A general constraint of `store` from a record read from a file: its tree bound to `store`,
// its result variable and name unchanged. Null for a record without nodes. Records that do not
// make one complete tree throw velorium_exception (-1) with "Не удалось прочитать ограничение
// %s\n" filled in with the record's name.
std::shared_ptr<GeneralConstraint> general_constraint_from_record(const GeneralConstraintRecord& record,
                                                                  const std::shared_ptr<ModelBuilder>& store);

// Replaces the general constraints of `store` by those of the records of its working model, in
// order, after a model was read from a file: records without nodes add nothing; names are kept
// as they are, equal ones included. Throws as general_constraint_from_record; the store is
// then half filled and meant to be dropped.
void load_general_constraints(const std::shared_ptr<ModelBuilder>& store);

}  // namespace velorium::cpp_impl
