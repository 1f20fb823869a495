// Fuzz target of the LP reader: any bytes either read into a model whose references all hold,
// or fail with the reader's syntax error. Nothing else may escape, crash or leak. A model
// that was read is written by the LP writer and read again: that must succeed, and writing
// the second model must give the same text (the first round trip settles names, order and
// number precision; after it nothing may change). Rows with an infinite or NaN constant are
// the one exception: the writer moves the constant into the bound ("x + inf <= 5" is written
// "x <= -inf"), which cannot keep its meaning.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/records/model.hpp"
#include "formats/common/general_constraint_check.hpp"
#include "formats/lp/lp_reader.hpp"
#include "formats/lp/lp_writer.hpp"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

bool isColumn(const velorium::Model& model, std::int32_t index) {
  return index >= 0 && static_cast<std::size_t>(index) < model.variables.size();
}

void checkExpression(const velorium::Model& model, const velorium::Expression& expression) {
  for (const auto& term : expression.linear_terms) require(isColumn(model, term.variable));
  for (const auto& term : expression.quadratic_terms) require(isColumn(model, term.variable1) && isColumn(model, term.variable2));
}

void checkModel(const velorium::Model& model) {
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

bool finiteRowConstants(const velorium::Model& model) {
  for (const auto& row : model.rows) {
    if (!std::isfinite(row.expression.constant)) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    auto model = velorium::parseLpText(std::string_view(reinterpret_cast<const char*>(data), size));
    checkModel(*model);
    velorium::LpWriter writer;
    const std::string written = writer.writeModelToText(*model);
    std::shared_ptr<velorium::Model> again;
    try {
      again = velorium::parseLpText(written);
    } catch (const std::invalid_argument&) {
      std::abort();  // the writer wrote what the reader cannot read
    }
    checkModel(*again);
    if (finiteRowConstants(*model)) require(writer.writeModelToText(*again) == written);
  } catch (const std::invalid_argument&) {
    // The reader's syntax error: the expected end of most inputs.
  }
  return 0;
}
