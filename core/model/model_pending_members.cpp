// Member operations waiting for the constraint, expression and general-constraint objects.
#include "core/model/model_impl.hpp"

namespace velorium::cpp_impl {

IConstraint* ModelImpl::AddConstraint(IConstraint*, const char*) { fail_not_implemented(); return nullptr; }
IConstraint* ModelImpl::AddConstraintLinear2(ILinearExpression*, double, double, const char*) { fail_not_implemented(); return nullptr; }
IConstraint* ModelImpl::AddConstraintQuad1(IQuadExpression*, constraint_sense, double, const char*) { fail_not_implemented(); return nullptr; }
IConstraint* ModelImpl::AddConstraintQuad2(IQuadExpression*, double, double, const char*) { fail_not_implemented(); return nullptr; }
IConstraint* ModelImpl::AddConstraintLinear1(ILinearExpression*, constraint_sense, double, const char*) { fail_not_implemented(); return nullptr; }
IConstraint* ModelImpl::GetConstraint(int) { fail_not_implemented(); return nullptr; }
IConstraint* ModelImpl::GetConstraintByName(const char*) { fail_not_implemented(); return nullptr; }
void ModelImpl::SetObjectiveQuad(IQuadExpression*, objective_sense) { fail_not_implemented(); }
void ModelImpl::SetObjectiveLinear(ILinearExpression*, objective_sense) { fail_not_implemented(); }
ILinearExpression* ModelImpl::GetObjective() { fail_not_implemented(); return nullptr; }
IQuadExpression* ModelImpl::GetQuadObjective() { fail_not_implemented(); return nullptr; }
void ModelImpl::RemoveGeneralConstraint(IGeneralConstraint*) { fail_not_implemented(); }
void ModelImpl::RemoveConstr(IConstraint*) { fail_not_implemented(); }
IGeneralConstraint* ModelImpl::GetGeneralConstraint(int) { fail_not_implemented(); return nullptr; }
IGeneralConstraint* ModelImpl::GetGeneralConstraintByName(const char*) { fail_not_implemented(); return nullptr; }
void ModelImpl::AddGeneralConstraintObject(IGeneralConstraint*) { fail_not_implemented(); }
IGeneralConstraint* ModelImpl::AddGeneralConstraint(IGeneralExpression*, IVariable*, const char*) { fail_not_implemented(); return nullptr; }

}  // namespace velorium::cpp_impl
