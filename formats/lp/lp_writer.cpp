#include "formats/lp/lp_writer.hpp"

#include <algorithm>
#include <cmath>

#include "formats/common/number_text.hpp"
#include "formats/export/gen_expr_type_names.hpp"

namespace velorium {

namespace {

bool isBinaryOrInteger(const Variable& variable) {
  return hasType(variable, variable_type::binary) || hasType(variable, variable_type::integer);
}
bool hasBinaryBounds(const Variable& variable) { return variable.lower == 0.0 && variable.upper == 1.0; }

}  // namespace

const std::vector<LinearTerm>& LpWriter::mergedLinearTerms(const Expression& expression) {
  merged_.clear();
  for (const LinearTerm& term : expression.linear_terms) {
    if (term.coefficient == 0.0) continue;
    std::int32_t& slot = merge_slot_[static_cast<std::size_t>(term.variable)];
    if (slot < 0) {
      slot = static_cast<std::int32_t>(merged_.size());
      merged_.push_back(term);
    } else {
      merged_[static_cast<std::size_t>(slot)].coefficient += term.coefficient;
    }
  }
  for (const LinearTerm& term : merged_) merge_slot_[static_cast<std::size_t>(term.variable)] = -1;
  return merged_;
}

void LpWriter::writeLpExpression(const Expression& expression, bool objective) {
  const std::vector<LinearTerm>& terms = mergedLinearTerms(expression);
  for (const LinearTerm& term : terms) column_names_->prefetch(static_cast<std::size_t>(term.variable));
  int term_number = 0;
  for (const LinearTerm& term : terms) {
    if (term.coefficient == 0.0) continue;
    writeLpCoefficient(term.coefficient, ++term_number);
    writeLpText(" ");
    writeLpText((*column_names_)[static_cast<std::size_t>(term.variable)]);
  }
  if (objective && term_number == 0 && expression.quadratic_terms.empty() && !copy_->columns.empty()) {
    // An objective without terms is written as 0 times the first column: glpsol refuses an
    // objective line without a term, and a zero coefficient changes no model (our reader makes
    // no term of it). A model without columns has no term to write; glpsol refuses it anyway,
    // for its rows have no terms either.
    writeLpText(" 0");
    writeLpText(" ");
    writeLpText((*column_names_)[0]);
  }
  writeLpText(" ");
  if (!expression.quadratic_terms.empty()) {
    writeLpText(expression.linear_terms.empty() ? "[" : "+ [");
    bool written = false;
    for (const QuadTerm& term : expression.quadratic_terms) {
      if (term.coefficient == 0.0) continue;
      // The objective's block is halved by the "/ 2" behind it.
      double c = objective ? term.coefficient * 2.0 : term.coefficient;
      item_.clear();
      if (c < 0.0) {
        item_ += " -";
      } else if (written) {
        item_ += " +";
      }
      if (std::fabs(c) != 1.0) {
        item_ += ' ';
        appendLpNumber(item_, std::fabs(c));
      }
      item_ += ' ';
      item_ += copy_->columns[static_cast<std::size_t>(term.variable1)].name;
      if (term.variable1 == term.variable2) {
        item_ += "^2";
      } else {
        item_ += " * ";
        item_ += copy_->columns[static_cast<std::size_t>(term.variable2)].name;
      }
      writeLpText(item_);
      written = true;
    }
    writeLpText(objective ? " ]/ 2 " : " ] ");
  }
  if (objective && expression.constant != 0.0) writeLpSignedNumber(expression.constant);
}

void LpWriter::writeLpRowSides(const Expression& expression, double lower, double upper) {
  writeLpExpression(expression, false);
  double bound;
  // Equal infinite bounds are written as the one-sided row they amount to, the form that
  // reading "<= -inf" or ">= inf" back gives again.
  if (lower == upper && std::isfinite(lower)) {
    writeLpText("=");
    bound = upper;
  } else if (upper == INFINITY) {
    writeLpText(">=");
    bound = lower;
  } else {
    writeLpText("<=");
    bound = upper;
  }
  writeLpNumber(bound - expression.constant);
  writeLpLineBreak();
}

// "<name> :", and for an indicator row "<column> = <0|1> ->" behind it.
void LpWriter::writeLpRowLabel(std::size_t row) {
  item_.assign(copy_->rows[row].name);
  item_ += " :";
  writeLpText(item_);
  const Constraint& source = copy_->model.rows[row];
  if (source.indicator_variable < 0) return;
  writeLpText(copy_->columns[static_cast<std::size_t>(source.indicator_variable)].name);
  writeLpText(" = ");
  writeLpText(source.indicator_value ? "1" : "0");
  writeLpText(" ->");
}

void LpWriter::writeLpConstraints() {
  for (std::size_t i = 0; i < copy_->rows.size(); ++i) {
    const Constraint& row = copy_->model.rows[i];
    writeLpRowLabel(i);
    double lower = row.lower;
    double upper = row.upper;
    if (lower == -INFINITY || upper == INFINITY || lower == upper) {
      writeLpRowSides(row.expression, lower, upper);
      continue;
    }
    // A ranged row is two lines under one name, the upper side first; an indicator applies
    // to both.
    writeLpRowSides(row.expression, -INFINITY, upper);
    writeLpRowLabel(i);
    writeLpRowSides(row.expression, lower, INFINITY);
  }
}

void LpWriter::writeLpBounds() {
  for (std::size_t j = 0; j < copy_->columns.size(); ++j) {
    const Variable& variable = copy_->model.variables[j];
    std::string_view name = copy_->columns[j].name;
    if (variable.lower == 0.0 && variable.upper == INFINITY) continue;
    if (isBinaryOrInteger(variable) && hasBinaryBounds(variable)) continue;  // listed under Binaries
    if (variable.lower == -INFINITY && variable.upper == INFINITY) {
      item_.assign(name);
      item_ += " Free";
      writeLpText(item_);
      writeLpLineBreak();
      continue;
    }
    if (variable.lower != 0.0) {
      writeLpNumber(variable.lower);
      writeLpText(" <= ");
    }
    writeLpText(name);
    if (variable.upper != INFINITY) {
      writeLpText(" <=");
      writeLpNumber(variable.upper);
    }
    writeLpLineBreak();
  }
}

template <typename Predicate>
void LpWriter::writeLpVariableSection(std::string_view header, Predicate selects) {
  bool written = false;
  for (std::size_t j = 0; j < copy_->columns.size(); ++j) {
    if (!selects(copy_->model.variables[j])) continue;
    if (!written) {
      writeLpText(header);
      writeLpLineBreak();
      written = true;
    }
    writeLpText(copy_->columns[j].name);
    writeLpLineBreak();
  }
}

void LpWriter::writeLpGeneralConstraints() {
  writeLpText("gencons");
  writeLpLineBreak();
  const auto& generals = copy_->model.general_constraints;
  for (std::size_t g = 0; g < generals.size(); ++g) {
    item_.clear();
    item_ += ' ';
    item_ += copy_->general_constraints[g].name;
    item_ += " : ";
    item_ += copy_->columns[static_cast<std::size_t>(generals[g].result_variable)].name;
    item_ += " = NL : ";
    writeLpText(item_);
    int items_on_line = 1;
    for (const ExprNodeRecord& node : generals[g].nodes) {
      item_.assign("( ");
      item_ += genExprTypeName(node.type);
      item_ += " , ";
      if (node.type == ExprNodeRecord::kConstantType) {
        appendLpNumber(item_, node.constant_value());
      } else if (node.type == ExprNodeRecord::kVariableType) {
        item_ += copy_->columns[static_cast<std::size_t>(node.variable_index())].name;
      } else {
        item_ += "-1";
      }
      item_ += " , ";
      appendInteger(item_, node.parent);
      item_ += " ) ";
      writeLpText(item_);
      if (++items_on_line == 4) {
        writeLpLineBreak();
        items_on_line = 0;
      }
    }
    writeLpLineBreak();
  }
}

void LpWriter::writeFile(TextOutput& out, const ExportModel& copy) {
  startLpItems(out);
  copy_ = &copy;
  merge_slot_.assign(copy.columns.size(), -1);
  column_names_ = std::make_unique<NameSlots>(copy.columns, 0);
  const Model& model = copy.model;

  writeLpText("\\ File written by Velorium LP filereader");
  writeLpLineBreak();
  writeLpText(model.objective_sense == 0 ? "Minimize" : "Maximize");
  writeLpLineBreak();
  item_.clear();
  item_ += ' ';
  item_ += copy.objective.name;
  item_ += ':';
  writeLpText(item_);
  writeLpExpression(model.objective, true);
  writeLpLineBreak();

  writeLpText("\nSubject To");
  writeLpLineBreak();
  writeLpConstraints();

  writeLpText("\nBounds");
  writeLpLineBreak();
  writeLpBounds();

  writeLpVariableSection("\nBinaries", [](const Variable& variable) {
    return hasType(variable, variable_type::binary) ||
           (hasType(variable, variable_type::integer) && hasBinaryBounds(variable));
  });
  // A semi-integer column is listed here too, so that it reads back as integer.
  writeLpVariableSection("\nGenerals", [](const Variable& variable) {
    return (hasType(variable, variable_type::integer) && !hasBinaryBounds(variable)) ||
           hasType(variable, variable_type::semiinteger);
  });
  writeLpVariableSection("\nSemi-continuous", [](const Variable& variable) {
    return hasType(variable, variable_type::semicontinuous) || hasType(variable, variable_type::semiinteger);
  });
  if (!model.general_constraints.empty()) writeLpGeneralConstraints();
  writeLpText("End");
  writeLpLineBreak();

  merge_slot_ = {};
  merged_ = {};
  column_names_.reset();
  finishLpItems();
  copy_ = nullptr;
}

}  // namespace velorium
