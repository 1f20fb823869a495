#include "core/store/model_builder.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/base/kernel.hpp"
#include "core/names/names_holder.hpp"
#include "support/log_capture.hpp"
#include "support/catalogue_failure.hpp"
#include "support/kernel_absence.hpp"
#include "support/test_models.hpp"

namespace velorium::cpp_impl {
namespace {

using velorium::test::LogCapture;
using velorium::testing::catalogue_text;
using velorium::testing::fails_with;

using test::kBinary;
using test::kContinuous;
using test::kInf;
using test::kInteger;
using test::kSemiInteger;
using test::nameOrNone;

class ModelBuilderTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(get_or_create_kernel()); }

  std::string variable_name(std::int32_t store_index) {
    const char* name = store->variable_name(store_index);
    return name ? name : "<none>";
  }
  std::string row_name(std::int32_t store_index) { return nameOrNone(store->row_record(store_index).expression.name_id); }
  std::int32_t add_unnamed() { return store->add_variable(0.0, 1.0, 0.0, kContinuous, nullptr, nullptr); }
  std::int32_t add_named(const char* name) { return store->add_variable(0.0, 1.0, 0.0, kContinuous, name, nullptr); }
  std::int32_t add_row(const char* name, const VeloriumLogOptions* log = nullptr) {
    return store->add_row(Expression{}, -kInf, 1.0, name, log);
  }
  std::string add_general_constraint(const char* name) {
    return store->add_general_constraint(nullptr, 0, name, nullptr)->name;
  }
  std::vector<std::int32_t> live_variables() {
    std::vector<std::int32_t> result;
    for (std::int32_t p = 0; p < store->variable_count(); ++p) result.push_back(store->variable_at_position(p));
    return result;
  }

  std::shared_ptr<ModelBuilder> store = std::make_shared<ModelBuilder>();
};

TEST_F(ModelBuilderTest, UnnamedVariablesGetGeneratedNames) {
  EXPECT_EQ(variable_name(add_unnamed()), "x#0");
  EXPECT_EQ(variable_name(add_unnamed()), "x#1");
  store->remove_variable(0);
  // One live variable: the first candidate is x#1, which is taken.
  EXPECT_EQ(variable_name(add_unnamed()), "x#2");
  EXPECT_EQ(store->variable_count(), 2);
}

TEST_F(ModelBuilderTest, GeneratedNamesAfterNamedMembersAndRemovals) {
  add_named("a");
  EXPECT_EQ(variable_name(add_unnamed()), "x#1");
  add_named("x#2");
  add_named("x#3");
  EXPECT_EQ(variable_name(add_unnamed()), "x#4");
  store->remove_variable(store->find_variable_index("x#2"));
  // Four live variables, x#4 taken, x#5 free.
  EXPECT_EQ(variable_name(add_unnamed()), "x#5");
  store->remove_variable(store->find_variable_index("x#4"));
  store->remove_variable(store->find_variable_index("x#5"));
  store->remove_variable(store->find_variable_index("a"));
  // Two live variables (x#1, x#3): x#2 was freed.
  EXPECT_EQ(variable_name(add_unnamed()), "x#2");
  store->set_variable_name(store->find_variable_index("x#3"), "renamed");
  // Three live variables: x#3 was freed by the rename.
  EXPECT_EQ(variable_name(add_unnamed()), "x#3");
}

// Random additions, removals and renames, with every generated name checked against the
// plain search: the first k from the number of live variables whose name "x#k" is free.
TEST_F(ModelBuilderTest, GeneratedNamesMatchThePlainSearchUnderRandomChanges) {
  std::mt19937 random(7);
  for (int step = 0; step < 4000; ++step) {
    const auto live = live_variables();
    const int choice = static_cast<int>(random() % 10);
    if (choice < 5) {
      std::uint32_t k = static_cast<std::uint32_t>(live.size());
      while (store->variable_exists("x#" + std::to_string(k))) ++k;
      ASSERT_EQ(variable_name(add_unnamed()), "x#" + std::to_string(k)) << "step " << step;
    } else if (choice < 8 && !live.empty()) {
      store->remove_variable(live[random() % live.size()]);
    } else if (choice == 8 && !live.empty()) {
      const std::string name = "x#" + std::to_string(random() % (live.size() + 5));
      if (!store->variable_exists(name)) store->set_variable_name(live[random() % live.size()], name.c_str());
    } else {
      const std::string name = "x#" + std::to_string(random() % (live.size() + 5));
      if (!store->variable_exists(name)) add_named(name.c_str());
    }
  }
}

TEST_F(ModelBuilderTest, RowAndGeneralConstraintNames) {
  LogCapture log;
  EXPECT_EQ(row_name(add_row(nullptr, &log.options())), "C#0");
  EXPECT_EQ(row_name(add_row("", &log.options())), "C#1");
  EXPECT_TRUE(log.texts().empty()) << "an empty name logs nothing";

  EXPECT_EQ(row_name(add_row("a", &log.options())), "a");
  EXPECT_EQ(row_name(add_row("a", &log.options())), "a#3");
  ASSERT_EQ(log.texts().size(), 1u);
  EXPECT_EQ(log.texts()[0].level, 4);
  EXPECT_EQ(log.texts()[0].text, catalogue_text(71) + catalogue_text(24, "a", "a#3") + "\n") << "one whole line";
  EXPECT_EQ(row_name(add_row("a", nullptr)), "a#4") << "no log options, no warning";
  EXPECT_EQ(log.texts().size(), 1u);

  EXPECT_TRUE(fails_with([&] { add_row(" lead"); }, 137));
  EXPECT_EQ(store->row_count(), 5);
}

TEST_F(ModelBuilderTest, RowsAndGeneralConstraintsShareGeneratedNames) {
  EXPECT_EQ(add_general_constraint(nullptr), "GC#0");
  EXPECT_EQ(add_general_constraint(""), "GC#1");
  EXPECT_EQ(row_name(add_row("GC")), "GC");
  // One live row: GC#1 belongs to a general constraint.
  EXPECT_EQ(row_name(add_row("GC")), "GC#2");
  // A given name is checked against the rows only.
  EXPECT_EQ(add_general_constraint("GC#0"), "GC#0");
  EXPECT_EQ(store->general_constraint_count(), 3);
}

// A generated row name skipped because a general constraint held it is given out again once
// that general constraint is removed or renamed.
TEST_F(ModelBuilderTest, RowNumbersFreedByGeneralConstraintsAreReused) {
  const std::function<void(ModelBuilder&, GeneralConstraint&)> frees[] = {
      [](ModelBuilder& s, GeneralConstraint& gc) { s.remove_general_constraint(gc); },
      [](ModelBuilder& s, GeneralConstraint& gc) { s.rename_general_constraint(gc, "g"); },
  };
  for (const auto& free_name : frees) {
    store = std::make_shared<ModelBuilder>();
    for (int k = 0; k < 8; ++k) add_row(nullptr);
    const auto gc = store->add_general_constraint(nullptr, 0, "C#8", nullptr);
    EXPECT_EQ(row_name(add_row(nullptr)), "C#9");
    EXPECT_EQ(row_name(add_row(nullptr)), "C#10");
    free_name(*store, *gc);
    for (const char* name : {"C#0", "C#1", "C#2"}) store->remove_row(store->find_constraint_index(name));
    // Eight live rows: C#8 is free again.
    EXPECT_EQ(row_name(add_row(nullptr)), "C#8");
    EXPECT_EQ(row_name(add_row(nullptr)), "C#11");
  }
}

// Rows and general constraints share one namespace: a row added without a name, by any path,
// never takes a general constraint's name, inside a run of generated row names or after it.
TEST_F(ModelBuilderTest, UnnamedRowsOfEveryPathSkipGeneralConstraintNames) {
  const std::pair<const char*, std::function<std::int32_t(ModelBuilder&)>> paths[] = {
      {"one at a time", [](ModelBuilder& s) { return s.add_row(Expression{}, -kInf, 1.0, nullptr, nullptr); }},
      {"linear sparse", [](ModelBuilder& s) { return s.add_row_linear_sparse(nullptr, nullptr, 0, 0, 1.0); }},
      {"dense", [](ModelBuilder& s) { return s.add_row_dense(nullptr, 0, 0, nullptr, 0, 0, 1.0); }},
  };
  for (const auto& [path, add] : paths) {
    SCOPED_TRACE(path);
    store = std::make_shared<ModelBuilder>();
    EXPECT_EQ(row_name(add(*store)), "C#0");
    EXPECT_EQ(row_name(add(*store)), "C#1");
    EXPECT_EQ(add_general_constraint("C#2"), "C#2");
    EXPECT_EQ(add_general_constraint("C#4"), "C#4");
    EXPECT_EQ(row_name(add(*store)), "C#3");
    EXPECT_EQ(row_name(add(*store)), "C#5");

    store = std::make_shared<ModelBuilder>();
    EXPECT_EQ(add_general_constraint("C#0"), "C#0");
    EXPECT_EQ(row_name(add(*store)), "C#1") << "the first row of a model with a general constraint";
  }
}

// Unnamed rows added one at a time keep the run of generated names that matrix-form rows
// continue, until a row is named.
TEST_F(ModelBuilderTest, UnnamedRowsKeepTheRunOfGeneratedNames) {
  EXPECT_EQ(row_name(add_row(nullptr)), "C#0");
  EXPECT_EQ(row_name(store->add_row_linear_sparse(nullptr, nullptr, 0, 0, 1.0)), "C#1");
  EXPECT_EQ(row_name(add_row("")), "C#2");
  EXPECT_TRUE(store->row_table.default_names_only);
  EXPECT_EQ(row_name(add_row("C#4")), "C#4");
  EXPECT_FALSE(store->row_table.default_names_only);
  EXPECT_EQ(row_name(add_row(nullptr)), "C#5") << "four live rows, C#4 taken";
  EXPECT_EQ(store->find_constraint_index("C#2"), 2);
}

TEST_F(ModelBuilderTest, GeneralConstraintLookups) {
  const auto first = store->add_general_constraint(nullptr, 1, "g", nullptr);
  const auto second = store->add_general_constraint(nullptr, 2, "g", nullptr);
  EXPECT_EQ(store->general_constraint_count(), 2);
  EXPECT_EQ(store->general_constraint_by_name("g"), second) << "the later one takes the name";
  EXPECT_EQ(store->general_constraint_at(0), first);
  EXPECT_EQ(store->gc_index_by_object.at(second.get()), 1);
  EXPECT_EQ(second->result_variable, 2);
  EXPECT_TRUE(fails_with([&] { store->general_constraint_at(-1); }, 461, -1));
  EXPECT_TRUE(fails_with([&] { store->general_constraint_at(2); }, 461, 2));
  EXPECT_TRUE(fails_with([&] { store->general_constraint_by_name("h"); }, 462, "h"));
}

TEST_F(ModelBuilderTest, AddingAVariableOfAnExistingNameReplacesIt) {
  LogCapture log;
  const auto a = store->add_variable(0.0, 5.0, 3.0, kContinuous, "a", &log.options());
  const auto b = store->add_variable(0.0, 5.0, 0.0, kContinuous, "b", &log.options());
  EXPECT_EQ(store->add_variable(-1.0, 2.0, 7.0, kInteger, "a", &log.options()), a);
  EXPECT_EQ(store->variable_count(), 2);
  EXPECT_EQ(store->variable_type_of(a), kInteger);
  EXPECT_EQ(store->variable_lower(a), -1.0);
  EXPECT_EQ(store->variable_upper(a), 2.0);
  ASSERT_EQ(store->model->objective.linear_terms.size(), 1u);
  EXPECT_EQ(store->model->objective.linear_terms[0].coefficient, 7.0) << "set on the existing term";
  ASSERT_EQ(log.texts().size(), 1u);
  EXPECT_EQ(log.texts()[0].text, catalogue_text(71) + catalogue_text(23, "a") + "\n") << "one whole line";

  EXPECT_EQ(store->add_variable(0.0, 1.0, 0.0, kContinuous, "b", nullptr), b);
  EXPECT_EQ(store->model->objective.linear_terms.size(), 1u) << "a zero coefficient adds no term";
  EXPECT_EQ(store->add_variable(0.0, 1.0, 4.0, kContinuous, "b", nullptr), b);
  ASSERT_EQ(store->model->objective.linear_terms.size(), 2u) << "a coefficient of a variable without a term is kept";
  EXPECT_EQ(store->model->objective.linear_terms[1].variable, b);
  EXPECT_EQ(store->model->objective.linear_terms[1].coefficient, 4.0);

  // The replacement follows the type's rules, and a failed one changes nothing.
  EXPECT_TRUE(fails_with([&] { store->add_variable(0.5, 2.0, 1.0, kInteger, "a", nullptr); }, 113, 0.5));
  EXPECT_EQ(store->variable_lower(a), -1.0);
  store->add_variable(-0.4, 7.0, 1.0, kBinary, "a", nullptr);
  EXPECT_EQ(store->variable_lower(a), 0.0);
  EXPECT_EQ(store->variable_upper(a), 1.0);
}

TEST_F(ModelBuilderTest, BoundsAndTypesOfNewVariables) {
  struct Case {
    double lower, upper;
    std::uint32_t type;
    double stored_lower, stored_upper;
  };
  const Case cases[] = {
      {-0.4, 7.0, kBinary, 0.0, 1.0},        {0.6, 0.7, kBinary, 1.0, 1.0},
      {-kInf, kInf, kBinary, 0.0, 1.0},      {2.0 + 1e-15, 3.0, kInteger, 2.0 + 1e-15, 3.0},
      {-kInf, kInf, kInteger, -kInf, kInf},  {0.5, 0.7, kContinuous, 0.5, 0.7},
      {-3.0, 4.0, kSemiInteger, -3.0, 4.0},
      {-0.4, -0.0, kBinary, 0.0, 0.0},       {-0.0, 0.3, kBinary, 0.0, 0.0},
  };
  for (const Case& c : cases) {
    const auto index = store->add_variable(c.lower, c.upper, 0.0, c.type, nullptr, nullptr);
    EXPECT_EQ(store->variable_lower(index), c.stored_lower) << c.lower << " " << c.type;
    EXPECT_EQ(store->variable_upper(index), c.stored_upper) << c.upper << " " << c.type;
    // Minus zero is equal to zero but shows as "-0": a binary's bounds never hold it.
    EXPECT_EQ(std::signbit(store->variable_lower(index)), std::signbit(c.stored_lower)) << c.lower << " " << c.type;
    EXPECT_EQ(std::signbit(store->variable_upper(index)), std::signbit(c.stored_upper)) << c.upper << " " << c.type;
  }
  const auto count = store->variable_count();
  EXPECT_TRUE(fails_with([&] { store->add_variable(0.5, 3.0, 0.0, kInteger, nullptr, nullptr); }, 113, 0.5));
  EXPECT_TRUE(fails_with([&] { store->add_variable(0.0, 2.5, 0.0, kSemiInteger, nullptr, nullptr); }, 114, 2.5));
  EXPECT_TRUE(fails_with([&] { store->add_variable(2.0, 1.0, 0.0, kContinuous, nullptr, nullptr); }, 115, 1.0, 2.0));
  EXPECT_TRUE(fails_with([&] { store->add_variable(0.0, 1.0, 0.0, kContinuous, " v", nullptr); }, 126, ' '));
  EXPECT_EQ(store->variable_count(), count) << "failed additions add nothing";

  const auto with_cost = store->add_variable(0.0, 1.0, 2.5, kContinuous, nullptr, nullptr);
  store->add_variable(0.0, 1.0, 1e-15, kContinuous, nullptr, nullptr);
  ASSERT_EQ(store->model->objective.linear_terms.size(), 1u) << "|c| <= 1e-14 adds no objective term";
  EXPECT_EQ(store->model->objective.linear_terms[0].variable, with_cost);
}

TEST_F(ModelBuilderTest, ChangingBounds) {
  const auto binary = store->add_variable(0.0, 1.0, 0.0, kBinary, nullptr, nullptr);
  const auto integer = store->add_variable(0.0, 10.0, 0.0, kInteger, nullptr, nullptr);
  const auto continuous = store->add_variable(0.0, 10.0, 0.0, kContinuous, nullptr, nullptr);
  const auto unknown = store->append_column({7, 0.0, 10.0, -1}, -1);

  store->set_variable_lower(binary, 1.0);
  EXPECT_EQ(store->variable_lower(binary), 1.0);
  EXPECT_TRUE(fails_with([&] { store->set_variable_upper(binary, 0.0); }, 119, 0.0, 1.0));
  EXPECT_EQ(store->variable_upper(binary), 1.0);
  store->set_variable_lower(binary, 0.0);
  EXPECT_TRUE(fails_with([&] { store->set_variable_lower(binary, 0.5); }, 123, 0.5));
  EXPECT_TRUE(fails_with([&] { store->set_variable_upper(binary, 0.5); }, 120, 0.5));
  EXPECT_TRUE(fails_with([&] { store->set_variable_lower(integer, 0.5); }, 124, 0.5));
  EXPECT_TRUE(fails_with([&] { store->set_variable_upper(integer, 9.5); }, 121, 9.5));
  EXPECT_TRUE(fails_with([&] { store->set_variable_lower(continuous, 11.0); }, 122, 11.0, 10.0));
  store->set_variable_lower(integer, 2.0 + 1e-15);
  EXPECT_EQ(store->variable_lower(integer), 2.0 + 1e-15);
  store->set_variable_upper(integer, kInf);
  EXPECT_EQ(store->variable_upper(integer), kInf);
  store->set_variable_lower(continuous, 0.5);
  EXPECT_EQ(store->variable_lower(continuous), 0.5);
  store->set_variable_lower(unknown, 3.0);
  store->set_variable_upper(unknown, 4.0);
  EXPECT_EQ(store->variable_lower(unknown), 0.0) << "a type outside 0..4 keeps its bounds";
  EXPECT_EQ(store->variable_upper(unknown), 10.0);
}

TEST_F(ModelBuilderTest, ChangingTypes) {
  const auto v = store->add_variable(0.5, 2.7, 0.0, kContinuous, nullptr, nullptr);
  store->set_variable_type(v, kInteger);
  EXPECT_EQ(store->variable_lower(v), 0.0);
  EXPECT_EQ(store->variable_upper(v), 2.0);
  store->set_variable_lower(v, -5.0);
  store->set_variable_upper(v, 5.0);
  store->set_variable_type(v, kBinary);
  EXPECT_EQ(store->variable_lower(v), 0.0);
  EXPECT_EQ(store->variable_upper(v), 1.0);
  EXPECT_EQ(store->variable_type_of(v), kBinary);
}

TEST_F(ModelBuilderTest, RemovalSwapsTheLastLiveMemberIn) {
  const auto a = add_named("a");
  const auto b = add_named("b");
  const auto c = add_named("c");
  store->remove_variable(store->variable_at_position(0));
  EXPECT_EQ(live_variables(), (std::vector<std::int32_t>{c, b}));
  store->remove_variable(a);  // again: nothing happens
  EXPECT_EQ(store->variable_count(), 2);
  EXPECT_EQ(store->column_table.removed_count, 1);
  EXPECT_TRUE(fails_with([&] { store->variable_record(a); }, 111, a));
  EXPECT_TRUE(fails_with([&] { store->find_variable_index("a"); }, 136, "a"));
  EXPECT_EQ(add_named("a"), 3) << "the name is free again";
  EXPECT_EQ(store->find_variable_index("b"), b);

  for (std::int32_t bad : {-1, 4, 1000000}) {
    EXPECT_TRUE(fails_with([&] { store->remove_variable(bad); }, 110, bad));
    EXPECT_TRUE(fails_with([&] { store->remove_row(bad); }, 110, bad));
    EXPECT_TRUE(fails_with([&] { store->variable_record(bad); }, 110, bad));
  }
  EXPECT_TRUE(fails_with([&] { store->variable_at_position(3); }, 110, 3));
  EXPECT_TRUE(fails_with([&] { store->variable_at_position(-1); }, 110, -1));

  const auto r0 = add_row("r0");
  add_row("r1");
  store->remove_row(r0);
  EXPECT_EQ(store->row_count(), 1);
  EXPECT_TRUE(fails_with([&] { store->find_constraint_index("r0"); }, 135, "r0"));
  EXPECT_TRUE(fails_with([&] { store->row_record(r0); }, 111, r0));
}

TEST_F(ModelBuilderTest, RemoveAllLeavesEveryIndexRemoved) {
  add_named("a");
  add_row("r");
  store->remove_all();
  EXPECT_EQ(store->variable_count(), 0);
  EXPECT_EQ(store->row_count(), 0);
  EXPECT_TRUE(fails_with([&] { store->variable_record(0); }, 111, 0));
  EXPECT_TRUE(fails_with([&] { store->row_record(0); }, 111, 0));
  EXPECT_FALSE(store->variable_exists("a"));
  store->remove_variable(0);  // already removed: nothing
}

TEST_F(ModelBuilderTest, RenamingVariables) {
  const auto a = add_named("a");
  add_named("b");
  EXPECT_TRUE(fails_with([&] { store->set_variable_name(a, ""); }, 125, ""));
  EXPECT_TRUE(fails_with([&] { store->set_variable_name(a, nullptr); }, 125, "null"));
  EXPECT_TRUE(fails_with([&] { store->set_variable_name(a, " x"); }, 126, ' '));
  EXPECT_TRUE(fails_with([&] { store->set_variable_name(a, "b"); }, 127, "b"));
  EXPECT_TRUE(fails_with([&] { store->set_variable_name(9, "z"); }, 110, 9));
  store->set_variable_name(a, "a");
  EXPECT_EQ(variable_name(a), "a");
  store->set_variable_name(a, "c");
  EXPECT_EQ(store->find_variable_index("c"), a);
  EXPECT_FALSE(store->variable_exists("a"));
  EXPECT_FALSE(store->column_table.default_names_only);
}

TEST_F(ModelBuilderTest, RenamingRowsAndTheObjective) {
  const auto r = add_row("r");
  const auto s = add_row("s");
  store->rename_row(r, "r");
  EXPECT_EQ(row_name(r), "r");
  EXPECT_TRUE(fails_with([&] { store->rename_row(r, "s"); }, 140, "s"));
  store->rename_row(r, "t");
  EXPECT_EQ(store->find_constraint_index("t"), r);
  EXPECT_FALSE(store->row_exists("r"));
  store->rename_row(s, nullptr);  // taken as the empty name
  EXPECT_EQ(row_name(s), "");

  EXPECT_TRUE(fails_with([&] { store->set_objective_name("t"); }, 139, "t"));
  store->set_objective_name("cost");
  EXPECT_STREQ(get_names_holder()->names_holder_get(store->model->objective.name_id), "cost");
}

// Files may hold duplicate names; the index then points at the last member of a name, and
// changing another member of that name must not take the name out of the index.
TEST_F(ModelBuilderTest, DuplicateNamesStayFindableWhenAnotherHolderGoes) {
  const auto dup = static_cast<std::int32_t>(get_names_holder()->find_or_add_name("dup"));
  const auto first = store->append_row(Constraint(), dup);
  const auto second = store->append_row(Constraint(), dup);
  EXPECT_EQ(store->find_constraint_index("dup"), second);
  store->remove_row(first);
  EXPECT_EQ(store->find_constraint_index("dup"), second);

  const auto third = store->append_row(Constraint(), dup);
  const auto fourth = store->append_row(Constraint(), dup);
  store->set_row_name(third, "other");
  EXPECT_EQ(store->find_constraint_index("dup"), fourth);
  store->remove_row(fourth);
  EXPECT_FALSE(store->row_exists("dup")) << "the member it pointed at is gone";

  const auto x = static_cast<std::int32_t>(get_names_holder()->find_or_add_name("xv"));
  store->append_column({0, 0.0, 1.0, -1}, x);
  const auto last = store->append_column({0, 0.0, 1.0, -1}, x);
  store->remove_variable(0);
  EXPECT_EQ(store->find_variable_index("xv"), last);
}

TEST_F(ModelBuilderTest, RowTermsMustReferToStoredVariables) {
  add_unnamed();
  Expression terms;
  terms.linear_terms.push_back({1, 2.0});
  EXPECT_TRUE(fails_with([&] { store->add_row(terms, 0.0, 1.0, "r", nullptr); }, 110, 1));
  terms.linear_terms = {{0, 2.0}};
  terms.quadratic_terms.push_back({0, -3, 1.0});
  EXPECT_TRUE(fails_with([&] { store->add_row(terms, 0.0, 1.0, "r", nullptr); }, 110, -3));
  EXPECT_EQ(store->row_count(), 0);
  terms.quadratic_terms = {{0, 0, 1.0}};
  terms.constant = 4.0;
  terms.name_id = 12345;
  const auto row = store->add_row(terms, 0.0, 1.0, "r", nullptr);
  EXPECT_EQ(store->row_record(row).expression.constant, 4.0);
  EXPECT_EQ(row_name(row), "r") << "the row's name replaces the expression's";
}

// An addition with several faults reports the one it checks first: numbers and terms, then
// the name, then the pool.
TEST_F(ModelBuilderTest, AdditionWithSeveralFaultsReportsTheFirst) {
  add_unnamed();
  const double nan = std::nan("");
  Expression out_of_range;
  out_of_range.linear_terms = {{3, 1.0}};
  const Expression one_term{{{0, 1.0}}, {}, 0.0, -1};
  EXPECT_TRUE(fails_with([&] { store->add_row(one_term, nan, 1.0, " r", nullptr); }, 505));
  EXPECT_TRUE(fails_with([&] { store->add_row(out_of_range, 0.0, 1.0, " r", nullptr); }, 110, 3));
  EXPECT_TRUE(fails_with([&] { store->add_variable(nan, 1.0, 0.0, kContinuous, " v", nullptr); }, 505));
  EXPECT_TRUE(fails_with([&] { store->add_variable(2.0, 1.0, 0.0, kContinuous, " v", nullptr); }, 115, 1.0, 2.0));
  {
    velorium::testing::ScopedKernelAbsence absent;
    EXPECT_TRUE(fails_with([&] { store->add_row(one_term, nan, 1.0, "r", nullptr); }, 505)) << "before the pool";
    EXPECT_TRUE(fails_with([&] { store->add_row(one_term, 0.0, 1.0, " r", nullptr); }, 137)) << "before the pool";
    EXPECT_TRUE(fails_with([&] { store->add_variable(nan, 1.0, 0.0, kContinuous, "v", nullptr); }, 505));
  }
  EXPECT_EQ(store->variable_count(), 1);
  EXPECT_EQ(store->row_count(), 0);
}

TEST_F(ModelBuilderTest, ObjectiveIsCopied) {
  Expression objective{{{0, 1.0}}, {{0, 0, 2.0}}, 3.0, -1};
  store->set_objective(objective, 5);
  objective.linear_terms.clear();
  EXPECT_EQ(store->model->objective.linear_terms.size(), 1u);
  EXPECT_EQ(store->model->objective.constant, 3.0);
  EXPECT_EQ(store->model->objective_sense, 1);
  store->set_objective(store->model->objective, 0);
  EXPECT_EQ(store->model->objective.quadratic_terms.size(), 1u) << "setting the objective to itself keeps it";
  EXPECT_EQ(store->model->objective_sense, 0);
}

TEST_F(ModelBuilderTest, AbsentCoreObjectGivesMessage109) {
  add_named("a");
  velorium::testing::ScopedKernelAbsence absent;
  EXPECT_TRUE(fails_with([&] { add_named("b"); }, 109));
  EXPECT_TRUE(fails_with([&] { add_unnamed(); }, 109));
  EXPECT_TRUE(fails_with([&] { store->remove_variable(0); }, 109));
  EXPECT_TRUE(fails_with([&] { store->remove_variable(7); }, 110, 7)) << "the range is checked first";
  EXPECT_TRUE(fails_with([&] { store->variable_name(0); }, 109));
  EXPECT_TRUE(fails_with([&] { add_row("r"); }, 109));
  EXPECT_EQ(store->variable_count(), 1);
}

TEST_F(ModelBuilderTest, DefaultNameRunFollowsStoreIndices) {
  for (int i = 0; i < 3; ++i) add_unnamed();
  EXPECT_TRUE(store->column_table.default_names_only);
  EXPECT_EQ(store->column_table.default_prefix, "x");
  EXPECT_EQ(store->default_member_name_id(store->row_table, "C"), store->default_member_name_id(store->row_table, "C"))
      << "the run's name for the next row index";
  add_named("n");
  EXPECT_FALSE(store->column_table.default_names_only);
  EXPECT_EQ(variable_name(add_unnamed()), "x#4");
}

// Until the first removal the live-member tables are not kept (every position is its store
// index); the positions, the removed flags and the name look-ups must read the same before,
// at and after that switch, for additions and removals in any order.
TEST_F(ModelBuilderTest, PositionsAgreeWithAReferenceBeforeAndAfterTheFirstRemoval) {
  std::vector<std::int32_t> reference;  // position -> store index, the removal rule done by hand
  std::vector<bool> removed;
  std::mt19937 random(11);
  const auto check = [&](int step) {
    ASSERT_EQ(store->variable_count(), static_cast<std::int32_t>(reference.size())) << step;
    ASSERT_EQ(live_variables(), reference) << step;
    const MemberTable<Variable>& table = store->column_table;
    for (std::int32_t i = 0; i < table.record_count(); ++i) {
      ASSERT_EQ(table.is_removed(i), removed[static_cast<std::size_t>(i)]) << step << " " << i;
      const std::int32_t position = table.position_of_index(i);
      if (removed[static_cast<std::size_t>(i)]) {
        ASSERT_EQ(position, -1) << step;
      } else {
        ASSERT_EQ(reference[static_cast<std::size_t>(position)], i) << step;
        ASSERT_EQ(store->find_variable_index("p" + std::to_string(i)), i) << step;
      }
    }
  };
  for (int step = 0; step < 300; ++step) {
    if (step < 20 || random() % 3 != 0 || reference.empty()) {
      const std::int32_t index = add_named(("p" + std::to_string(removed.size())).c_str());
      reference.push_back(index);
      removed.push_back(false);
    } else {
      const std::size_t position = random() % reference.size();
      const std::int32_t index = reference[position];
      store->remove_variable(index);
      reference[position] = reference.back();
      reference.pop_back();
      removed[static_cast<std::size_t>(index)] = true;
      store->remove_variable(index);  // a second removal changes nothing
    }
    check(step);
  }
  EXPECT_TRUE(fails_with([&] { store->variable_at_position(static_cast<std::int32_t>(reference.size())); }, 110,
                         static_cast<std::int32_t>(reference.size())));
  store->remove_all();
  EXPECT_EQ(store->variable_count(), 0);
  EXPECT_TRUE(fails_with([&] { store->variable_record(0); }, 111, 0));
}

TEST_F(ModelBuilderTest, IndexIsBuiltOnceWhenManyThreadsLookUpFirst) {
  for (int i = 0; i < 2000; ++i) add_named(("v" + std::to_string(i)).c_str());
  store->reset_tables();  // drops the index
  EXPECT_FALSE(store->column_table.name_index_built);
  std::vector<std::thread> threads;
  std::atomic<int> wrong{0};
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&, t] {
      for (int i = t; i < 2000; i += 8) {
        if (store->find_variable_index("v" + std::to_string(i)) != i) ++wrong;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(store->column_table.name_index.size(), 2000u);
}

}  // namespace
}  // namespace velorium::cpp_impl
