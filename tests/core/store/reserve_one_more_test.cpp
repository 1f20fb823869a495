#include "core/store/reserve_one_more.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace velorium::cpp_impl {
namespace {

// Growth past a few MiB takes the path that moves the elements into a buffer advised for huge
// pages; small and large buffers must both keep every element, in order, and grow geometrically.
TEST(ReserveOneMore, KeepsTheElementsThroughSmallAndLargeGrowth) {
  std::vector<std::int32_t> numbers;
  std::size_t reallocations = 0;
  for (std::int32_t i = 0; i < 3'000'000; ++i) {
    const std::size_t capacity = numbers.capacity();
    reserve_one_more(numbers);
    if (numbers.capacity() != capacity) ++reallocations;
    ASSERT_GT(numbers.capacity(), numbers.size());
    numbers.push_back(i);
  }
  EXPECT_LE(reallocations, 24u);
  for (std::int32_t i = 0; i < 3'000'000; ++i) ASSERT_EQ(numbers[static_cast<std::size_t>(i)], i);
}

TEST(ReserveOneMore, ReserveMoreMovesElementsThatOwnMemory) {
  std::vector<std::unique_ptr<int>> owned;
  for (int i = 0; i < 10; ++i) owned.push_back(std::make_unique<int>(i));
  reserve_more(owned, 1'000'000);  // 8 MB of pointers: the large path
  EXPECT_GE(owned.capacity(), 1'000'010u);
  ASSERT_EQ(owned.size(), 10u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(*owned[static_cast<std::size_t>(i)], i);
}

// A large buffer is sized to fill whole 2 MiB pages, the allocator's header counted, so that
// the system can place it on a 2 MiB boundary: never below what was asked for, and no whole
// page more than it needs.
TEST(ReserveOneMore, LargeCapacitiesFillWholeHugePages) {
  constexpr std::size_t kPage = std::size_t{2} << 20;
  constexpr std::size_t kHeaderRoom = 32;
  const struct {
    std::size_t capacity, element_bytes;
  } cases[] = {{1, 4},          {kPage / 4, 4},          {(kPage - kHeaderRoom) / 16, 16}, {(kPage - kHeaderRoom) / 16 + 1, 16},
               {1'000'001, 24}, {3 * kPage / 48 + 7, 48}};
  for (const auto& c : cases) {
    const std::size_t capacity = huge_page_capacity(c.capacity, c.element_bytes);
    const std::size_t pages = (c.capacity * c.element_bytes + kHeaderRoom + kPage - 1) / kPage;
    EXPECT_GE(capacity, c.capacity) << c.capacity << " x " << c.element_bytes;
    EXPECT_LE(capacity * c.element_bytes + kHeaderRoom, pages * kPage) << c.capacity << " x " << c.element_bytes;
    EXPECT_GT((capacity + 1) * c.element_bytes + kHeaderRoom, pages * kPage) << c.capacity << " x " << c.element_bytes;
  }
}

}  // namespace
}  // namespace velorium::cpp_impl
