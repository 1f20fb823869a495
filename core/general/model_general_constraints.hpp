// What a model object does with the general-constraint objects that callers pass to it: the
// checks and the store operations behind IModel's AddGeneralConstraint,
// AddGeneralConstraintObject and RemoveGeneralConstraint.
#pragma once

#include <memory>

#include "core/general/general_constraint.hpp"
#include "core/log/log_options.hpp"
#include "velorium/velorium.hpp"

namespace velorium::cpp_impl {

class ModelBuilder;

// Adds var = a copy of expr (its clone: a deep copy, or for a view another view of its target)
// to `store` under `name` (a generated or unique name as for every addition). Throws
// velorium_exception (-1): 391 when expr is not a node of this library; 394 when var is not a
// variable of this library in `store`; 405 when the tree has variables of another model (or
// of two), views looked through; 137 for a name that starts with a blank. A name that a row has
// already is replaced by a unique one, with warning 24 through `log` when it is not null.
std::shared_ptr<GeneralConstraint> add_general_constraint_to(ModelBuilder& store, const IGeneralExpression* expr,
                                                             const IVariable* var, const char* name,
                                                             const VeloriumLogOptions* log = nullptr);

// Adds a copy of a general constraint object whose model is `store` (a free one made for a
// variable of this model, or one of the model's own). Throws 402 for an object that is not a
// general constraint of this library, 405 when its model is another one or its tree has come
// to hold variables of another model. Its name is renamed, and logged, as by
// add_general_constraint_to.
std::shared_ptr<GeneralConstraint> add_general_constraint_object_to(ModelBuilder& store, const IGeneralConstraint* gc,
                                                                    const VeloriumLogOptions* log = nullptr);

// Takes a general constraint of `store` out of it. Throws 402 for an object that is not a
// general constraint of this library and 397 for one of another model; a free general
// constraint, or one already taken out, is left alone.
void remove_general_constraint_from(ModelBuilder& store, IGeneralConstraint* gc);

}  // namespace velorium::cpp_impl
