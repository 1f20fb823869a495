#include "formats/mps/mps_entry_buffer.hpp"
#include "formats/mps/mps_name_index.hpp"
#include "formats/mps/mps_pool_id_map.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velorium {
namespace {

TEST(MpsNameIndexTest, FindsWhatWasInsertedAcrossGrowth) {
  std::vector<std::string> names;
  for (int i = 0; i < 5000; ++i) names.push_back("n" + std::to_string(i));
  MpsNameIndex index;
  EXPECT_EQ(index.find("n0"), MpsNameIndex::kMissing);
  for (int i = 0; i < 5000; ++i) index.insert(names[i], i - 2);
  EXPECT_EQ(index.size(), 5000u);
  for (int i = 0; i < 5000; ++i) ASSERT_EQ(index.find(names[i]), i - 2);
  EXPECT_EQ(index.find("n5000"), MpsNameIndex::kMissing);
  // A prefix or an extension of a stored name is another name.
  EXPECT_EQ(index.find("n1"), -1);
  EXPECT_EQ(index.find(std::string_view("n12", 2)), -1);
  EXPECT_EQ(index.find("n12x"), MpsNameIndex::kMissing);
  EXPECT_EQ(index.find(""), MpsNameIndex::kMissing);
}

TEST(MpsNameIndexTest, LongNamesDifferingBehindTheKeptHead) {
  const std::string a = "a_rather_long_common_prefix_1";
  const std::string b = "a_rather_long_common_prefix_2";
  const std::string c(std::string("x\0y", 3));  // bytes, not C strings
  MpsNameIndex index;
  index.insert(a, 1);
  index.insert(b, 2);
  index.insert(c, 3);
  EXPECT_EQ(index.find(a), 1);
  EXPECT_EQ(index.find(b), 2);
  EXPECT_EQ(index.find(c), 3);
  EXPECT_EQ(index.find("x"), MpsNameIndex::kMissing);
  EXPECT_EQ(index.find("a_rather_long_common_prefix_3"), MpsNameIndex::kMissing);
  EXPECT_EQ(index.find("a_rather_long_common_prefix_"), MpsNameIndex::kMissing);
}

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

TEST(MpsEntryBufferTest, DealsOutEveryEntryInOrderAcrossChunks) {
  // Enough entries for several chunks; columns change in runs of varying length.
  const std::int32_t count = 600000;
  auto columnOf = [](std::int32_t i) { return i / 7 + i / 100000; };
  MpsEntryBuffer buffer;
  for (std::int32_t i = 0; i < count; ++i) buffer.push(i % 977, columnOf(i), i * 0.5);
  EXPECT_EQ(buffer.size(), static_cast<std::size_t>(count));
  std::int32_t next = 0;
  bool in_order = true;
  buffer.drain([&](std::int32_t row, std::int32_t column, double value) {
    in_order = in_order && row == next % 977 && column == columnOf(next) && value == next * 0.5;
    ++next;
  });
  EXPECT_TRUE(in_order);
  EXPECT_EQ(next, count);
  EXPECT_EQ(buffer.size(), 0u);
  // Usable again after draining; an empty buffer deals nothing.
  buffer.drain([&](std::int32_t, std::int32_t, double) { ++next; });
  EXPECT_EQ(next, count);
  buffer.push(1, 2, 3.0);
  buffer.drain([&](std::int32_t row, std::int32_t column, double value) { EXPECT_EQ(row + column + value, 6.0); });
}

}  // namespace
}  // namespace velorium
