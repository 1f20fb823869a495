// Checks shared by the fuzz targets of the model-file readers: every reference of a model
// that a reader returns must hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/records/model.hpp"
#include "formats/common/general_constraint_check.hpp"

namespace fuzz {

inline void require(bool condition) {
  if (!condition) std::abort();
}

inline bool isColumn(const velorium::Model& model, std::int32_t index) {
  return index >= 0 && static_cast<std::size_t>(index) < model.variables.size();
}

inline void checkExpression(const velorium::Model& model, const velorium::Expression& expression) {
  for (const auto& term : expression.linear_terms) require(isColumn(model, term.variable));
  for (const auto& term : expression.quadratic_terms) require(isColumn(model, term.variable1) && isColumn(model, term.variable2));
}

inline void checkModel(const velorium::Model& model) {
  checkExpression(model, model.objective);
  int indicators = 0;
  for (const auto& row : model.rows) {
    checkExpression(model, row.expression);
    if (row.indicator_variable != -1) {
      require(isColumn(model, row.indicator_variable));
      ++indicators;
    }
  }
  require(indicators == model.indicator_count);
  for (const auto& record : model.general_constraints) {
    require(velorium::findGeneralConstraintFault(record, model.variables.size()) == nullptr);
  }
  for (const auto& set : model.sos_sets) {
    require(set.sos_type == 1 || set.sos_type == 2);
    for (const auto& entry : set.entries) require(isColumn(model, entry.variable));
  }
  for (const auto& variable : model.variables) require(variable.type <= 4 && variable.name_id >= 0);
}

}  // namespace fuzz
