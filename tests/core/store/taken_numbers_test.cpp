#include "core/store/taken_numbers.hpp"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace velorium::cpp_impl {
namespace {

std::uint64_t first_free(const std::set<std::uint32_t>& marked, std::uint64_t start) {
  while (marked.count(static_cast<std::uint32_t>(start))) ++start;
  return start;
}

TEST(TakenNumbers, FindsTheFirstUnmarkedNumberAcrossFullWordsAndLevels) {
  TakenNumbers taken(100000);
  for (std::uint32_t k = 100000; k < 400000; ++k) taken.mark(k);  // many full words: summaries in use
  EXPECT_EQ(taken.first_unmarked_from(100000), 400000u);
  EXPECT_EQ(taken.first_unmarked_from(123456), 400000u);
  taken.unmark(250000);
  EXPECT_EQ(taken.first_unmarked_from(100000), 250000u);
  EXPECT_EQ(taken.first_unmarked_from(250001), 400000u);
  EXPECT_EQ(taken.first_unmarked_from(5), 5u) << "below the first start nothing is marked";
  taken.mark(5);
  EXPECT_TRUE(taken.is_marked(5));
  EXPECT_TRUE(taken.is_marked(300000)) << "marks survive moving the origin down";
  EXPECT_EQ(taken.first_unmarked_from(5), 6u);
  EXPECT_EQ(taken.first_unmarked_from(260000), 400000u);
}

TEST(TakenNumbers, AgreesWithASetUnderRandomChanges) {
  std::mt19937 random(3);
  TakenNumbers taken(50000);
  std::set<std::uint32_t> reference;
  for (int step = 0; step < 300000; ++step) {
    const auto number = static_cast<std::uint32_t>(random() % 70000);
    switch (random() % 4) {
      case 0:
      case 1:
        taken.mark(number);
        reference.insert(number);
        break;
      case 2:
        taken.unmark(number);
        reference.erase(number);
        break;
      default:
        ASSERT_EQ(taken.first_unmarked_from(number), first_free(reference, number)) << "step " << step;
    }
  }
}

}  // namespace
}  // namespace velorium::cpp_impl
