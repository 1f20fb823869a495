// Faults of general-constraint records that would not make a tree.
#include "formats/common/general_constraint_check.hpp"

#include <gtest/gtest.h>

#include <string>

#include "velorium/velorium.hpp"

namespace velorium {
namespace {

ExprNodeRecord op(gen_expr_type type, std::int32_t parent) { return ExprNodeRecord::operation(static_cast<std::int32_t>(type), parent); }

TEST(GeneralConstraintCheck, SoundRecordsPass) {
  GeneralConstraintRecord record{"g", {op(gen_expr_type::plus, -1), ExprNodeRecord::variable(0, 0), op(gen_expr_type::func_pow, 0),
                                       ExprNodeRecord::variable(1, 2), ExprNodeRecord::constant(2.0, 2)},
                                 1};
  EXPECT_EQ(findGeneralConstraintFault(record, 2), nullptr);
  GeneralConstraintRecord single{"v", {ExprNodeRecord::variable(0, -1)}, 0};
  EXPECT_EQ(findGeneralConstraintFault(single, 1), nullptr);
}

TEST(GeneralConstraintCheck, FaultsAreNamed) {
  struct Case {
    const char* what;
    GeneralConstraintRecord record;
    const char* fault;  // a part of the fault's text
  } cases[] = {
      {"no nodes", {"g", {}, 0}, "without nodes"},
      {"result out of range", {"g", {ExprNodeRecord::constant(1, -1)}, 3}, "result variable"},
      {"negative result", {"g", {ExprNodeRecord::constant(1, -1)}, -1}, "result variable"},
      {"variable out of range", {"g", {ExprNodeRecord::variable(3, -1)}, 0}, "variable node"},
      {"unknown type", {"g", {ExprNodeRecord::operation(19, -1)}, 0}, "node type"},
      {"negative type", {"g", {ExprNodeRecord::operation(-1, -1)}, 0}, "node type"},
      {"root not first", {"g", {ExprNodeRecord::constant(1, 0)}, 0}, "root"},
      {"second root", {"g", {op(gen_expr_type::plus, -1), ExprNodeRecord::constant(1, -1)}, 0}, "parent"},
      {"parent later", {"g", {op(gen_expr_type::plus, -1), ExprNodeRecord::constant(1, 2), ExprNodeRecord::constant(1, 0)}, 0}, "parent"},
      {"third child of minus",
       {"g", {op(gen_expr_type::minus, -1), ExprNodeRecord::constant(1, 0), ExprNodeRecord::constant(2, 0), ExprNodeRecord::constant(3, 0)}, 0},
       "more children"},
      {"child of a variable", {"g", {ExprNodeRecord::variable(0, -1), ExprNodeRecord::constant(2, 0)}, 0}, "more children"},
  };
  for (const Case& c : cases) {
    const char* fault = findGeneralConstraintFault(c.record, 1);
    ASSERT_NE(fault, nullptr) << c.what;
    EXPECT_NE(std::string(fault).find(c.fault), std::string::npos) << c.what << ": " << fault;
  }
}

}  // namespace
}  // namespace velorium
