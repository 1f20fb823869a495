// Random operations through several views and faces of one row, of the objective, of a free
// constraint and of free expressions, against a plain model of the term rules that searches
// by scanning.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/constraints/constraint_impl.hpp"
#include "core/expressions/expr_data.hpp"
#include "core/expressions/expression_views.hpp"
#include "core/expressions/linear_expression_impl.hpp"
#include "core/expressions/quad_expression_impl.hpp"
#include "support/expression_fixture.hpp"

namespace velorium::testing {
namespace {

using cpp_impl::expr_data;

bool negligible(double c) { return std::fabs(c) < 1e-14; }

// One place of terms as the rules describe it, searched by scanning.
struct ReferencePlace {
  Expression terms;
  const cpp_impl::ModelBuilder* model = nullptr;
  // The model whose variables get removed, and their store indexes.
  const cpp_impl::ModelBuilder* main_model = nullptr;
  const std::set<int>* removed_variables = nullptr;

  bool removed(const cpp_impl::ModelBuilder* owner, int v) const {
    return owner == main_model && removed_variables->count(v) != 0;
  }

  int first_linear(int v) const {
    for (std::size_t p = 0; p < terms.linear_terms.size(); ++p) {
      if (terms.linear_terms[p].variable == v) return static_cast<int>(p);
    }
    return -1;
  }
  int first_pair(int a, int b) const {
    for (std::size_t p = 0; p < terms.quadratic_terms.size(); ++p) {
      const QuadTerm& t = terms.quadratic_terms[p];
      if ((t.variable1 == a && t.variable2 == b) || (t.variable1 == b && t.variable2 == a)) return static_cast<int>(p);
    }
    return -1;
  }
  template <class Sequence>
  static void remove_at(Sequence& sequence, std::size_t p) {
    sequence[p] = sequence.back();
    sequence.pop_back();
  }
  // The model checks of adding one term: 0 when accepted (binding a store without a model).
  int check_model(const cpp_impl::ModelBuilder* v) {
    if (model && model != v) return -1;
    model = v;
    return 0;
  }
  int add_linear(const cpp_impl::ModelBuilder* owner, int v, double c) {
    if (c == 0.0) return 0;
    if (removed(owner, v) || check_model(owner)) return -1;
    const int p = first_linear(v);
    if (p >= 0) {
      terms.linear_terms[static_cast<std::size_t>(p)].coefficient += c;
      if (negligible(terms.linear_terms[static_cast<std::size_t>(p)].coefficient)) {
        remove_at(terms.linear_terms, static_cast<std::size_t>(p));
      }
    } else if (!negligible(c)) {
      terms.linear_terms.push_back({v, c});
    }
    return 0;
  }
  int add_quadratic(const cpp_impl::ModelBuilder* owner, int a, int b, double c) {
    if (c == 0.0) return 0;
    if (removed(owner, a) || removed(owner, b) || check_model(owner)) return -1;
    const int p = first_pair(a, b);
    if (p >= 0) {
      terms.quadratic_terms[static_cast<std::size_t>(p)].coefficient += c;
      if (negligible(terms.quadratic_terms[static_cast<std::size_t>(p)].coefficient)) {
        remove_at(terms.quadratic_terms, static_cast<std::size_t>(p));
      }
    } else if (!negligible(c)) {
      terms.quadratic_terms.push_back({a, b, c});
    }
    return 0;
  }
  void merge_linear(const Expression& source, double f) {
    for (const LinearTerm& t : source.linear_terms) {
      if (removed(model, t.variable)) continue;
      const int p = first_linear(t.variable);
      if (p < 0) {
        terms.linear_terms.push_back({t.variable, t.coefficient * f});
        continue;
      }
      terms.linear_terms[static_cast<std::size_t>(p)].coefficient += t.coefficient * f;
      if (negligible(terms.linear_terms[static_cast<std::size_t>(p)].coefficient)) {
        remove_at(terms.linear_terms, static_cast<std::size_t>(p));
      }
    }
    terms.constant += source.constant * f;
  }
  void merge_quadratic(const Expression& source, double f) {
    const std::size_t before = terms.quadratic_terms.size();
    for (const QuadTerm& t : source.quadratic_terms) {
      // The last term of the pair in the same order, else the last in the other order.
      int same = -1, other = -1;
      for (std::size_t p = 0; p < before; ++p) {
        const QuadTerm& mine = terms.quadratic_terms[p];
        if (mine.variable1 == t.variable1 && mine.variable2 == t.variable2) same = static_cast<int>(p);
        else if (mine.variable1 == t.variable2 && mine.variable2 == t.variable1) other = static_cast<int>(p);
      }
      const int p = same >= 0 ? same : other;
      if (p >= 0) {
        terms.quadratic_terms[static_cast<std::size_t>(p)].coefficient += t.coefficient * f;
      } else {
        terms.quadratic_terms.push_back({t.variable1, t.variable2, t.coefficient * f});
      }
    }
    if (!source.quadratic_terms.empty()) {
      for (std::size_t p = terms.quadratic_terms.size(); p-- > 0;) {
        if (negligible(terms.quadratic_terms[p].coefficient)) remove_at(terms.quadratic_terms, p);
      }
    }
    // Then the first term of a removed variable goes.
    for (std::size_t p = 0; p < terms.quadratic_terms.size(); ++p) {
      const QuadTerm& t = terms.quadratic_terms[p];
      if (removed(model, t.variable1) || removed(model, t.variable2)) {
        remove_at(terms.quadratic_terms, p);
        break;
      }
    }
  }
  int merge(const ReferencePlace& source_place, double f, bool linear_first) {
    if (f == 0.0) return 0;
    const Expression source = source_place.terms;  // a snapshot: the source may be this place
    const bool has_terms = !source.linear_terms.empty() || !source.quadratic_terms.empty();
    if (model && model != source_place.model && has_terms) return -1;
    if (!model) model = source_place.model;
    if (linear_first) {
      merge_linear(source, f);
      merge_quadratic(source, f);
    } else {
      merge_quadratic(source, f);
      merge_linear(source, f);
    }
    return 0;
  }
};

// A linear or a quadratic object of the library on one of the places.
struct Face {
  ILinearExpression* linear = nullptr;
  IQuadExpression* quadratic = nullptr;
  std::size_t place = 0;
  IErrorInfo* errors() const { return linear ? static_cast<IErrorInfo*>(linear) : quadratic; }
};

class ExpressionDifferentialTest : public ExpressionFixture {
 protected:
  // One quadratic face and `linear_views` linear ones, each on a store that `make` gives: a
  // new store of the same place for views of a row, the objective or a free constraint, the
  // one store of a free expression otherwise.
  void add_faces(const std::function<std::shared_ptr<expr_data>()>& make, int linear_views) {
    const std::size_t place = stores.size();
    std::shared_ptr<expr_data> first = make();
    stores.push_back(first);
    reference.emplace_back();
    reference.back().terms = first->get_terms();
    reference.back().model = first->model().get();
    reference.back().main_model = model.get();
    reference.back().removed_variables = &removed_variables;
    for (int i = 0; i < linear_views; ++i) faces.push_back({own(cpp_impl::make_linear_view(make())), nullptr, place});
    faces.push_back({nullptr, own(cpp_impl::make_quadratic_view(make())), place});
  }

  static std::shared_ptr<expr_data> store(ILinearExpression* e) {
    return static_cast<cpp_impl::LinearExpressionImpl*>(e)->store();
  }
  static std::shared_ptr<expr_data> store(IQuadExpression* e) {
    return static_cast<cpp_impl::QuadExpressionImpl*>(e)->store();
  }

  std::set<int> removed_variables;
  std::vector<std::shared_ptr<expr_data>> stores;
  std::vector<ReferencePlace> reference;
  std::vector<Face> faces;
};

TEST_F(ExpressionDifferentialTest, TenThousandRandomOperationsAgreeWithTheReference) {
  for (int i = 0; i < 29; ++i) vars.push_back(add_variable(model));
  auto other = std::make_shared<cpp_impl::ModelBuilder>();
  IVariable* foreign = add_variable(other);

  Expression row_terms;
  row_terms.linear_terms = {{0, 1.0}, {1, 2.0}};
  const std::int32_t row = add_row(row_terms, "r");
  // Free expressions made by the factories (one with a term, one bound to no model yet), a
  // row with four linear views and a quadratic one, the objective, and a free constraint made
  // from an empty expression.
  ILinearExpression* seeded = linear();
  seeded->AddTerm(vars[2], 1.0);
  add_faces([&] { return store(seeded); }, 2);
  IQuadExpression* unbound = quadratic();
  add_faces([&] { return store(unbound); }, 1);
  add_faces([&] { return expr_data::make_row_view(model, row); }, 4);
  add_faces([&] { return expr_data::make_objective_view(model); }, 2);
  auto* constraint = own(static_cast<cpp_impl::ConstraintImpl*>(CreateConstraint(linear(), constraint_sense::equal, 0.0)));
  add_faces([&] { return expr_data::make_free_row_view(constraint->free_data()); }, 2);

  const double coefficients[] = {1.0, -1.0, 2.0, 0.5, -0.5, 3.0, 1e-15, -1e-15, 0.0, 1e-16};
  const double factors[] = {1.0, -1.0, 0.5, 2.0, -2.0, 0.0};
  std::mt19937 rng(20240611);
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
  // Often the variable of the last term that came or went: views that did not see that change
  // must still find it.
  IVariable* recent = x;
  auto pick_variable = [&]() -> std::pair<IVariable*, const cpp_impl::ModelBuilder*> {
    if (pick(40) == 0) return {foreign, other.get()};
    if (pick(3) == 0) return {recent, model.get()};
    recent = vars[pick(vars.size())];
    return {recent, model.get()};
  };
  std::vector<IVariable*> vars_by_index(vars.size());
  for (IVariable* v : vars) vars_by_index[static_cast<std::size_t>(static_cast<cpp_impl::VariableImpl*>(v)->index())] = v;
  auto index_of = [](IVariable* v) { return static_cast<cpp_impl::VariableImpl*>(v)->index(); };

  for (int step = 0; step < 10000; ++step) {
    const Face& face = faces[pick(faces.size())];
    ReferencePlace& ref = reference[face.place];
    const double c = coefficients[pick(std::size(coefficients))];
    int expected_code = 0;
    std::string what;
    if (pick(150) == 0 && removed_variables.size() < 8) {
      // Now and then a variable leaves the model; its terms stay where they are.
      IVariable* leaving = vars[pick(vars.size())];
      leaving->Remove();
      removed_variables.insert(index_of(leaving));
      continue;
    }
    switch (pick(10)) {
      case 0:
      case 1: {  // add a term
        auto [v, owner] = pick_variable();
        if (face.linear) {
          face.linear->AddTerm(v, c);
          expected_code = ref.add_linear(owner, index_of(v), c);
        } else {
          auto [w, w_owner] = pick_variable();
          face.quadratic->AddTerm(v, w, c);
          expected_code = owner == w_owner || c == 0.0 ? ref.add_quadratic(owner, index_of(v), index_of(w), c) : -1;
        }
        what = "AddTerm";
        break;
      }
      case 2:
      case 3:
      case 4: {  // remove a term, sometimes at a bad position
        const std::size_t count = face.linear ? ref.terms.linear_terms.size() : ref.terms.quadratic_terms.size();
        const int position = static_cast<int>(pick(count + 2)) - 1;
        if (face.linear) face.linear->RemoveTerm(position); else face.quadratic->RemoveTerm(position);
        if (position < 0 || static_cast<std::size_t>(position) >= count) {
          expected_code = -1;
        } else if (face.linear) {
          recent = vars_by_index[ref.terms.linear_terms[static_cast<std::size_t>(position)].variable];
          ReferencePlace::remove_at(ref.terms.linear_terms, static_cast<std::size_t>(position));
        } else {
          ReferencePlace::remove_at(ref.terms.quadratic_terms, static_cast<std::size_t>(position));
        }
        what = "RemoveTerm";
        break;
      }
      case 5: {  // set a coefficient
        const std::size_t count = face.linear ? ref.terms.linear_terms.size() : ref.terms.quadratic_terms.size();
        if (count == 0) continue;
        const std::size_t position = pick(count);
        if (face.linear) {
          face.linear->SetTermCoeff(static_cast<int>(position), c);
          ref.terms.linear_terms[position].coefficient = c;
        } else {
          face.quadratic->SetTermCoeff(static_cast<int>(position), c);
          ref.terms.quadratic_terms[position].coefficient = c;
        }
        what = "SetTermCoeff";
        break;
      }
      case 6: {  // merge another face (possibly of the same place) of the same kind
        const Face* source = &faces[pick(faces.size())];
        for (int tries = 0; tries < 8 && (source->linear != nullptr) != (face.linear != nullptr); ++tries) {
          source = &faces[pick(faces.size())];
        }
        if ((source->linear != nullptr) != (face.linear != nullptr)) continue;
        const double f = factors[pick(std::size(factors))];
        if (face.linear) face.linear->AddExpression(source->linear, f);
        else face.quadratic->AddExpression(source->quadratic, f);
        expected_code = ref.merge(reference[source->place], f, face.linear != nullptr);
        what = "AddExpression";
        break;
      }
      case 7:
      case 8:
      case 9: {  // the constant, or removing a variable's term
        if (face.linear && pick(2)) {
          face.linear->AddConstant(c);
          ref.terms.constant += c;
          what = "AddConstant";
        } else if (face.linear) {
          auto [v, owner] = pick_variable();
          face.linear->RemoveVariable(v);
          if (ref.model && ref.model != owner) {
            expected_code = -1;
          } else if (ref.model) {
            const int p = ref.first_linear(index_of(v));
            if (p >= 0) ReferencePlace::remove_at(ref.terms.linear_terms, static_cast<std::size_t>(p));
          }
          what = "RemoveVariable";
        } else {
          continue;
        }
        break;
      }
    }
    ASSERT_EQ(face.errors()->GetErrorCode(), expected_code)
        << "step " << step << " " << what << ": " << face.errors()->GetErrorText();
    for (std::size_t p = 0; p < stores.size(); ++p) {
      const Expression& actual = stores[p]->get_terms();
      const Expression& expected = reference[p].terms;
      ASSERT_EQ(actual.linear_terms.size(), expected.linear_terms.size()) << "step " << step << " place " << p;
      ASSERT_EQ(actual.quadratic_terms.size(), expected.quadratic_terms.size()) << "step " << step << " place " << p;
      for (std::size_t t = 0; t < expected.linear_terms.size(); ++t) {
        ASSERT_EQ(actual.linear_terms[t].variable, expected.linear_terms[t].variable) << "step " << step;
        ASSERT_EQ(actual.linear_terms[t].coefficient, expected.linear_terms[t].coefficient) << "step " << step;
      }
      for (std::size_t t = 0; t < expected.quadratic_terms.size(); ++t) {
        ASSERT_EQ(actual.quadratic_terms[t].variable1, expected.quadratic_terms[t].variable1) << "step " << step;
        ASSERT_EQ(actual.quadratic_terms[t].variable2, expected.quadratic_terms[t].variable2) << "step " << step;
        ASSERT_EQ(actual.quadratic_terms[t].coefficient, expected.quadratic_terms[t].coefficient) << "step " << step;
      }
      ASSERT_EQ(actual.constant, expected.constant) << "step " << step << " place " << p;
      ASSERT_EQ(stores[p]->model().get(), reference[p].model) << "step " << step << " place " << p;
    }
  }
}

}  // namespace
}  // namespace velorium::testing
