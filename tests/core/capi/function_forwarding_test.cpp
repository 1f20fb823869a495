// Every forwarding function of the function interface calls the operation of its name on the
// handle's object, passes the remaining arguments unchanged and in order, and returns the
// operation's result unchanged. The functions come from the function table itself; the
// operations they reach are recorded by objects that know nothing of the table.
#include <gtest/gtest.h>

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

// Argument `index` of a call: different for every position, so that swapped or dropped
// arguments show. Pointers are made-up addresses that the recording objects never follow.
template <class T>
T distinct_argument(std::size_t index) {
  if constexpr (std::is_pointer_v<T>) {
    return reinterpret_cast<T>(std::uintptr_t{0x1000} * (index + 1));
  } else if constexpr (std::is_floating_point_v<T>) {
    return static_cast<T>(index) + 10.25;
  } else {
    return static_cast<T>(index + 10);
  }
}

// "Model_AddVariable" -> "AddVariable"
std::string operation_of(const std::string& function) {
  return function.substr(function.find('_') + 1);
}

template <class R, class Handle, class... Args, std::size_t... I>
void expect_forwarding(const std::string& function, R (*fn)(Handle*, Args...),
                       std::index_sequence<I...>) {
  decltype(recorder_for(static_cast<Handle*>(nullptr))) recorder;
  const std::tuple<Args...> args{distinct_argument<Args>(I)...};
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
void expect_forwarding(const std::string& function, R (*fn)(Handle*, Args...)) {
  expect_forwarding(function, fn, std::index_sequence_for<Args...>{});
}

TEST(FunctionInterface, EveryForwardingFunctionCallsItsOperationWithItsArguments) {
  int checked = 0;
#define VELORIUM_FORWARD(result, name, parameters, call) \
  expect_forwarding(#name, &name);                       \
  ++checked;
#define VELORIUM_MATRIX(result, name, parameters, neutral, call) \
  VELORIUM_FORWARD(result, name, parameters, call)
#define VELORIUM_FREE(result, name, parameters, call)
#define VELORIUM_PENDING(result, name, parameters, call)
#define VELORIUM_OWN(result, name, parameters)
#include "core/capi/function_table.inc"
  // Every function of velorium.h but the factories, Velorium_Inf and those with bodies of
  // their own.
  EXPECT_EQ(checked, 199 - 15 - 11);
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
#define VELORIUM_MATRIX(result, name, parameters, neutral, call) \
  expect_neutral_without_matrix_face(#name, &name);              \
  ++checked;
#define VELORIUM_FORWARD(result, name, parameters, call)
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
