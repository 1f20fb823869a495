#include "formats/lp/lp_sections.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <stdexcept>
#include <string>
#include <tuple>

#include "core/names/names_holder.hpp"
#include "formats/common/general_constraint_check.hpp"
#include "formats/common/huge_pages.hpp"
#include "formats/export/gen_expr_type_names.hpp"
#include "velorium/velorium.hpp"

namespace velorium {

namespace {
constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr std::size_t kLongExpression = 1 << 16;

constexpr std::uint32_t typeCode(variable_type type) { return static_cast<std::uint32_t>(type); }

bool isStrict(LpComparison comparison) { return comparison == LpComparison::less || comparison == LpComparison::greater; }

void applyBound(Constraint& row, LpComparison comparison, double value) {
  if (comparison != LpComparison::greater_equal) row.upper = value;
  if (comparison != LpComparison::less_equal) row.lower = value;
}

// What stands before the first section keyword, for the message.
std::string describeStray(const LpToken& token) {
  std::string text = "text stands before the first section";
  if (token.kind == LpTokenKind::name || token.kind == LpTokenKind::label) {
    text.assign(1, '"').append(token.text).append("\" stands before the first section");
  }
  return text;
}

constexpr std::uint8_t kGeneralsMention = 1;
constexpr std::uint8_t kBinariesMention = 2;
constexpr std::uint8_t kSemiContinuousShift = 2;
}  // namespace

LpSectionReader::LpSectionReader(LpTokenStream& tokens, LpColumnIndex& columns, VeloriumNamesHolder& pool, Model& model,
                                 bool skipMaximize)
    : tokens_(tokens), columns_(columns), pool_(pool), model_(model), skipMaximize_(skipMaximize) {}

LpLineNumber LpSectionReader::lineAt(std::size_t i) {
  for (std::size_t j = i + 1; j-- > 0;) {
    if (const LpToken* token = at(j)) return token->line;
  }
  return tokens_.lastLine();
}

const LpToken& LpSectionReader::expect(std::size_t i, LpTokenKind kind, const char* reason) {
  requireLpSyntax(isAt(i, kind), lineAt(i), reason);
  return *at(i);
}

void LpSectionReader::enterSection(Rank rank) {
  rank_ = rank;
  rankMayFall_ = rank < highestRank_;
}

std::int32_t LpSectionReader::labelId(const LpToken& label) {
  return static_cast<std::int32_t>(pool_.find_or_add_name(VeloriumNamesHolder::HashedName{label.text, label.key.hash}));
}

std::int32_t LpSectionReader::getColumn(const LpToken& name) {
  // An SOS member is a label; its text has zero bytes behind it like every name's.
  const LpColumnIndex::Key key =
      name.kind == LpTokenKind::name ? name.key : LpColumnIndex::keyOfReadable(name.text.data(), name.text.size());
  const std::int32_t column = columns_.find(name.text, key);
  if (column == LpColumnIndex::kMissing) {
    const auto id = static_cast<std::int32_t>(pool_.find_or_add_name(name.text));
    const std::size_t made = model_.variables.size();
    if (made >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
      throw std::length_error("too many variables in one LP file");
    }
    roomForOneMore(model_.variables);
    model_.variables.push_back(Variable{typeCode(variable_type::continuous), 0.0, kInfinity, id});
    // The index numbers its columns in the order they come, as the model does.
    const std::int32_t added = columns_.insert(pool_.name_view(id), key);
    columnRank_.push_back(rank_);
    if (rank_ < highestRank_) renumber_ = true;
    highestRank_ = std::max<std::uint8_t>(highestRank_, rank_);
    return added;
  }
  if (rankMayFall_ && columnRank_[column] > rank_) {
    rankChanges_.push_back(RankChange{column, rank_, model_.variables.size()});
    columnRank_[column] = rank_;
    renumber_ = true;
  }
  return column;
}

bool LpSectionReader::readAll() {
  const LpToken& first = tokens_.peek(0);
  if (first.kind == LpTokenKind::end_of_text) {
    throw LpSyntaxError(0, "no section: an LP file holds Minimize or Maximize, Subject To, Bounds, ... and End");
  }
  if (first.kind != LpTokenKind::section_keyword) {
    throw LpSyntaxError(first.line, describeStray(first) + " (Minimize, Maximize, Subject To, ...): a misspelt keyword?");
  }
  bool held[static_cast<int>(LpSection::end) + 1] = {};
  bool maximizeRead = false;
  for (;;) {
    const LpToken& keyword = tokens_.peek(0);
    if (keyword.kind == LpTokenKind::end_of_text) break;
    const LpSection section = keyword.section;
    requireLpSyntax(!held[static_cast<int>(section)], keyword.line, "a section comes twice");
    consume(1);
    if (atSectionEnd()) continue;  // an empty section counts as absent
    held[static_cast<int>(section)] = true;
    switch (section) {
      case LpSection::minimize:
        if (maximizeRead) return false;
        readObjective(false);
        break;
      case LpSection::maximize:
        if (held[static_cast<int>(LpSection::minimize)] || skipMaximize_) {
          skipSection();
        } else {
          maximizeRead = true;
          readObjective(true);
        }
        break;
      case LpSection::constraints: readConstraints(); break;
      case LpSection::general_constraints: readGeneralConstraints(); break;
      case LpSection::bounds: readBounds(); break;
      case LpSection::generals:
      case LpSection::binaries:
      case LpSection::semi_continuous: readColumnTypes(section); break;
      case LpSection::sos: readSos(); break;
      default: throw LpSyntaxError(tokens_.peek(0).line, "text after End");
    }
  }
  if (maximizeFailure_) throw *maximizeFailure_;
  settleColumnTypes();
  if (renumber_) renumberColumns();
  return true;
}

void LpSectionReader::skipSection() {
  while (!atSectionEnd()) consume(1);
}

void LpSectionReader::readObjective(bool maximize) {
  enterSection(kObjectiveRank);
  model_.objective = Expression{};
  model_.objective_sense = maximize ? 1 : 0;
  try {
    readExpression(model_.objective, true);
    requireLpSyntax(atSectionEnd(), lineAt(0), "the objective holds something other than terms");
  } catch (const LpSyntaxError& error) {
    // A Minimize section later in the file would make this one unread: the failure counts
    // only when none comes. A failure of the text itself comes again as the section is passed.
    if (!maximize) throw;
    maximizeFailure_ = error;
    model_.objective = Expression{};
    skipSection();
  }
}

void LpSectionReader::addConstant(Expression& target, const LpToken& number) {
  requireLpSyntax(std::isfinite(number.number), number.line, "a constant must be finite");
  target.constant += number.number;
  requireLpSyntax(std::isfinite(target.constant), number.line, "the constant is too large");
}

void LpSectionReader::readExpression(Expression& target, bool objective) {
  if (isAt(0, LpTokenKind::label)) {
    target.name_id = labelId(*at(0));
    consume(1);
  }
  linear_.clear();
  quadratic_.clear();
  for (;;) {
    const LpToken* token = at(0);
    if (token == nullptr) break;
    if (token->kind == LpTokenKind::number) {
      const LpToken* next = at(1);
      if (next != nullptr && next->kind == LpTokenKind::name) {
        requireLpSyntax(std::isfinite(token->number), token->line, "a coefficient must be finite");
        // A zero coefficient drops the term, and its name makes no column.
        if (token->number != 0) addTerm(getColumn(*next), token->number);
        consume(2);
      } else {
        addConstant(target, *token);
        consume(1);
      }
    } else if (token->kind == LpTokenKind::name) {
      addTerm(getColumn(*token), 1.0);
      consume(1);
    } else if (token->kind == LpTokenKind::open_bracket && at(1) != nullptr) {
      readQuadraticBlock(objective);
    } else {
      break;
    }
  }
  // Exactly the room the terms need (a long row's in huge pages: the terms' own growth).
  target.linear_terms.assign(linear_.begin(), linear_.end());
  target.quadratic_terms.assign(quadratic_.begin(), quadratic_.end());
  // A long objective line would otherwise keep its room here for the rest of the reading.
  if (linear_.capacity() > kLongExpression) std::vector<LinearTerm>().swap(linear_);
  if (quadratic_.capacity() > kLongExpression) std::vector<QuadTerm>().swap(quadratic_);
}

void LpSectionReader::readQuadraticBlock(bool objective) {
  consume(1);  // "["
  const std::size_t first = quadratic_.size();
  for (;;) {
    std::size_t c = 0;
    double coefficient = 1.0;
    if (isAt(0, LpTokenKind::number) && isAt(1, LpTokenKind::name)) {
      coefficient = at(0)->number;
      c = 1;
    }
    if (!isAt(c, LpTokenKind::name)) break;
    if (isAt(c + 1, LpTokenKind::caret) && isAt(c + 2, LpTokenKind::number)) {
      requireLpSyntax(at(c + 2)->number == 2, at(c + 2)->line, "a square needs the exponent 2");
      requireLpSyntax(std::isfinite(coefficient), at(0)->line, "a coefficient must be finite");
      const std::int32_t column = getColumn(*at(c));
      quadratic_.push_back(QuadTerm{column, column, coefficient});
    } else if (isAt(c + 1, LpTokenKind::star) && isAt(c + 2, LpTokenKind::name)) {
      requireLpSyntax(std::isfinite(coefficient), at(0)->line, "a coefficient must be finite");
      const std::int32_t column1 = getColumn(*at(c));
      quadratic_.push_back(QuadTerm{column1, getColumn(*at(c + 2)), coefficient});
    } else {
      break;
    }
    consume(c + 3);
  }
  expect(0, LpTokenKind::close_bracket, "a quadratic term or \"]\" expected");
  consume(1);
  if (!objective) return;
  // The objective's block is written as [ ... ]/ 2; its terms are stored halved.
  expect(0, LpTokenKind::slash, "\"/ 2\" expected after a quadratic block of the objective");
  requireLpSyntax(isAt(1, LpTokenKind::number) && at(1)->number == 2, lineAt(1),
                  "\"/ 2\" expected after a quadratic block of the objective");
  consume(2);
  for (std::size_t i = first; i < quadratic_.size(); ++i) quadratic_[i].coefficient /= 2;
}

void LpSectionReader::readConstraints() {
  enterSection(kConstraintsRank);
  while (!atSectionEnd()) {
    Constraint row(-kInfinity, kInfinity);
    readExpression(row.expression, false);
    const LpToken& sense = expect(0, LpTokenKind::comparison, "a comparison expected");
    LpComparison comparison = sense.comparison;
    LpLineNumber senseLine = sense.line;
    double rhs = expect(1, LpTokenKind::number, "a right-hand side must be a number").number;
    consume(2);
    if (isAt(0, LpTokenKind::arrow)) {
      // "b = 1 -> body": the first variable before the arrow switches the body on.
      requireLpSyntax(!row.expression.linear_terms.empty(), at(0)->line, "an indicator needs a variable before \"->\"");
      row.indicator_variable = row.expression.linear_terms.front().variable;
      row.indicator_value = rhs != 0;
      consume(1);
      Expression body;
      readExpression(body, false);
      const LpToken& bodySense = expect(0, LpTokenKind::comparison, "a comparison expected");
      comparison = bodySense.comparison;
      senseLine = bodySense.line;
      rhs = expect(1, LpTokenKind::number, "a right-hand side must be a number").number;
      consume(2);
      body.name_id = row.expression.name_id;
      row.expression = std::move(body);
      ++model_.indicator_count;
    }
    requireLpSyntax(!isStrict(comparison), senseLine, "\"<\" and \">\" are not allowed");
    applyBound(row, comparison, rhs);
    roomForOneMore(model_.rows);
    model_.rows.push_back(std::move(row));
  }
}

void LpSectionReader::readGeneralConstraints() {
  enterSection(kGeneralConstraintsRank);
  while (!atSectionEnd()) {
    GeneralConstraintRecord record;
    const LpLineNumber line = at(0)->line;
    record.name = std::string(expect(0, LpTokenKind::label, "a general constraint starts with its name").text);
    consume(1);
    record.result_variable = getColumn(expect(0, LpTokenKind::name, "the result variable expected"));
    consume(1);
    const LpToken& equal = expect(0, LpTokenKind::comparison, "\"= NL :\" expected");
    requireLpSyntax(equal.comparison == LpComparison::equal, equal.line, "\"= NL :\" expected");
    consume(1);
    expect(0, LpTokenKind::nl_marker, "\"= NL :\" expected");
    consume(1);
    requireLpSyntax(!atSectionEnd(), lineAt(0), "a general constraint without nodes");
    while (isAt(0, LpTokenKind::open_bracket)) {
      consume(1);
      const LpToken& typeName = expect(0, LpTokenKind::name, "a node type expected");
      const std::optional<int> type = genExprTypeByName(typeName.text);
      requireLpSyntax(type.has_value(), typeName.line, "unknown node type");
      consume(1);
      ExprNodeRecord node = ExprNodeRecord::operation(*type, -1);
      if (*type == ExprNodeRecord::kVariableType) {
        node = ExprNodeRecord::variable(getColumn(expect(0, LpTokenKind::name, "a variable name expected")), -1);
      } else {
        const LpToken& value = expect(0, LpTokenKind::number, "a node value expected");
        if (*type == ExprNodeRecord::kConstantType) {
          requireLpSyntax(std::isfinite(value.number), value.line, "a constant must be finite");
          node = ExprNodeRecord::constant(value.number, -1);
        }
      }
      consume(1);
      const LpToken& parent = expect(0, LpTokenKind::number, "a parent position expected");
      const double position = std::trunc(parent.number);
      requireLpSyntax(position >= std::numeric_limits<std::int32_t>::min() && position <= std::numeric_limits<std::int32_t>::max(),
                      parent.line, "a parent position out of range");
      node.parent = static_cast<std::int32_t>(position);
      consume(1);
      expect(0, LpTokenKind::close_bracket, "\")\" expected after a node");
      consume(1);
      record.nodes.push_back(node);
    }
    requireLpSyntax(atSectionEnd() || isAt(0, LpTokenKind::label), lineAt(0), "a node or the next general constraint expected");
    const char* fault = findGeneralConstraintFault(record, model_.variables.size());
    requireLpSyntax(fault == nullptr, line, fault);
    model_.general_constraints.push_back(std::move(record));
  }
}

void LpSectionReader::readBounds() {
  enterSection(kBoundsRank);
  auto comparisonAt = [&](std::size_t i) {
    const LpComparison comparison = at(i)->comparison;
    requireLpSyntax(!isStrict(comparison), at(i)->line, "\"<\" and \">\" are not allowed");
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
  while (const LpToken* first = at(0)) {
    if (first->kind == LpTokenKind::name) {
      // A name alone on its line (the next token on a later line, or none) says nothing.
      const LpToken& next = tokens_.peek(1);
      if (next.kind == LpTokenKind::end_of_text || next.line > first->line) {
        consume(1);
      } else if (isAt(1, LpTokenKind::free)) {
        Variable& variable = model_.variables[getColumn(*first)];
        variable.lower = -kInfinity;
        variable.upper = kInfinity;
        consume(2);
      } else {
        expect(1, LpTokenKind::comparison, "a bound expected");
        const LpComparison comparison = comparisonAt(1);
        const double value = expect(2, LpTokenKind::number, "a bound must be a number").number;
        setBound(getColumn(*first), comparison, value, false);
        consume(3);
      }
      continue;
    }
    const double value = expect(0, LpTokenKind::number, "a bound expected").number;
    expect(1, LpTokenKind::comparison, "a bound expected");
    const LpComparison comparison = comparisonAt(1);
    const std::int32_t column = getColumn(expect(2, LpTokenKind::name, "a variable name expected"));
    if (isAt(3, LpTokenKind::comparison) && isAt(4, LpTokenKind::number)) {
      requireLpSyntax(comparison == LpComparison::less_equal && comparisonAt(3) == LpComparison::less_equal, at(3)->line,
                      "a double bound is written lower <= name <= upper");
      model_.variables[column].lower = value;
      model_.variables[column].upper = at(4)->number;
      consume(5);
    } else {
      setBound(column, comparison, value, true);
      consume(3);
    }
  }
}

void LpSectionReader::readColumnTypes(LpSection section) {
  enterSection(section == LpSection::generals ? kGeneralsRank : section == LpSection::binaries ? kBinariesRank : kSemiContinuousRank);
  while (!atSectionEnd()) {
    const std::int32_t column = getColumn(expect(0, LpTokenKind::name, "only variable names may stand here"));
    consume(1);
    if (typeMentions_.size() < model_.variables.size()) typeMentions_.resize(model_.variables.size());
    std::uint8_t& mentions = typeMentions_[column];
    if (section == LpSection::generals) {
      mentions |= kGeneralsMention;
    } else if (section == LpSection::binaries) {
      mentions |= kBinariesMention;
    } else if ((mentions >> kSemiContinuousShift) < 2) {
      mentions = static_cast<std::uint8_t>(mentions + (1 << kSemiContinuousShift));
    }
  }
}

// The types come out as if the sections were read generals, binaries, semi-continuous, after
// the bounds: a binary column gets the upper bound 1 only when the bounds left it none, and
// each mention under Semi-Continuous turns an integer column semi-integer and any other one
// semi-continuous.
void LpSectionReader::settleColumnTypes() {
  for (std::size_t column = 0; column < typeMentions_.size(); ++column) {
    const std::uint8_t mentions = typeMentions_[column];
    if (mentions == 0) continue;
    Variable& variable = model_.variables[column];
    if (mentions & kGeneralsMention) variable.type = typeCode(variable_type::integer);
    if (mentions & kBinariesMention) {
      variable.type = typeCode(variable_type::binary);
      if (variable.upper == kInfinity) variable.upper = 1;
    }
    for (int i = 0; i < mentions >> kSemiContinuousShift; ++i) {
      variable.type = typeCode(variable.type == typeCode(variable_type::integer) ? variable_type::semiinteger : variable_type::semicontinuous);
    }
  }
  std::vector<std::uint8_t>().swap(typeMentions_);
}

// Columns were numbered as the file named them; the fixed order of the sections names them
// otherwise. A column's place: the lowest-ranked section that names it, then where in that
// section it was first named (counted in the columns that existed by then).
void LpSectionReader::renumberColumns() {
  const std::size_t count = model_.variables.size();
  using Place = std::tuple<std::uint8_t, std::size_t, std::uint8_t, std::size_t>;  // rank, columns before, made, change
  std::vector<Place> places(count);
  for (std::size_t column = 0; column < count; ++column) places[column] = Place{columnRank_[column], column, 1, 0};
  for (std::size_t i = 0; i < rankChanges_.size(); ++i) {
    const RankChange& change = rankChanges_[i];
    places[change.column] = Place{change.rank, change.columnsBefore, 0, i};
  }
  std::vector<std::int32_t> order(count);
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) { return places[a] < places[b]; });
  std::vector<std::int32_t> renumbered(count);
  std::vector<Variable> variables(count);
  for (std::size_t place = 0; place < count; ++place) {
    renumbered[order[place]] = static_cast<std::int32_t>(place);
    variables[place] = model_.variables[order[place]];
  }
  model_.variables = std::move(variables);
  auto renumberExpression = [&](Expression& expression) {
    for (LinearTerm& term : expression.linear_terms) term.variable = renumbered[term.variable];
    for (QuadTerm& term : expression.quadratic_terms) {
      term.variable1 = renumbered[term.variable1];
      term.variable2 = renumbered[term.variable2];
    }
  };
  renumberExpression(model_.objective);
  for (Constraint& row : model_.rows) {
    renumberExpression(row.expression);
    if (row.indicator_variable >= 0) row.indicator_variable = renumbered[row.indicator_variable];
  }
  for (GeneralConstraintRecord& record : model_.general_constraints) {
    record.result_variable = renumbered[record.result_variable];
    for (ExprNodeRecord& node : record.nodes) {
      if (node.type == ExprNodeRecord::kVariableType) {
        node = ExprNodeRecord::variable(renumbered[node.variable_index()], node.parent);
      }
    }
  }
  for (SosRecord& set : model_.sos_sets) {
    for (SosEntry& entry : set.entries) entry.variable = renumbered[entry.variable];
  }
}

void LpSectionReader::readSos() {
  enterSection(kSosRank);
  while (!atSectionEnd()) {
    SosRecord set;
    set.name_id = labelId(expect(0, LpTokenKind::label, "an SOS set starts with its name"));
    consume(1);
    set.sos_type = expect(0, LpTokenKind::sos_type, "an SOS type expected").sosType;
    consume(1);
    while (isAt(0, LpTokenKind::label) && isAt(1, LpTokenKind::number)) {
      set.entries.push_back(SosEntry{getColumn(*at(0)), at(1)->number});
      consume(2);
    }
    model_.sos_sets.push_back(std::move(set));
  }
}

}  // namespace velorium
