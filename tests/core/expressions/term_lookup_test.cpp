// The term look-up against a plain scan of the terms: first-match positions under appends,
// swap-removals, repeated keys and changes made behind its back.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <random>

#include "core/expressions/model_term_lookups.hpp"
#include "core/expressions/term_lookup.hpp"
#include "core/expressions/term_position_index.hpp"

namespace velorium::cpp_impl {
namespace {

std::int32_t scan_linear(const Expression& e, std::int32_t v) {
  for (std::size_t p = 0; p < e.linear_terms.size(); ++p) {
    if (e.linear_terms[p].variable == v) return static_cast<std::int32_t>(p);
  }
  return -1;
}

std::int32_t scan_quadratic(const Expression& e, std::int32_t a, std::int32_t b) {
  for (std::size_t p = 0; p < e.quadratic_terms.size(); ++p) {
    const QuadTerm& t = e.quadratic_terms[p];
    if ((t.variable1 == a && t.variable2 == b) || (t.variable1 == b && t.variable2 == a)) return static_cast<std::int32_t>(p);
  }
  return -1;
}

TEST(TermPositionIndexTest, RepeatedKeysGiveTheLowestPositionThroughMovesAndErasures) {
  TermPositionIndex index;
  index.add_last(7, 0);
  index.add_last(3, 1);
  index.add_last(7, 2);
  index.add_last(7, 3);
  EXPECT_EQ(index.first(7), 0);
  index.erase(7, 0);
  EXPECT_EQ(index.first(7), 2);
  index.move(7, 3, 0);  // the last term fills the freed position 0
  EXPECT_EQ(index.first(7), 0);
  index.erase(7, 0);
  EXPECT_EQ(index.first(7), 2);
  index.erase(7, 2);
  EXPECT_EQ(index.first(7), -1);
  EXPECT_EQ(index.first(3), 1);
  EXPECT_EQ(index.key_count(), 1u);
}

TEST(TermPositionIndexTest, ManyKeysSurviveGrowthAndBackwardShiftRemoval) {
  TermPositionIndex index;
  for (std::int32_t k = 0; k < 5000; ++k) index.add_last(static_cast<std::uint64_t>(k) * 64, k);
  for (std::int32_t k = 0; k < 5000; k += 2) index.erase(static_cast<std::uint64_t>(k) * 64, k);
  for (std::int32_t k = 0; k < 5000; ++k) {
    ASSERT_EQ(index.first(static_cast<std::uint64_t>(k) * 64), k % 2 ? k : -1) << k;
  }
}

// Random appends (with repeats), removals and searches through one shared look-up, with the
// model's own appends and wholesale replacements mixed in; every search must equal a scan.
TEST(TermLookupTest, AgreesWithAScanUnderRandomChanges) {
  auto replacements = std::make_shared<std::atomic<std::uint64_t>>(0);
  TermLookup lookup(replacements);
  Expression e;
  std::mt19937 rng(12345);
  auto pick = [&](int n) { return static_cast<std::int32_t>(rng() % static_cast<unsigned>(n)); };
  for (int step = 0; step < 20000; ++step) {
    const int op = pick(100);
    if (op < 25) {
      lookup.append_linear(e, pick(40), 1.0);
    } else if (op < 45) {
      lookup.append_quadratic(e, pick(12), pick(12), 1.0);
    } else if (op < 55 && !e.linear_terms.empty()) {
      lookup.remove_linear_at(e, pick(static_cast<int>(e.linear_terms.size())));
    } else if (op < 65 && !e.quadratic_terms.empty()) {
      lookup.remove_quadratic_at(e, pick(static_cast<int>(e.quadratic_terms.size())));
    } else if (op < 68) {
      e.linear_terms.push_back({pick(40), 2.0});  // appended by the model itself
    } else if (op < 69) {
      // Replaced wholesale with the same length: only the counter can tell.
      for (LinearTerm& t : e.linear_terms) t.variable = pick(40);
      for (QuadTerm& t : e.quadratic_terms) t.variable1 = pick(12);
      replacements->fetch_add(1);
    } else if (op < 85) {
      const std::int32_t v = pick(40);
      ASSERT_EQ(lookup.find_linear(e, v), scan_linear(e, v)) << "step " << step;
    } else {
      const std::int32_t a = pick(12), b = pick(12);
      ASSERT_EQ(lookup.find_quadratic(e, a, b), scan_quadratic(e, a, b)) << "step " << step;
    }
  }
}

TEST(TermLookupTest, ASequenceAssignedAnewIsNoticedWithoutTheCounter) {
  TermLookup lookup;
  Expression e;
  for (std::int32_t v = 0; v < 20; ++v) lookup.append_linear(e, v, 1.0);
  ASSERT_EQ(lookup.find_linear(e, 19), 19);
  LinearTerms replacement;
  for (std::int32_t v = 100; v < 120; ++v) replacement.push_back({v, 1.0});
  e.linear_terms = std::move(replacement);  // the same length, other storage
  EXPECT_EQ(lookup.find_linear(e, 119), 19);
  EXPECT_EQ(lookup.find_linear(e, 19), -1);
}

TEST(TermLookupTest, RemovalMovesTheLastTermIntoTheFreedPosition) {
  TermLookup lookup;
  Expression e;
  lookup.append_linear(e, 10, 1.0);
  lookup.append_linear(e, 11, 2.0);
  lookup.append_linear(e, 12, 3.0);
  ASSERT_EQ(lookup.find_linear(e, 11), 1);
  lookup.remove_linear_at(e, 0);
  ASSERT_EQ(e.linear_terms.size(), 2u);
  EXPECT_EQ(e.linear_terms[0].variable, 12);
  EXPECT_EQ(e.linear_terms[1].variable, 11);
  EXPECT_EQ(lookup.find_linear(e, 12), 0);
  EXPECT_EQ(lookup.find_linear(e, 10), -1);
}

TEST(ModelTermLookupsTest, ViewsOfOnePlaceShareOneLookupAndReplacementIsNoticed) {
  // Any address serves: the registry never reads through it.
  static const int anchor = 0;
  const auto* builder = reinterpret_cast<const ModelBuilder*>(&anchor);
  std::shared_ptr<TermLookup> a = model_term_lookup(builder, kObjectivePlace);
  std::shared_ptr<TermLookup> b = model_term_lookup(builder, kObjectivePlace);
  std::shared_ptr<TermLookup> row = model_term_lookup(builder, 3);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, row);

  Expression objective;
  a->append_linear(objective, 5, 1.0);
  ASSERT_EQ(b->find_linear(objective, 5), 0);
  objective.linear_terms = {{7, 1.0}};  // a new objective of the same length
  note_model_terms_replaced(builder);
  EXPECT_EQ(b->find_linear(objective, 5), -1);
  EXPECT_EQ(b->find_linear(objective, 7), 0);

  a.reset();
  b.reset();
  // Once nobody holds it, the place starts afresh.
  std::shared_ptr<TermLookup> again = model_term_lookup(builder, kObjectivePlace);
  EXPECT_EQ(again->find_linear(objective, 7), 0);
}

}  // namespace
}  // namespace velorium::cpp_impl
