#include "velorium/velorium.hpp"

namespace velorium {

// The key functions of the public interfaces: defined here, in the library, and nowhere else,
// so that each interface's vtable and typeinfo exist once and the run-time casts of separately
// built modules (the Python module, programs) find the same types as the library.
IVariable::~IVariable() = default;
ILogCallback::~ILogCallback() = default;
IProgressReporter::~IProgressReporter() = default;
ILinearExpression::~ILinearExpression() = default;
IQuadExpression::~IQuadExpression() = default;
IConstraint::~IConstraint() = default;
IGeneralExpression::~IGeneralExpression() = default;
IGeneralConstraint::~IGeneralConstraint() = default;
ISolveResult::~ISolveResult() = default;
ISolveResultEx::~ISolveResultEx() = default;
IComputeIisResult::~IComputeIisResult() = default;
IModel::~IModel() = default;
IMatrixModel::~IMatrixModel() = default;
IModelImportExport::~IModelImportExport() = default;

}  // namespace velorium
