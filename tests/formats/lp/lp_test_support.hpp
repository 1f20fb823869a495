// Helpers of the LP reader tests: models read from texts, names of their members, captured
// log texts.
#pragma once

#include <gtest/gtest.h>

#include <charconv>
#include <memory>
#include <string>
#include <vector>

#include "core/log/log_options.hpp"
#include "core/records/model.hpp"
#include "formats/lp/lp_reader.hpp"
#include "formats/lp/lp_writer.hpp"
#include "support/log_capture.hpp"
#include "support/test_models.hpp"
#include "velorium/velorium.hpp"

namespace velorium::test {

inline std::string columnName(const Model& model, std::int32_t column) { return nameText(model.variables.at(column).name_id); }

// `model` written as LP text and read back; an empty model, and a test failure naming the
// line and showing the text, when the text does not read.
inline std::shared_ptr<Model> writeAndReadLp(const Model& model) {
  const std::string text = LpWriter().writeModelToText(model);
  try {
    return parseLpText(text);
  } catch (const LpSyntaxError& error) {
    ADD_FAILURE() << "line " << error.line() << ": " << error.reason() << "\n" << text;
    return std::make_shared<Model>();
  }
}

// The model's columns by name, in store order: "x y z".
inline std::string columnNames(const Model& model) {
  std::string names;
  for (const Variable& variable : model.variables) names += (names.empty() ? "" : " ") + nameText(variable.name_id);
  return names;
}

// A coefficient in its shortest exact form ("0.5", "-0.123456789012346").
inline std::string coefficientText(double value) {
  char number[32];
  auto end = std::to_chars(number, number + sizeof number, value).ptr;
  return std::string(number, end);
}

// The linear part of an expression as "2 x + -1 y", in stored order.
inline std::string linearText(const Model& model, const Expression& expression) {
  std::string text;
  for (const LinearTerm& term : expression.linear_terms) {
    text += (text.empty() ? "" : " + ") + coefficientText(term.coefficient) + " " + columnName(model, term.variable);
  }
  return text;
}

// The quadratic part as "1.5 x*x + -2 x*y", in stored order.
inline std::string quadraticText(const Model& model, const Expression& expression) {
  std::string text;
  for (const QuadTerm& term : expression.quadratic_terms) {
    text += (text.empty() ? "" : " + ") + coefficientText(term.coefficient) + " " + columnName(model, term.variable1) + "*" +
            columnName(model, term.variable2);
  }
  return text;
}

}  // namespace velorium::test
