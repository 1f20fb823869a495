// Builds a small model through the object interface and prints what it holds:
//
//   maximize   3 x + 2 y - z
//   subject to capacity:  x + y + z <= 10
//              ball:      x^2 + y^2 <= 25
//              0 <= x <= 8 (integer), 0 <= y <= 6, 0 <= z (unbounded above)
//
// Then writes it as MPS and LP files (into the folder given as the first argument, or the
// system's temporary folder), reads the LP file back into a second model and prints the file.
// Last, when the environment names a calculation service, solves the copy's linear part there.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "velorium/velorium.hpp"

namespace {

// Every object the library hands out is released by its own Release.
struct Release {
  void operator()(velorium::IReleasable* object) const {
    if (object) object->Release();
  }
};
template <class T>
using Owned = std::unique_ptr<T, Release>;

// Prints the failure of the last operation on `object`; true when there was one.
bool failed(const velorium::IErrorInfo* object, const char* what) {
  if (object->GetErrorCode() == 0) return false;
  std::fprintf(stderr, "%s: %s\n", what, object->GetErrorText());
  return true;
}

const char* type_name(velorium::variable_type type) {
  switch (type) {
    case velorium::variable_type::binary:
      return "binary";
    case velorium::variable_type::integer:
      return "integer";
    case velorium::variable_type::semicontinuous:
      return "semicontinuous";
    case velorium::variable_type::semiinteger:
      return "semiinteger";
    default:
      return "continuous";
  }
}

// Solves the linear part of `model` at the calculation service when the environment names one
// (X_API_KEY, and for the local service NIMBROVA_TEST_SERVER_ADDRESS and VELORIUM_TEST_ROOTS).
// The local service solves no quadratic rows, so the "ball" row goes first.
void solve_remotely(velorium::IModel* model) {
  if (std::getenv("X_API_KEY") == nullptr) {
    std::printf("\nremote solve: skipped, X_API_KEY is not set (./tools/run-example sets it for a local service)\n");
    return;
  }
  Owned<velorium::IConstraint> ball(model->GetConstraintByName("ball"));
  if (ball) model->RemoveConstr(ball.get());
  model->SetBoolParam("log_to_console", false);  // the client's progress lines stay out of the output
  Owned<velorium::ISolveResult> result(model->SolveRemote(""));
  if (!result || failed(model, "remote solve")) return;
  if (result->GetSolveResult() != velorium::solve_result::success ||
      result->GetSolutionStatus() != velorium::solution_status::optimal) {
    std::printf("\nremote solve: no optimum (solve result %d, status %d)\n", static_cast<int>(result->GetSolveResult()),
                static_cast<int>(result->GetSolutionStatus()));
    return;
  }
  std::printf("\nremote solve without the ball row: optimal, objective %g; x = %g, y = %g, z = %g\n",
              result->GetObjectiveFunctionValue(), result->GetVariableValueByName("x"),
              result->GetVariableValueByName("y"), result->GetVariableValueByName("z"));
}

}  // namespace

int main(int argc, char** argv) {
  using velorium::kVeloriumInf;
  Owned<velorium::IModel> model(CreateModel());
  if (!model) return 1;
  model->SetName("example");

  Owned<velorium::IVariable> x(model->AddVariable(0.0, 8.0, 3.0, velorium::variable_type::integer, "x"));
  Owned<velorium::IVariable> y(model->AddVariable(0.0, 6.0, 2.0, velorium::variable_type::continuous, "y"));
  Owned<velorium::IVariable> z(model->AddVariable(0.0, kVeloriumInf, -1.0, velorium::variable_type::continuous, "z"));
  if (failed(model.get(), "adding variables")) return 1;

  Owned<velorium::ILinearExpression> total(CreateLinearExpression());
  for (velorium::IVariable* v : {x.get(), y.get(), z.get()}) total->AddTerm(v, 1.0);
  Owned<velorium::IConstraint> capacity(
      model->AddConstraintLinear1(total.get(), velorium::constraint_sense::less_equal, 10.0, "capacity"));
  if (failed(model.get(), "adding the linear constraint")) return 1;

  Owned<velorium::IQuadExpression> squares(CreateQuadExpression());
  squares->AddTerm(x.get(), x.get(), 1.0);
  squares->AddTerm(y.get(), y.get(), 1.0);
  Owned<velorium::IConstraint> ball(
      model->AddConstraintQuad1(squares.get(), velorium::constraint_sense::less_equal, 25.0, "ball"));
  if (failed(model.get(), "adding the quadratic constraint")) return 1;

  // The objective's coefficients came with the variables; only the sense is left to set.
  model->SetObjectiveSense(velorium::objective_sense::maximize);

  std::printf("model \"%s\": %d variables, %d constraints, %s, %s\n", model->GetName(), model->GetVariablesCount(),
              model->GetConstraintsCount(), model->IsMip() ? "integer" : "continuous",
              model->IsNonlinear() ? "nonlinear" : "linear");
  for (int i = 0; i < model->GetVariablesCount(); ++i) {
    Owned<velorium::IVariable> v(model->GetVariable(i));
    std::printf("  variable %-3s %-10s [%g, %g]\n", v->GetName(), type_name(v->GetType()), v->GetLowerBound(),
                v->GetUpperBound());
  }
  for (int i = 0; i < model->GetConstraintsCount(); ++i) {
    Owned<velorium::IConstraint> c(model->GetConstraint(i));
    Owned<velorium::ILinearExpression> linear(c->GetLinearExpression());
    Owned<velorium::IQuadExpression> quadratic(c->GetQuadExpression());
    std::printf("  constraint %-8s %d linear and %d quadratic terms, bounds [%g, %g]\n", c->GetName(),
                linear->GetTermsCount(), quadratic->GetTermsCount(), c->GetLowerBound(), c->GetUpperBound());
  }
  Owned<velorium::ILinearExpression> objective(model->GetObjective());
  std::printf("  objective  %s with %d terms:", model->GetObjectiveSense() == velorium::objective_sense::maximize
                                                     ? "maximize"
                                                     : "minimize",
              objective->GetTermsCount());
  for (int i = 0; i < objective->GetTermsCount(); ++i) {
    Owned<velorium::IVariable> v(objective->GetTermVariable(i));
    std::printf(" %+g %s", objective->GetTermCoeff(i), v->GetName());
  }
  std::printf("\n");

  const std::filesystem::path folder = argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path();
  const std::string mps_file = (folder / "example.mps").string();
  const std::string lp_file = (folder / "example.lp").string();
  model->Write(mps_file.c_str(), nullptr);  // the format follows the extension
  if (failed(model.get(), "writing the MPS file")) return 1;
  model->WriteLp(lp_file.c_str(), "");
  if (failed(model.get(), "writing the LP file")) return 1;
  std::printf("wrote %s and %s\n", mps_file.c_str(), lp_file.c_str());

  Owned<velorium::IModel> copy(CreateModel());
  if (!copy) return 1;
  copy->Read(lp_file.c_str());
  if (failed(copy.get(), "reading the LP file back")) return 1;
  std::printf("read back: %d variables, %d constraints\n", copy->GetVariablesCount(), copy->GetConstraintsCount());

  std::cout << "\n" << std::ifstream(lp_file).rdbuf();
  solve_remotely(copy.get());
  return 0;
}
