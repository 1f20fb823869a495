// Every forwarding function of the function interface calls the operation of its name on the
// handle's object, passes the remaining arguments unchanged and in order, and returns the
// operation's result unchanged. The functions come from the function table itself; the
// operations they reach are recorded by objects that know nothing of the table.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "support/recording_objects.hpp"
#include "velorium/velorium.h"
#include "velorium/velorium.hpp"

namespace velorium::testing {
namespace {

// The recording object for each kind of handle (declarations only, for decltype).
RecordingMatrixModel recorder_for(IModel*);
RecordingVariable recorder_for(IVariable*);
RecordingConstraint recorder_for(IConstraint*);
RecordingGeneralConstraint recorder_for(IGeneralConstraint*);
RecordingLinearExpression recorder_for(ILinearExpression*);
RecordingQuadExpression recorder_for(IQuadExpression*);
RecordingGeneralExpression recorder_for(IGeneralExpression*);
RecordingSolveResultEx recorder_for(ISolveResult*);
RecordingComputeIisResult recorder_for(IComputeIisResult*);

// What the int arguments of a call are: different for every position, or, for the rows whose
// int arguments are enumeration values that are checked, all in range or all out of range.
enum class Ints { distinct, in_range, out_of_range };

// Every enumeration of the function interface holds 0 and 1 and none holds 7.
constexpr int kOutOfRange = 7;
constexpr std::array<int, 64> filled_with(int value) {
  std::array<int, 64> values{};
  for (int& v : values) v = value;
  return values;
}
constexpr std::array<int, 64> kInRangeArray = filled_with(0);
constexpr std::array<int, 64> kOutOfRangeArray = filled_with(kOutOfRange);

// Argument `index` of a call: different for every position, so that swapped or dropped
// arguments show. Pointers are made-up addresses that the recording objects never follow,
// except int arrays of checked rows, which point into arrays of values in or out of range
// (long enough for the count argument behind them).
template <class T>
T distinct_argument(std::size_t index, Ints ints = Ints::distinct) {
  if constexpr (std::is_same_v<T, const int*>) {
    if (ints == Ints::in_range) return kInRangeArray.data() + index;
    if (ints == Ints::out_of_range) return kOutOfRangeArray.data() + index;
  }
  if constexpr (std::is_pointer_v<T>) {
    return reinterpret_cast<T>(std::uintptr_t{0x1000} * (index + 1));
  } else if constexpr (std::is_floating_point_v<T>) {
    return static_cast<T>(index) + 10.25;
  } else if constexpr (std::is_same_v<T, int>) {
    if (ints == Ints::in_range) return static_cast<int>(index % 2);
    if (ints == Ints::out_of_range) return kOutOfRange;
    return static_cast<int>(index + 10);
  } else {
    return static_cast<T>(index + 10);
  }
}

// "Model_AddVariable" -> "AddVariable"
std::string operation_of(const std::string& function) {
  return function.substr(function.find('_') + 1);
}

template <class R, class Handle, class... Args, std::size_t... I>
void expect_forwarding(const std::string& function, R (*fn)(Handle*, Args...), Ints ints,
                       std::index_sequence<I...>) {
  decltype(recorder_for(static_cast<Handle*>(nullptr))) recorder;
  const std::tuple<Args...> args{distinct_argument<Args>(I, ints)...};
  if constexpr (std::is_void_v<R>) {
    fn(&recorder, std::get<I>(args)...);
  } else {
    const R result = fn(&recorder, std::get<I>(args)...);
    EXPECT_EQ(value_text(result), value_text(recorded_result<R>())) << function;
  }
  EXPECT_EQ(recorder.call_count(), 1) << function;
  EXPECT_EQ(recorder.last_call(), call_text(operation_of(function), std::get<I>(args)...))
      << function;
}

template <class R, class Handle, class... Args>
void expect_forwarding(const std::string& function, R (*fn)(Handle*, Args...), Ints ints = Ints::distinct) {
  expect_forwarding(function, fn, ints, std::index_sequence_for<Args...>{});
}

TEST(FunctionInterface, EveryForwardingFunctionCallsItsOperationWithItsArguments) {
  int checked = 0;
#define VELORIUM_FORWARD(result, name, parameters, call) \
  expect_forwarding(#name, &name);                       \
  ++checked;
#define VELORIUM_CHECKED(result, name, parameters, check, neutral, call) \
  expect_forwarding(#name, &name, Ints::in_range);                      \
  ++checked;
#define VELORIUM_MATRIX(result, name, parameters, neutral, check, call) \
  VELORIUM_CHECKED(result, name, parameters, check, neutral, call)
#define VELORIUM_FREE(result, name, parameters, call)
#define VELORIUM_PENDING(result, name, parameters, call)
#define VELORIUM_OWN(result, name, parameters)
#include "core/capi/function_table.inc"
  // Every function of velorium.h but the factories, Velorium_Inf and those with bodies of
  // their own.
  EXPECT_EQ(checked, 199 - 15 - 14);
}

// The format writers and the asynchronous solve of the function interface write the model's
// own names.
TEST(FunctionInterface, FormatWritersAndTheAsynchronousSolvePassAnEmptyNameMap) {
  struct MapRecorder : RecordingMatrixModel {
    void WriteMps(const char* file_name, const char* name_mapping_file) override {
      calls += std::string("WriteMps ") + file_name + " [" + name_mapping_file + "]\n";
    }
    void WriteLp(const char* file_name, const char* name_mapping_file) override {
      calls += std::string("WriteLp ") + file_name + " [" + name_mapping_file + "]\n";
    }
    void SolveRemoteAsync(const char* name_mapping_file) override {
      calls += std::string("SolveRemoteAsync [") + name_mapping_file + "]\n";
    }
    std::string calls;
  } model;
  Model_WriteMps(&model, "a.mps");
  Model_WriteLp(&model, "a.lp");
  Model_SolveRemoteAsync(&model);
  EXPECT_EQ(model.calls, "WriteMps a.mps []\nWriteLp a.lp []\nSolveRemoteAsync []\n");
}

// An enumeration value out of range stops the call before the operation. (A refused
// Model_AddVariable asks the model for a variable object of no column instead.)
template <class R, class Handle, class... Args, std::size_t... I>
void expect_refused(const std::string& function, R (*fn)(Handle*, Args...), std::index_sequence<I...>) {
  decltype(recorder_for(static_cast<Handle*>(nullptr))) recorder;
  fn(&recorder, distinct_argument<Args>(I, Ints::out_of_range)...);
  EXPECT_LE(recorder.call_count(), 1) << function;
  EXPECT_NE(recorder.last_call().rfind(operation_of(function) + "(", 0), 0u)
      << function << ": " << recorder.last_call();
}

template <class R, class Handle, class... Args>
void expect_refused(const std::string& function, R (*fn)(Handle*, Args...)) {
  expect_refused(function, fn, std::index_sequence_for<Args...>{});
}

TEST(FunctionInterface, CheckedFunctionsStopEnumerationValuesOutOfRange) {
  int checked = 0;
#define VELORIUM_CHECKED(result, name, parameters, check, neutral, call) \
  expect_refused(#name, &name);                                         \
  ++checked;
#define VELORIUM_MATRIX(result, name, parameters, neutral, check, call) \
  VELORIUM_CHECKED(result, name, parameters, check, neutral, call)
#define VELORIUM_FORWARD(result, name, parameters, call)
#define VELORIUM_FREE(result, name, parameters, call)
#define VELORIUM_PENDING(result, name, parameters, call)
#define VELORIUM_OWN(result, name, parameters)
#include "core/capi/function_table.inc"
  EXPECT_EQ(checked, 7 + 6);
}

template <class R, class... Args, std::size_t... I>
void expect_neutral_without_matrix_face(const std::string& function, R (*fn)(IModel*, Args...),
                                        std::index_sequence<I...>) {
  RecordingModel model;  // a model without the matrix-form face
  const std::tuple<Args...> args{distinct_argument<Args>(I)...};
  if constexpr (std::is_void_v<R>) {
    fn(&model, std::get<I>(args)...);
  } else {
    EXPECT_EQ(fn(&model, std::get<I>(args)...), -1) << function;
  }
  EXPECT_EQ(model.call_count(), 0) << function;
}

template <class R, class... Args>
void expect_neutral_without_matrix_face(const std::string& function, R (*fn)(IModel*, Args...)) {
  expect_neutral_without_matrix_face(function, fn, std::index_sequence_for<Args...>{});
}

TEST(FunctionInterface, MatrixFunctionsLeaveAModelWithoutTheMatrixFaceAlone) {
  int checked = 0;
#define VELORIUM_MATRIX(result, name, parameters, neutral, check, call) \
  expect_neutral_without_matrix_face(#name, &name);                     \
  ++checked;
#define VELORIUM_FORWARD(result, name, parameters, call)
#define VELORIUM_CHECKED(result, name, parameters, check, neutral, call)
#define VELORIUM_FREE(result, name, parameters, call)
#define VELORIUM_PENDING(result, name, parameters, call)
#define VELORIUM_OWN(result, name, parameters)
#include "core/capi/function_table.inc"
  EXPECT_EQ(checked, 6);
}

TEST(FunctionInterface, MatrixFunctionsReachTheMatrixFaceOfAModelHandle) {
  RecordingMatrixModel model;
  VeloriumModel* handle = &model;  // the handle is the model pointer itself
  const double values[] = {1.0, 2.0};
  const int positions[] = {0, 1};
  EXPECT_EQ(MatrixModel_AddConstraintLinearSparse(handle, values, positions, 2,
                                                  VELORIUM_LESS_EQUAL, 4.0),
            3);
  EXPECT_EQ(model.last_call(), call_text("AddConstraintLinearSparse", values, positions, 2,
                                         constraint_sense::less_equal, 4.0));
}

}  // namespace
}  // namespace velorium::testing
