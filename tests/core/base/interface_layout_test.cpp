// The order of each interface's bases and of its virtual operations is part of the calling
// interface between the library and separately built modules: a module built against an older
// header calls slots by number. These tests pin both orders.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "support/recording_objects.hpp"
#include "velorium/velorium.hpp"

namespace velorium::testing {
namespace {

// The vtable slot of a virtual member function. In the Itanium C++ ABI a pointer to a virtual
// member function holds 1 + the byte offset of its slot in the first word.
template <class Member>
long slot_of(Member member) {
  static_assert(sizeof(Member) == 2 * sizeof(std::uintptr_t));
  std::uintptr_t words[2];
  std::memcpy(words, &member, sizeof words);
  if ((words[0] & 1) == 0) return -1;  // not virtual
  return static_cast<long>((words[0] - 1) / sizeof(void*));
}

using Slots = std::vector<std::pair<std::string, long>>;
#define SLOT(Interface, operation) \
  { #operation, slot_of(&Interface::operation) }

// The operations must take the slots first, first + 1, ... in the given order.
void expect_slots_from(long first, const Slots& slots) {
  long expected = first;
  for (const auto& [operation, slot] : slots) {
    EXPECT_EQ(slot, expected) << operation;
    ++expected;
  }
}

// After the virtual destructor (two slots), the primary base's operations come first.
constexpr long kAfterReleasable = 3;  // destructor, Release
constexpr long kAfterTwoOperationBase = 4;  // destructor, two operations (IErrorInfo, INamedObject)

TEST(InterfaceLayout, BaseOperations) {
  expect_slots_from(2, {SLOT(IReleasable, Release)});
  expect_slots_from(2, {SLOT(IErrorInfo, GetErrorCode), SLOT(IErrorInfo, GetErrorText)});
  expect_slots_from(2, {SLOT(INamedObject, GetName), SLOT(INamedObject, SetName)});
}

TEST(InterfaceLayout, VariableAndConstraints) {
  expect_slots_from(kAfterTwoOperationBase,
                    {SLOT(IVariable, SetUpperBound), SLOT(IVariable, GetUpperBound),
                     SLOT(IVariable, SetLowerBound), SLOT(IVariable, GetLowerBound),
                     SLOT(IVariable, Remove), SLOT(IVariable, GetType), SLOT(IVariable, SetType)});
  expect_slots_from(
      kAfterTwoOperationBase,
      {SLOT(IConstraint, Remove), SLOT(IConstraint, GetLinearExpression),
       SLOT(IConstraint, GetQuadExpression), SLOT(IConstraint, SetUpperBound),
       SLOT(IConstraint, GetUpperBound), SLOT(IConstraint, SetLowerBound),
       SLOT(IConstraint, GetLowerBound), SLOT(IConstraint, GetRange), SLOT(IConstraint, SetRange)});
  expect_slots_from(kAfterTwoOperationBase,
                    {SLOT(IGeneralConstraint, Remove), SLOT(IGeneralConstraint, GetExpression),
                     SLOT(IGeneralConstraint, GetVariable)});
}

TEST(InterfaceLayout, Expressions) {
  expect_slots_from(
      kAfterReleasable,
      {SLOT(ILinearExpression, GetTermsCount), SLOT(ILinearExpression, GetTermVariable),
       SLOT(ILinearExpression, GetTermVariableIndex), SLOT(ILinearExpression, GetTermCoeff),
       SLOT(ILinearExpression, SetTermCoeff), SLOT(ILinearExpression, GetConstant),
       SLOT(ILinearExpression, SetConstant), SLOT(ILinearExpression, AddConstant),
       SLOT(ILinearExpression, AddTerm), SLOT(ILinearExpression, AddExpression),
       SLOT(ILinearExpression, RemoveTerm), SLOT(ILinearExpression, RemoveVariable),
       SLOT(ILinearExpression, GetQuadPart), SLOT(ILinearExpression, CreateFreeCopy)});
  expect_slots_from(
      kAfterReleasable,
      {SLOT(IQuadExpression, GetTermsCount), SLOT(IQuadExpression, GetTermVariable1),
       SLOT(IQuadExpression, GetTermVariable1Index), SLOT(IQuadExpression, GetTermVariable2),
       SLOT(IQuadExpression, GetTermVariable2Index), SLOT(IQuadExpression, GetTermCoeff),
       SLOT(IQuadExpression, SetTermCoeff), SLOT(IQuadExpression, AddTerm),
       SLOT(IQuadExpression, AddExpression), SLOT(IQuadExpression, RemoveTerm),
       SLOT(IQuadExpression, GetLinearPart), SLOT(IQuadExpression, CreateFreeCopy)});
  expect_slots_from(
      kAfterReleasable,
      {SLOT(IGeneralExpression, GetType), SLOT(IGeneralExpression, GetConstant),
       SLOT(IGeneralExpression, GetVariable), SLOT(IGeneralExpression, GetExprCount),
       SLOT(IGeneralExpression, GetArity), SLOT(IGeneralExpression, GetExpr),
       SLOT(IGeneralExpression, SetExpr), SLOT(IGeneralExpression, AddExpr),
       SLOT(IGeneralExpression, RemoveExpr), SLOT(IGeneralExpression, CreateFreeCopy)});
}

TEST(InterfaceLayout, Results) {
  expect_slots_from(
      kAfterReleasable,
      {SLOT(ISolveResult, GetSolveResult), SLOT(ISolveResult, GetSolutionStatus),
       SLOT(ISolveResult, GetRelativeGap), SLOT(ISolveResult, GetIterationsCount),
       SLOT(ISolveResult, GetProcessedNodesCount), SLOT(ISolveResult, GetObjectiveFunctionValue),
       SLOT(ISolveResult, GetBestBoundValue), SLOT(ISolveResult, GetSolveTime),
       SLOT(ISolveResult, GetVariableValueByName), SLOT(ISolveResult, GetVariableValue),
       SLOT(ISolveResult, GetDualValueByName), SLOT(ISolveResult, GetDualValue),
       SLOT(ISolveResult, GetReducedCostByName), SLOT(ISolveResult, GetReducedCost),
       SLOT(ISolveResult, GetExpressionValueQuad), SLOT(ISolveResult, GetExpressionValueLinear),
       SLOT(ISolveResult, WriteSolution),
       // The array face continues the same table.
       SLOT(ISolveResultEx, GetValuesArray), SLOT(ISolveResultEx, GetDualValuesArray),
       SLOT(ISolveResultEx, GetReducedCostsArray)});
  expect_slots_from(
      kAfterReleasable,
      {SLOT(IComputeIisResult, GetComputeIisResult), SLOT(IComputeIisResult, GetModelStatus),
       SLOT(IComputeIisResult, GetMinimal), SLOT(IComputeIisResult, GetNumConstraints),
       SLOT(IComputeIisResult, GetNumBounds), SLOT(IComputeIisResult, GetComputeIisTime),
       SLOT(IComputeIisResult, WriteIis)});
}

TEST(InterfaceLayout, ModelAndItsMatrixFace) {
  using DenseRow = int (IMatrixModel::*)(const double*, std::uint64_t, std::uint64_t,
                                         const double*, std::uint64_t, constraint_sense, double);
  using ObjectRow = IConstraint* (IModel::*)(IConstraint*, const char*);
  expect_slots_from(
      kAfterTwoOperationBase,
      {SLOT(IModel, SetEngineString),
       SLOT(IModel, Read),
       SLOT(IModel, ReadMps),
       SLOT(IModel, ReadLp),
       SLOT(IModel, Write),
       SLOT(IModel, WriteMps),
       SLOT(IModel, WriteLp),
       SLOT(IModel, GetIntParam),
       SLOT(IModel, GetDblParam),
       SLOT(IModel, GetStringParam),
       SLOT(IModel, GetBoolParam),
       SLOT(IModel, SetIntParam),
       SLOT(IModel, SetDblParam),
       SLOT(IModel, SetStringParam),
       SLOT(IModel, SetBoolParam),
       SLOT(IModel, AddVariable),
       {"AddConstraint", slot_of(static_cast<ObjectRow>(&IModel::AddConstraint))},
       SLOT(IModel, AddConstraintLinear2),
       SLOT(IModel, AddConstraintQuad1),
       SLOT(IModel, AddConstraintQuad2),
       SLOT(IModel, AddConstraintLinear1),
       SLOT(IModel, GetVariablesCount),
       SLOT(IModel, GetVariable),
       SLOT(IModel, GetVariableByName),
       SLOT(IModel, GetConstraintsCount),
       SLOT(IModel, GetConstraint),
       SLOT(IModel, GetConstraintByName),
       SLOT(IModel, SetObjectiveSense),
       SLOT(IModel, GetObjectiveSense),
       SLOT(IModel, SetObjectiveOffset),
       SLOT(IModel, SetObjectiveQuad),
       SLOT(IModel, SetObjectiveLinear),
       SLOT(IModel, ClearObjective),
       SLOT(IModel, GetObjective),
       SLOT(IModel, GetQuadObjective),
       SLOT(IModel, Solve),
       SLOT(IModel, SolveRemote),
       SLOT(IModel, SolveRemoteAsync),
       SLOT(IModel, GetRemoteSolveLog),
       SLOT(IModel, ComputeIis),
       SLOT(IModel, RemoveGeneralConstraint),
       SLOT(IModel, RemoveConstr),
       SLOT(IModel, RemoveVar),
       SLOT(IModel, Clear),
       SLOT(IModel, SetLogFile),
       SLOT(IModel, SetLogCallback),
       SLOT(IModel, AddMipStartValue),
       SLOT(IModel, AddMipStartValueByName),
       SLOT(IModel, AddMipStartValues),
       SLOT(IModel, ClearMipStartValues),
       SLOT(IModel, GetCalcUID),
       SLOT(IModel, IsMip),
       SLOT(IModel, IsNonlinear),
       SLOT(IModel, GetGeneralConstraintsCount),
       SLOT(IModel, GetGeneralConstraint),
       SLOT(IModel, GetGeneralConstraintByName),
       SLOT(IModel, AddGeneralConstraintObject),
       SLOT(IModel, AddGeneralConstraint),
       // The matrix-form face continues the same table.
       SLOT(IMatrixModel, AddVariables),
       SLOT(IMatrixModel, SetObjective),
       SLOT(IMatrixModel, SetObjectiveSparse),
       {"AddConstraint (dense)", slot_of(static_cast<DenseRow>(&IMatrixModel::AddConstraint))},
       SLOT(IMatrixModel, AddConstraintSparse),
       SLOT(IMatrixModel, AddConstraintLinearSparse)});
}

TEST(InterfaceLayout, ReceiversAndImportExport) {
  expect_slots_from(2, {SLOT(ILogCallback, LogMessage)});
  // The progress receiver's destructor comes last.
  expect_slots_from(0, {SLOT(IProgressReporter, Start), SLOT(IProgressReporter, SetProgress),
                        SLOT(IProgressReporter, IsFinished), SLOT(IProgressReporter, SetTotal)});
  expect_slots_from(2, {SLOT(IModelImportExport, Import), SLOT(IModelImportExport, GetModel),
                        SLOT(IModelImportExport, Export), SLOT(IModelImportExport, Release)});
}

// Byte offset of the base subobject `Base` inside the object seen as `Interface`.
template <class Base, class Interface>
long base_offset(Interface* object) {
  return reinterpret_cast<const char*>(static_cast<Base*>(object)) -
         reinterpret_cast<const char*>(object);
}

// The first base is the primary one (offset 0); the others follow in the given order.
template <class Interface, class... Bases>
void expect_bases_in_order(Interface* object) {
  const std::vector<long> offsets{base_offset<Bases>(object)...};
  EXPECT_EQ(offsets.front(), 0);
  for (std::size_t i = 1; i < offsets.size(); ++i) EXPECT_LT(offsets[i - 1], offsets[i]) << i;
}

TEST(InterfaceLayout, BasesInTheirOrder) {
  RecordingMatrixModel model;
  expect_bases_in_order<IModel, INamedObject, IErrorInfo, IReleasable>(&model);
  expect_bases_in_order<IMatrixModel, IModel>(&model);
  RecordingVariable variable;
  expect_bases_in_order<IVariable, INamedObject, IErrorInfo, IReleasable>(&variable);
  RecordingConstraint constraint;
  expect_bases_in_order<IConstraint, IErrorInfo, IReleasable, INamedObject>(&constraint);
  RecordingGeneralConstraint general_constraint;
  expect_bases_in_order<IGeneralConstraint, IErrorInfo, IReleasable, INamedObject>(
      &general_constraint);
  RecordingLinearExpression linear;
  expect_bases_in_order<ILinearExpression, IReleasable, IErrorInfo, INamedObject>(&linear);
  RecordingQuadExpression quad;
  expect_bases_in_order<IQuadExpression, IReleasable, IErrorInfo, INamedObject>(&quad);
  RecordingGeneralExpression general;
  expect_bases_in_order<IGeneralExpression, IReleasable, IErrorInfo>(&general);
  RecordingSolveResultEx result;
  expect_bases_in_order<ISolveResult, IReleasable, IErrorInfo>(&result);
  expect_bases_in_order<ISolveResultEx, ISolveResult>(&result);
  RecordingComputeIisResult iis;
  expect_bases_in_order<IComputeIisResult, IReleasable, IErrorInfo>(&iis);
}

}  // namespace
}  // namespace velorium::testing
