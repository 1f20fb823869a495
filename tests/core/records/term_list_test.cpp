#include "core/records/term_list.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

#include "core/records/expression.hpp"

namespace velorium {
namespace {

// Terms 0..count-1 with coefficient 10 * variable, so that any lost or moved term shows.
LinearTerms numbered(std::int32_t count) {
  LinearTerms terms;
  for (std::int32_t v = 0; v < count; ++v) terms.push_back({v, 10.0 * v});
  return terms;
}

void expect_numbered(const LinearTerms& terms, std::int32_t count, const std::string& what) {
  ASSERT_EQ(terms.size(), static_cast<std::size_t>(count)) << what;
  for (std::int32_t v = 0; v < count; ++v) {
    EXPECT_EQ(terms[static_cast<std::size_t>(v)].variable, v) << what;
    EXPECT_EQ(terms[static_cast<std::size_t>(v)].coefficient, 10.0 * v) << what;
  }
}

// Sizes inside the record, at its edge, just past it and well past it.
const std::vector<std::int32_t> kSizes = {0, 1, 2, 3, 40};

TEST(TermList, KeepsItsTermsThroughGrowthCopiesMovesAndSwaps) {
  for (const std::int32_t n : kSizes) {
    const std::string what = std::to_string(n) + " terms";
    LinearTerms original = numbered(n);
    expect_numbered(original, n, what);
    EXPECT_GE(original.capacity(), original.size()) << what;

    LinearTerms copy(original);
    expect_numbered(copy, n, what + ", copied");
    copy.push_back({99, 1.0});  // the copy owns its terms
    expect_numbered(original, n, what + ", original after the copy grew");

    LinearTerms moved(std::move(copy));
    EXPECT_TRUE(copy.empty()) << what;  // NOLINT(bugprone-use-after-move): a moved-from list is empty
    copy.push_back({7, 7.0});           // and usable
    EXPECT_EQ(copy.size(), 1u) << what;
    ASSERT_EQ(moved.size(), static_cast<std::size_t>(n) + 1) << what;
    EXPECT_EQ(moved.back().variable, 99) << what;

    for (const std::int32_t m : kSizes) {
      LinearTerms target = numbered(m);
      target = original;
      expect_numbered(target, n, what + " assigned over " + std::to_string(m));
      LinearTerms other = numbered(m);
      other = std::move(target);
      expect_numbered(other, n, what + " moved over " + std::to_string(m));
      LinearTerms swapped = numbered(m);
      swapped.swap(other);
      expect_numbered(swapped, n, what + " swapped with " + std::to_string(m));
      expect_numbered(other, m, std::to_string(m) + " swapped with " + what);
    }
    const LinearTerms& same = original;
    original = same;  // assigning a list to itself keeps it
    expect_numbered(original, n, what + ", assigned to itself");
  }
}

TEST(TermList, PushingOneOfItsOwnTermsAsItGrowsCopiesTheTerm) {
  LinearTerms terms = numbered(2);
  ASSERT_EQ(terms.size(), terms.capacity());  // the next one moves the terms to a block
  terms.push_back(terms[0]);
  terms.push_back(terms[1]);
  ASSERT_EQ(terms.size(), 4u);
  EXPECT_EQ(terms[2].variable, 0);
  EXPECT_EQ(terms[3].coefficient, 10.0);
}

TEST(TermList, ShrinksBackIntoTheRecordAndResizesWithEmptyTerms) {
  LinearTerms terms = numbered(40);
  while (terms.size() > 2) terms.pop_back();
  terms.shrink_to_fit();
  EXPECT_EQ(terms.capacity(), LinearTerms::inline_capacity);
  expect_numbered(terms, 2, "shrunk into the record");

  terms = numbered(10);
  terms.pop_back();
  terms.shrink_to_fit();
  EXPECT_EQ(terms.capacity(), 9u);
  expect_numbered(terms, 9, "shrunk to its size");

  terms.resize(12);
  EXPECT_EQ(terms[11].variable, -1);  // a new term is an empty one, as in an expression
  EXPECT_EQ(terms[11].coefficient, 0.0);
  terms.resize(3);  // down: the first terms stay, nothing past them is written
  expect_numbered(terms, 3, "resized down");
  terms.resize(5);
  EXPECT_EQ(terms[4].variable, -1);
  terms.clear();
  EXPECT_TRUE(terms.empty());

  const std::vector<LinearTerm> source = {{4, 1.5}, {5, 2.5}, {6, 3.5}};
  terms.assign(source.begin(), source.end());
  ASSERT_EQ(terms.size(), 3u);
  EXPECT_EQ(terms.at(2).variable, 6);
  EXPECT_THROW(terms.at(3), std::out_of_range);
}

TEST(TermList, ALargeListTakesItsRoomInOneBlock) {
  // Past 2 MiB the block is sized to whole huge pages: at least what was asked for.
  LinearTerms terms;
  const std::size_t count = (std::size_t{3} << 20) / sizeof(LinearTerm);
  terms.reserve(count);
  EXPECT_GE(terms.capacity(), count);
  terms.resize(count);
  terms.back() = {1, 2.0};
  LinearTerms copy(terms);
  EXPECT_EQ(copy.size(), count);
  EXPECT_EQ(copy.back().variable, 1);
}

TEST(TermList, ARowOfTwoTermsNeedsNoBlockOfItsOwn) {
  // What the record saves: two terms live in the bytes of the block pointer.
  EXPECT_LE(sizeof(LinearTerms), 40u);
  Expression expression;
  expression.linear_terms.push_back({0, 1.0});
  const LinearTerm* inside = expression.linear_terms.data();
  const auto* record = reinterpret_cast<const unsigned char*>(&expression);
  EXPECT_TRUE(reinterpret_cast<const unsigned char*>(inside) >= record &&
              reinterpret_cast<const unsigned char*>(inside) < record + sizeof expression);
}

}  // namespace
}  // namespace velorium
