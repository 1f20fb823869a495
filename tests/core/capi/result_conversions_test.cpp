// Functions of the function interface that convert results: bool to exactly 1 or 0, int to
// bool, and the array getters that need the result's array face.
#include <gtest/gtest.h>

#include <cstdint>

#include "support/recording_objects.hpp"
#include "velorium/velorium.h"
#include "velorium/velorium.hpp"

namespace velorium::testing {
namespace {

TEST(FunctionInterfaceBools, TrueIsExactlyOneAndFalseZero) {
  RecordingMatrixModel model;
  RecordingComputeIisResult iis;
  for (const bool value : {true, false}) {
    model.bool_result = value;
    iis.bool_result = value;
    const int expected = value ? 1 : 0;
    EXPECT_EQ(Model_GetBoolParam(&model, "output_flag"), expected);
    EXPECT_EQ(Model_IsMip(&model), expected);
    EXPECT_EQ(Model_IsNonlinear(&model), expected);
    EXPECT_EQ(ComputeIisResult_GetMinimal(&iis), expected);
  }
}

TEST(FunctionInterfaceBools, AnyNonZeroValueSetsTrue) {
  RecordingMatrixModel model;
  const char* name = "presolve";
  for (const auto& [value, expected] : {std::pair{2, true}, {-1, true}, {1, true}, {0, false}}) {
    Model_SetBoolParam(&model, name, value);
    EXPECT_EQ(model.last_call(), call_text("SetBoolParam", name, expected)) << value;
  }
}

using ArrayFunction = const double* (*)(VeloriumSolveResult*, uint64_t*);

struct ArrayCase {
  ArrayFunction function;
  const char* operation;
};

const ArrayCase kArrayCases[] = {
    {SolveResult_GetValuesArray, "GetValuesArray"},
    {SolveResult_GetDualValuesArray, "GetDualValuesArray"},
    {SolveResult_GetReducedCostsArray, "GetReducedCostsArray"},
};

TEST(FunctionInterfaceArrays, ReachTheArrayFaceOfTheResult) {
  for (const ArrayCase& c : kArrayCases) {
    RecordingSolveResultEx result;
    std::uint64_t count = 77;
    EXPECT_EQ(c.function(&result, &count), recorded_result<const double*>()) << c.operation;
    EXPECT_EQ(result.last_call(), call_text(c.operation, &count));
  }
}

TEST(FunctionInterfaceArrays, AResultWithoutTheArrayFaceGivesNoArray) {
  for (const ArrayCase& c : kArrayCases) {
    RecordingSolveResult result;
    std::uint64_t count = 77;
    EXPECT_EQ(c.function(&result, &count), nullptr) << c.operation;
    EXPECT_EQ(count, 0u) << c.operation;
    EXPECT_EQ(c.function(&result, nullptr), nullptr) << c.operation;
    EXPECT_EQ(result.call_count(), 0) << c.operation;  // no error information either
  }
}

}  // namespace
}  // namespace velorium::testing
