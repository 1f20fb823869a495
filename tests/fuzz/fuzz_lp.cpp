// Fuzz target of the LP reader: any bytes either read into a model whose references all hold,
// or fail with the reader's syntax error. Nothing else may escape, crash or leak. A model
// that was read is written by the LP writer and read again: that must succeed with the same
// rows and general constraints. The first round trip may still renumber columns (the writer
// puts an expression's linear terms before its quadratic block) and move infinite row
// constants into the bounds; after a second one, writing and reading again must change
// nothing at all.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
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

// Writes the model and reads the text back; the reader must take what the writer wrote.
std::shared_ptr<velorium::Model> writeAndRead(const velorium::Model& model, std::string& written) {
  velorium::LpWriter writer;
  written = writer.writeModelToText(model);
  try {
    auto read = velorium::parseLpText(written);
    checkModel(*read);
    return read;
  } catch (const std::invalid_argument&) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    auto model = velorium::parseLpText(std::string_view(reinterpret_cast<const char*>(data), size));
    checkModel(*model);
    std::string first, second, third;
    auto once = writeAndRead(*model, first);
    require(once->rows.size() == model->rows.size());
    require(once->general_constraints.size() == model->general_constraints.size());
    require(once->variables.size() <= model->variables.size());
    auto twice = writeAndRead(*once, second);
    writeAndRead(*twice, third);
    require(third == second);
  } catch (const std::invalid_argument&) {
    // The reader's syntax error: the expected end of most inputs.
  }
  return 0;
}
