// Member operations waiting for the constraint, expression and general-constraint objects.
#include "core/model/model_impl.hpp"

namespace velorium::cpp_impl {

IConstraint* ModelImpl::AddConstraint(IConstraint*, const char*) { fail_not_implemented(); return nullptr; }
IConstraint* ModelImpl::AddConstraintLinear2(ILinearExpression*, double, double, const char*) { fail_not_implemented(); return nullptr; }
IConstraint* ModelImpl::AddConstraintQuad1(IQuadExpression*, constraint_sense, double, const char*) { fail_not_implemented(); return nullptr; }
IConstraint* ModelImpl::AddConstraintQuad2(IQuadExpression*, double, double, const char*) { fail_not_implemented(); return nullptr; }
IConstraint* ModelImpl::AddConstraintLinear1(ILinearExpression*, constraint_sense, double, const char*) { fail_not_implemented(); return nullptr; }
int ModelImpl::GetConstraintsCount() { fail_not_implemented(); return 0; }
IConstraint* ModelImpl::GetConstraint(int) { fail_not_implemented(); return nullptr; }
IConstraint* ModelImpl::GetConstraintByName(const char*) { fail_not_implemented(); return nullptr; }
void ModelImpl::SetObjectiveQuad(IQuadExpression*, objective_sense) { fail_not_implemented(); }
void ModelImpl::SetObjectiveLinear(ILinearExpression*, objective_sense) { fail_not_implemented(); }
ILinearExpression* ModelImpl::GetObjective() { fail_not_implemented(); return nullptr; }
IQuadExpression* ModelImpl::GetQuadObjective() { fail_not_implemented(); return nullptr; }
void ModelImpl::RemoveGeneralConstraint(IGeneralConstraint*) { fail_not_implemented(); }
void ModelImpl::RemoveConstr(IConstraint*) { fail_not_implemented(); }
bool ModelImpl::IsNonlinear() { fail_not_implemented(); return false; }
int ModelImpl::GetGeneralConstraintsCount() { fail_not_implemented(); return 0; }
IGeneralConstraint* ModelImpl::GetGeneralConstraint(int) { fail_not_implemented(); return nullptr; }
IGeneralConstraint* ModelImpl::GetGeneralConstraintByName(const char*) { fail_not_implemented(); return nullptr; }
void ModelImpl::AddGeneralConstraintObject(IGeneralConstraint*) { fail_not_implemented(); }
IGeneralConstraint* ModelImpl::AddGeneralConstraint(IGeneralExpression*, IVariable*, const char*) { fail_not_implemented(); return nullptr; }
void ModelImpl::AddVariables(std::uint64_t, const double*, std::uint64_t, const double*, std::uint64_t, const double*, std::uint64_t, const std::int32_t*, std::uint64_t) { fail_not_implemented(); }
void ModelImpl::SetObjective(const double*, std::uint64_t, std::uint64_t, const double*, std::uint64_t, objective_sense) { fail_not_implemented(); }
void ModelImpl::SetObjectiveSparse(const double*, const std::int32_t*, const std::int32_t*, std::uint64_t, std::uint64_t, const double*, std::uint64_t, objective_sense) { fail_not_implemented(); }
int ModelImpl::AddConstraint(const double*, std::uint64_t, std::uint64_t, const double*, std::uint64_t, constraint_sense, double) { fail_not_implemented(); return -1; }
int ModelImpl::AddConstraintSparse(const double*, const std::int32_t*, const std::int32_t*, std::uint64_t, std::uint64_t, const double*, std::uint64_t, constraint_sense, double) { fail_not_implemented(); return -1; }
int ModelImpl::AddConstraintLinearSparse(const double*, const std::int32_t*, std::uint64_t, constraint_sense, double) { fail_not_implemented(); return -1; }

}  // namespace velorium::cpp_impl
