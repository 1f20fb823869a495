#include "formats/export/gen_expr_type_names.hpp"

#include <gtest/gtest.h>

namespace velorium {
namespace {

TEST(GenExprTypeNames, MapsEveryTypeBothWays) {
  const char* expected[] = {"CONSTANT", "VARIABLE", "MINUS", "PLUS", "DIVIDE", "MULTIPLY", "SQRT",
                            "SQUARE",   "POW",      "EXP",   "LOG",  "LOG2",   "LOG10",    "SIN",
                            "COS",      "TAN",      "LOGISTIC", "TANH", "SIGNPOW"};
  for (int type = 0; type < 19; ++type) {
    EXPECT_EQ(genExprTypeName(type), expected[type]);
    EXPECT_EQ(genExprTypeByName(expected[type]), type);
  }
}

TEST(GenExprTypeNames, RejectsOtherValuesAndSpellings) {
  EXPECT_EQ(genExprTypeName(19), "");
  EXPECT_EQ(genExprTypeName(-1), "");
  for (const char* name : {"sqrt", "Sqrt", "SQRT ", "", "LOG1", "LOG100", "CONST"}) {
    EXPECT_FALSE(genExprTypeByName(name).has_value()) << name;
  }
  EXPECT_EQ(genExprTypeByName("SQRT"), 6);
}

}  // namespace
}  // namespace velorium
