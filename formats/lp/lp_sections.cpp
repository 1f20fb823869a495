#include "formats/lp/lp_sections.hpp"

#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "core/names/names_holder.hpp"
#include "formats/common/general_constraint_check.hpp"
#include "formats/export/gen_expr_type_names.hpp"
#include "velorium/velorium.hpp"

namespace velorium {

namespace {
constexpr double kInfinity = std::numeric_limits<double>::infinity();

constexpr std::uint32_t typeCode(variable_type type) { return static_cast<std::uint32_t>(type); }
}  // namespace

LpSectionReader::LpSectionReader(const std::vector<LpToken>& tokens, const LpNameTable& names,
                                 VeloriumNamesHolder& pool, Model& model)
    : tokens_(tokens), names_(names), pool_(pool), model_(model), columnOfName_(names.size(), -1) {}

std::int32_t LpSectionReader::poolId(std::uint32_t name) {
  return static_cast<std::int32_t>(pool_.find_or_add_name(names_.text(name)));
}

std::int32_t LpSectionReader::getColumn(std::uint32_t name) {
  std::int32_t& column = columnOfName_[name];
  if (column < 0) {
    column = static_cast<std::int32_t>(model_.variables.size());
    model_.variables.push_back(Variable{typeCode(variable_type::continuous), 0.0, kInfinity, poolId(name)});
  }
  return column;
}

LpLineNumber LpSectionReader::lineAt(std::size_t position) const {
  // Sections are never empty, so a position past the end falls back on the last token.
  return position < end_ ? tokens_[position].line : tokens_[end_ - 1].line;
}

const LpToken& LpSectionReader::expect(std::size_t position, LpTokenKind kind, const char* reason) const {
  requireLpSyntax(isAt(position, kind), lineAt(position), reason);
  return tokens_[position];
}

void LpSectionReader::processSections(const std::map<LpSection, LpTokenRange>& sections) {
  auto range = [&](LpSection section) -> const LpTokenRange* {
    auto found = sections.find(section);
    return found == sections.end() ? nullptr : &found->second;
  };
  readObjective(sections);
  if (auto r = range(LpSection::constraints)) readConstraints(*r);
  if (auto r = range(LpSection::general_constraints)) readGeneralConstraints(*r);
  if (auto r = range(LpSection::bounds)) readBounds(*r);
  for (LpSection section : {LpSection::generals, LpSection::binaries, LpSection::semi_continuous}) {
    if (auto r = range(section)) readColumnTypes(*r, section);
  }
  if (auto r = range(LpSection::sos)) readSos(*r);
  if (auto r = range(LpSection::end)) requireLpSyntax(false, tokens_[r->begin].line, "text after End");
}

void LpSectionReader::readExpression(std::size_t& cursor, Expression& target, bool objective) {
  if (isAt(cursor, LpTokenKind::label)) target.name_id = poolId(tokens_[cursor++].name);
  // Room for the linear terms up front (each name makes at most one), so that a long row
  // neither grows in steps nor keeps up to twice the room it needs.
  std::size_t names = 0;
  for (std::size_t c = cursor; const LpToken* token = at(c); ++c) {
    if (token->kind == LpTokenKind::name) {
      ++names;
    } else if (token->kind != LpTokenKind::number) {
      break;
    }
  }
  target.linear_terms.reserve(target.linear_terms.size() + names);
  for (;;) {
    const LpToken* token = at(cursor);
    if (token == nullptr) return;
    if (token->kind == LpTokenKind::number) {
      if (isAt(cursor + 1, LpTokenKind::name)) {
        // A zero coefficient drops the term, and its name makes no column.
        if (token->number != 0) target.linear_terms.push_back(LinearTerm{getColumn(tokens_[cursor + 1].name), token->number});
        cursor += 2;
      } else {
        target.constant += token->number;
        cursor += 1;
      }
    } else if (token->kind == LpTokenKind::name) {
      target.linear_terms.push_back(LinearTerm{getColumn(token->name), 1.0});
      cursor += 1;
    } else if (token->kind == LpTokenKind::open_bracket && at(cursor + 1) != nullptr) {
      readQuadraticBlock(cursor, target, objective);
    } else {
      return;
    }
  }
}

void LpSectionReader::readQuadraticBlock(std::size_t& cursor, Expression& target, bool objective) {
  ++cursor;  // "["
  const std::size_t first = target.quadratic_terms.size();
  for (;;) {
    std::size_t c = cursor;
    double coefficient = 1.0;
    if (isAt(c, LpTokenKind::number) && isAt(c + 1, LpTokenKind::name)) coefficient = tokens_[c++].number;
    if (!isAt(c, LpTokenKind::name)) break;
    if (isAt(c + 1, LpTokenKind::caret) && isAt(c + 2, LpTokenKind::number)) {
      requireLpSyntax(tokens_[c + 2].number == 2, tokens_[c + 2].line, "a square needs the exponent 2");
      std::int32_t column = getColumn(tokens_[c].name);
      target.quadratic_terms.push_back(QuadTerm{column, column, coefficient});
    } else if (isAt(c + 1, LpTokenKind::star) && isAt(c + 2, LpTokenKind::name)) {
      std::int32_t column1 = getColumn(tokens_[c].name);
      target.quadratic_terms.push_back(QuadTerm{column1, getColumn(tokens_[c + 2].name), coefficient});
    } else {
      break;
    }
    cursor = c + 3;
  }
  expect(cursor++, LpTokenKind::close_bracket, "a quadratic term or \"]\" expected");
  if (!objective) return;
  // The objective's block is written as [ ... ]/ 2; its terms are stored halved.
  expect(cursor, LpTokenKind::slash, "\"/ 2\" expected after a quadratic block of the objective");
  requireLpSyntax(isAt(cursor + 1, LpTokenKind::number) && tokens_[cursor + 1].number == 2, lineAt(cursor + 1),
                  "\"/ 2\" expected after a quadratic block of the objective");
  cursor += 2;
  for (std::size_t i = first; i < target.quadratic_terms.size(); ++i) target.quadratic_terms[i].coefficient /= 2;
}

void LpSectionReader::readObjective(const std::map<LpSection, LpTokenRange>& sections) {
  model_.objective = Expression{};
  auto minimize = sections.find(LpSection::minimize);
  auto chosen = minimize != sections.end() ? minimize : sections.find(LpSection::maximize);
  if (chosen == sections.end()) return;
  model_.objective_sense = chosen->first == LpSection::minimize ? 0 : 1;
  enter(chosen->second);
  std::size_t cursor = chosen->second.begin;
  readExpression(cursor, model_.objective, true);
  requireLpSyntax(cursor == end_, lineAt(cursor), "the objective holds something other than terms");
}

namespace {
void applyBound(Constraint& row, LpComparison comparison, double value) {
  if (comparison != LpComparison::greater_equal) row.upper = value;
  if (comparison != LpComparison::less_equal) row.lower = value;
}

bool isStrict(LpComparison comparison) { return comparison == LpComparison::less || comparison == LpComparison::greater; }
}  // namespace

void LpSectionReader::readConstraints(const LpTokenRange& range) {
  enter(range);
  std::size_t cursor = range.begin;
  while (cursor < end_) {
    Constraint row(-kInfinity, kInfinity);
    readExpression(cursor, row.expression, false);
    LpComparison comparison = expect(cursor, LpTokenKind::comparison, "a comparison expected").comparison;
    double rhs = expect(cursor + 1, LpTokenKind::number, "a right-hand side must be a number").number;
    cursor += 2;
    if (isAt(cursor, LpTokenKind::arrow)) {
      // "b = 1 -> body": the first variable before the arrow switches the body on.
      requireLpSyntax(!row.expression.linear_terms.empty(), tokens_[cursor].line, "an indicator needs a variable before \"->\"");
      row.indicator_variable = row.expression.linear_terms.front().variable;
      row.indicator_value = rhs != 0;
      ++cursor;
      Expression body;
      readExpression(cursor, body, false);
      comparison = expect(cursor, LpTokenKind::comparison, "a comparison expected").comparison;
      rhs = expect(cursor + 1, LpTokenKind::number, "a right-hand side must be a number").number;
      cursor += 2;
      body.name_id = row.expression.name_id;
      row.expression = std::move(body);
      ++model_.indicator_count;
    }
    requireLpSyntax(!isStrict(comparison), tokens_[cursor - 2].line, "\"<\" and \">\" are not allowed");
    applyBound(row, comparison, rhs);
    model_.rows.push_back(std::move(row));
  }
}

void LpSectionReader::readGeneralConstraints(const LpTokenRange& range) {
  enter(range);
  std::size_t cursor = range.begin;
  while (cursor < end_) {
    GeneralConstraintRecord record;
    const LpLineNumber line = tokens_[cursor].line;
    record.name = names_.text(expect(cursor++, LpTokenKind::label, "a general constraint starts with its name").name);
    record.result_variable = getColumn(expect(cursor++, LpTokenKind::name, "the result variable expected").name);
    const LpToken& equal = expect(cursor++, LpTokenKind::comparison, "\"= NL :\" expected");
    requireLpSyntax(equal.comparison == LpComparison::equal, equal.line, "\"= NL :\" expected");
    expect(cursor++, LpTokenKind::nl_marker, "\"= NL :\" expected");
    requireLpSyntax(cursor < end_, lineAt(cursor), "a general constraint without nodes");
    while (isAt(cursor, LpTokenKind::open_bracket)) {
      ++cursor;
      const LpToken& typeName = expect(cursor++, LpTokenKind::name, "a node type expected");
      std::optional<int> type = genExprTypeByName(names_.text(typeName.name));
      requireLpSyntax(type.has_value(), typeName.line, "unknown node type");
      ExprNodeRecord node = ExprNodeRecord::operation(*type, -1);
      if (*type == ExprNodeRecord::kVariableType) {
        node = ExprNodeRecord::variable(getColumn(expect(cursor++, LpTokenKind::name, "a variable name expected").name), -1);
      } else {
        double value = expect(cursor++, LpTokenKind::number, "a node value expected").number;
        if (*type == ExprNodeRecord::kConstantType) node = ExprNodeRecord::constant(value, -1);
      }
      const LpToken& parent = expect(cursor++, LpTokenKind::number, "a parent position expected");
      const double position = std::trunc(parent.number);
      requireLpSyntax(position >= std::numeric_limits<std::int32_t>::min() && position <= std::numeric_limits<std::int32_t>::max(),
                      parent.line, "a parent position out of range");
      node.parent = static_cast<std::int32_t>(position);
      expect(cursor++, LpTokenKind::close_bracket, "\")\" expected after a node");
      record.nodes.push_back(node);
    }
    requireLpSyntax(cursor == end_ || isAt(cursor, LpTokenKind::label), lineAt(cursor), "a node or the next general constraint expected");
    const char* fault = findGeneralConstraintFault(record, model_.variables.size());
    requireLpSyntax(fault == nullptr, line, fault);
    model_.general_constraints.push_back(std::move(record));
  }
}

void LpSectionReader::readBounds(const LpTokenRange& range) {
  enter(range);
  std::size_t cursor = range.begin;
  auto comparisonAt = [&](std::size_t position) {
    const LpComparison comparison = tokens_[position].comparison;
    requireLpSyntax(!isStrict(comparison), tokens_[position].line, "\"<\" and \">\" are not allowed");
    return comparison;
  };
  // "x <= 4" and "4 >= x" set the upper bound, "x >= 4" and "4 <= x" the lower, "=" both.
  auto setBound = [&](std::int32_t column, LpComparison comparison, double value, bool valueOnTheLeft) {
    Variable& variable = model_.variables[column];
    const bool equal = comparison == LpComparison::equal;
    const bool upper = (comparison == LpComparison::less_equal) != valueOnTheLeft;
    if (equal || upper) variable.upper = value;
    if (equal || !upper) variable.lower = value;
  };
  while (cursor < end_) {
    const LpToken& first = tokens_[cursor];
    if (first.kind == LpTokenKind::name) {
      // A name alone on its line (the next token on a later line, or none) says nothing.
      if (cursor + 1 == tokens_.size() || tokens_[cursor + 1].line > first.line) {
        cursor += 1;
      } else if (isAt(cursor + 1, LpTokenKind::free)) {
        Variable& variable = model_.variables[getColumn(first.name)];
        variable.lower = -kInfinity;
        variable.upper = kInfinity;
        cursor += 2;
      } else {
        expect(cursor + 1, LpTokenKind::comparison, "a bound expected");
        const LpComparison comparison = comparisonAt(cursor + 1);
        const double value = expect(cursor + 2, LpTokenKind::number, "a bound must be a number").number;
        setBound(getColumn(first.name), comparison, value, false);
        cursor += 3;
      }
      continue;
    }
    const double value = expect(cursor, LpTokenKind::number, "a bound expected").number;
    expect(cursor + 1, LpTokenKind::comparison, "a bound expected");
    const LpComparison comparison = comparisonAt(cursor + 1);
    const std::int32_t column = getColumn(expect(cursor + 2, LpTokenKind::name, "a variable name expected").name);
    if (isAt(cursor + 3, LpTokenKind::comparison) && isAt(cursor + 4, LpTokenKind::number)) {
      requireLpSyntax(comparison == LpComparison::less_equal && comparisonAt(cursor + 3) == LpComparison::less_equal,
                      tokens_[cursor + 3].line, "a double bound is written lower <= name <= upper");
      model_.variables[column].lower = value;
      model_.variables[column].upper = tokens_[cursor + 4].number;
      cursor += 5;
    } else {
      setBound(column, comparison, value, true);
      cursor += 3;
    }
  }
}

void LpSectionReader::readColumnTypes(const LpTokenRange& range, LpSection section) {
  enter(range);
  for (std::size_t cursor = range.begin; cursor < end_; ++cursor) {
    Variable& variable = model_.variables[getColumn(expect(cursor, LpTokenKind::name, "only variable names may stand here").name)];
    switch (section) {
      case LpSection::generals:
        variable.type = typeCode(variable.type == typeCode(variable_type::semicontinuous) ? variable_type::semiinteger : variable_type::integer);
        break;
      case LpSection::binaries:
        variable.type = typeCode(variable_type::binary);
        if (variable.upper == kInfinity) variable.upper = 1;
        break;
      default:
        variable.type = typeCode(variable.type == typeCode(variable_type::integer) ? variable_type::semiinteger : variable_type::semicontinuous);
        break;
    }
  }
}

void LpSectionReader::readSos(const LpTokenRange& range) {
  enter(range);
  std::size_t cursor = range.begin;
  while (cursor < end_) {
    SosRecord set;
    set.name_id = poolId(expect(cursor++, LpTokenKind::label, "an SOS set starts with its name").name);
    set.sos_type = expect(cursor++, LpTokenKind::sos_type, "an SOS type expected").sosType;
    while (isAt(cursor, LpTokenKind::label) && isAt(cursor + 1, LpTokenKind::number)) {
      set.entries.push_back(SosEntry{getColumn(tokens_[cursor].name), tokens_[cursor + 1].number});
      cursor += 2;
    }
    model_.sos_sets.push_back(std::move(set));
  }
}

}  // namespace velorium
