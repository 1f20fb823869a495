// The data of a free constraint: a constraint record that belongs to no model's row table.
#pragma once

#include <memory>

#include "core/expressions/term_lookup.hpp"
#include "core/records/constraint.hpp"

namespace velorium::cpp_impl {

class ModelBuilder;

// Shared by the constraint object and every expression view taken from it, so that all of
// them agree on the terms, on their look-up and on the model the terms refer to (the model is
// taken from the first term added through any of them).
struct FreeRow {
  std::shared_ptr<ModelBuilder> model;  // may be empty: terms of no model yet
  Constraint record;
  TermLookup lookup;

  FreeRow() = default;
  FreeRow(std::shared_ptr<ModelBuilder> terms_model, Constraint row)
      : model(std::move(terms_model)), record(std::move(row)) {}
};

}  // namespace velorium::cpp_impl
