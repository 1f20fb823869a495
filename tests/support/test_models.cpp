#include "test_models.hpp"

#include "core/names/names_holder.hpp"

namespace velorium::test {

namespace {
void appendTerms(Expression& expression, Terms terms) {
  for (auto [variable, coefficient] : terms) expression.linear_terms.push_back({variable, coefficient});
}
void appendQuadTerms(Expression& expression, QuadTerms terms) {
  for (auto [first, second, coefficient] : terms) expression.quadratic_terms.push_back({first, second, coefficient});
}
}  // namespace

std::int32_t nameId(std::optional<std::string_view> name) {
  if (!name) return -1;
  return static_cast<std::int32_t>(get_names_holder()->find_or_add_name(*name));
}

std::string nameText(std::int32_t id) { return std::string(get_names_holder()->name_view(id)); }

std::string nameOrNone(std::int32_t id) {
  const char* text = get_names_holder()->names_holder_get(id);
  return text ? text : "<none>";
}

int TestModel::addVariable(std::optional<std::string_view> name, double lower, double upper, std::uint32_t type) {
  model.variables.push_back(Variable{type, lower, upper, nameId(name)});
  return static_cast<int>(model.variables.size() - 1);
}

int TestModel::addRow(std::optional<std::string_view> name, double lower, double upper, Terms terms,
                      double constant) {
  Constraint row(lower, upper);
  appendTerms(row.expression, terms);
  row.expression.constant = constant;
  row.expression.name_id = nameId(name);
  model.rows.push_back(std::move(row));
  return static_cast<int>(model.rows.size() - 1);
}

void TestModel::addRowQuadratic(int row, QuadTerms terms) {
  appendQuadTerms(model.rows[static_cast<std::size_t>(row)].expression, terms);
}

void TestModel::setObjective(Terms terms, double constant, int sense) {
  model.objective.linear_terms.clear();
  appendTerms(model.objective, terms);
  model.objective.constant = constant;
  model.objective_sense = sense;
}

void TestModel::addObjectiveQuadratic(QuadTerms terms) { appendQuadTerms(model.objective, terms); }

void TestModel::nameObjective(std::optional<std::string_view> name) { model.objective.name_id = nameId(name); }

void TestModel::setIndicator(int row, int variable, bool value) {
  Constraint& target = model.rows[static_cast<std::size_t>(row)];
  target.indicator_variable = variable;
  target.indicator_value = value;
  ++model.indicator_count;
}

}  // namespace velorium::test
