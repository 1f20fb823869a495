#include "formats/mps/mps_entry_buffer.hpp"
#include "formats/mps/mps_pool_id_map.hpp"
#include "formats/mps/mps_row_set.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace velorium {
namespace {

TEST(MpsPoolIdMapTest, NewIdsAndOlderIds) {
  MpsPoolIdMap map(1000);
  EXPECT_EQ(map.get(-1), MpsPoolIdMap::kMissing);
  EXPECT_EQ(map.get(5), MpsPoolIdMap::kMissing);
  EXPECT_EQ(map.get(1000), MpsPoolIdMap::kMissing);
  // Ids from the reading's start on, in any order, and ids the pool held before.
  for (int i = 0; i < 3000; ++i) map.set(1000 + (i * 7) % 3000, i);
  for (int i = 0; i < 900; ++i) map.set(i, -i - 2);
  for (int i = 0; i < 3000; ++i) ASSERT_EQ(map.get(1000 + (i * 7) % 3000), i);
  for (int i = 0; i < 900; ++i) ASSERT_EQ(map.get(i), -i - 2);
  EXPECT_EQ(map.get(950), MpsPoolIdMap::kMissing);
  EXPECT_EQ(map.get(4000), MpsPoolIdMap::kMissing);
  map.set(3, 42);  // setting again replaces
  EXPECT_EQ(map.get(3), 42);
}

TEST(MpsEntryBufferTest, DealsOutEveryEntryBlockByBlockInPushOrder) {
  // Enough entries for many chunks per block; rows spread over many blocks, one of them
  // beyond the rows expected.
  const std::int32_t count = 300000;
  const std::int32_t rows = 5000;
  auto rowOf = [&](std::int32_t i) {
    return i == 17 ? 70000 : static_cast<std::int32_t>((static_cast<std::int64_t>(i) * 7919) % rows);
  };
  MpsEntryBuffer buffer;
  buffer.expectRows(rows);
  for (std::int32_t i = 0; i < count; ++i) buffer.push(rowOf(i), i / 3, i * 0.5);
  EXPECT_EQ(buffer.size(), static_cast<std::size_t>(count));
  std::vector<std::vector<std::int32_t>> dealt(70001);
  std::vector<std::uint32_t> announced(70001, 0);
  std::int32_t previous_first = -1;
  bool blocks_rise = true;
  bool values_match = true;
  buffer.drain(
      [&](std::int32_t first_row, const std::vector<std::uint32_t>& counts) {
        blocks_rise = blocks_rise && first_row > previous_first;
        previous_first = first_row;
        for (std::size_t k = 0; k < counts.size() && first_row + k < announced.size(); ++k) announced[first_row + k] = counts[k];
      },
      [&](std::int32_t row, std::int32_t column, double value) {
        const std::int32_t i = static_cast<std::int32_t>(value * 2);
        values_match = values_match && rowOf(i) == row && column == i / 3;
        dealt[row].push_back(i);
      });
  EXPECT_TRUE(blocks_rise);
  EXPECT_TRUE(values_match);
  EXPECT_EQ(buffer.size(), 0u);
  std::size_t total = 0;
  for (std::size_t row = 0; row < dealt.size(); ++row) {
    ASSERT_EQ(dealt[row].size(), announced[row]) << row;
    ASSERT_TRUE(std::is_sorted(dealt[row].begin(), dealt[row].end())) << row;  // each row in push order
    total += dealt[row].size();
  }
  EXPECT_EQ(total, static_cast<std::size_t>(count));
  EXPECT_EQ(dealt[70000], std::vector<std::int32_t>{17});
}

TEST(MpsRowSetTest, FindsRepeatsWithinOneColumnOnly) {
  MpsRowSet rows;
  for (int column = 0; column < 50; ++column) {
    rows.clear();
    // Columns of growing size, rows far apart, the objective row -2 among them.
    for (std::int32_t k = 0; k < column * 40; ++k) ASSERT_TRUE(rows.insert(k * 1000 + column)) << column << " " << k;
    EXPECT_TRUE(rows.insert(-2));
    EXPECT_FALSE(rows.insert(-2));
    for (std::int32_t k = 0; k < column * 40; ++k) ASSERT_FALSE(rows.insert(k * 1000 + column)) << column << " " << k;
  }
  rows.clear();
  EXPECT_TRUE(rows.insert(0));
}

}  // namespace
}  // namespace velorium
