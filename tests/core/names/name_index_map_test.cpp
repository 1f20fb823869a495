#include "core/names/name_index_map.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <unordered_map>
#include <vector>

namespace velorium {
namespace {

// Every id of `ids` is found in `map` with its number in `reference`, or not at all.
void expect_same_entries(const NameIndexMap& map, const std::unordered_map<std::uint32_t, std::int32_t>& reference,
                         const std::vector<std::uint32_t>& ids) {
  EXPECT_EQ(map.size(), reference.size());
  for (const std::uint32_t id : ids) {
    const auto it = reference.find(id);
    const std::int32_t* found = map.find(id);
    if (it == reference.end()) {
      EXPECT_EQ(found, nullptr) << id;
    } else {
      ASSERT_NE(found, nullptr) << id;
      EXPECT_EQ(*found, it->second) << id;
    }
  }
}

TEST(NameIndexMap, AssignsFindsAndErases) {
  NameIndexMap map;
  EXPECT_EQ(map.find(0), nullptr);
  EXPECT_EQ(erase_name(map, 0), 0);
  map.assign(5, 3);
  map.assign(0, 4);
  ASSERT_NE(map.find(5), nullptr);
  EXPECT_EQ(*map.find(5), 3);
  EXPECT_EQ(*map.find(0), 4);
  EXPECT_EQ(map.find(1), nullptr);
  map.assign(5, 9);
  EXPECT_EQ(*map.find(5), 9) << "assign overwrites";
  EXPECT_EQ(map.size(), 2u);
  EXPECT_EQ(erase_name(map, 5), 1);
  EXPECT_EQ(map.find(5), nullptr);
  EXPECT_EQ(erase_name(map, 5), 0);
  map.assign(0x7FFFFFFE, 1);
  EXPECT_EQ(*map.find(0x7FFFFFFE), 1) << "the largest id the pool hands out";
  map.clear();
  EXPECT_EQ(map.size(), 0u);
  EXPECT_EQ(map.find(0), nullptr);
}

TEST(NameIndexMap, ErasesOnlyWhileTheIdMapsToTheGivenValue) {
  NameIndexMap map;
  map.assign(17, 7);
  EXPECT_FALSE(map.erase_if_maps_to(17, 2));
  EXPECT_EQ(*map.find(17), 7);
  EXPECT_TRUE(map.erase_if_maps_to(17, 7));
  EXPECT_EQ(map.find(17), nullptr);
  EXPECT_FALSE(map.erase_if_maps_to(17, 7));
}

// Ids come in runs (a model's names interned one after another), which share blocks of
// slots, in strides (names of several kinds interned in turns: every eighth id alone has the
// same rest of 8) and scattered (names pooled earlier by other models); they must stay apart,
// through growth and removals.
TEST(NameIndexMap, KeepsRunsAndScatteredIdsApartThroughGrowthAndRemovals) {
  std::vector<std::uint32_t> ids;
  for (std::uint32_t id = 0; id < 5000; ++id) ids.push_back(id);            // one long run
  for (std::uint32_t id = 1u << 20; id < (1u << 20) + 3000; ++id) ids.push_back(id);  // a run of the same low bits
  for (std::uint32_t id = 1u << 22; id < (1u << 22) + 8 * 3000; id += 8) ids.push_back(id);  // every eighth id
  std::mt19937 random(7);
  for (int i = 0; i < 3000; ++i) ids.push_back(static_cast<std::uint32_t>(random() % 0x7FFFFFFFu) | (1u << 21));
  NameIndexMap map;
  std::unordered_map<std::uint32_t, std::int32_t> reference;
  for (std::size_t i = 0; i < ids.size(); ++i) {
    map.assign(ids[i], static_cast<std::int32_t>(i));
    reference[ids[i]] = static_cast<std::int32_t>(i);
  }
  for (std::size_t i = 0; i < ids.size(); i += 3) {
    EXPECT_EQ(map.erase(ids[i]), reference.erase(ids[i]) == 1);
  }
  expect_same_entries(map, reference, ids);
  EXPECT_EQ(map.find(5000), nullptr);
  EXPECT_EQ(map.find((1u << 20) + 3000), nullptr);
}

// Ids that follow each other are held in a run, the others hashed; an id must be in one part
// only, whichever part took it first: a run never stretches over hashed ids, nor below its
// start, nor when it would be less than a quarter full.
TEST(NameIndexMap, RunAndHashedPartsHoldEachIdOnce) {
  std::vector<std::uint32_t> order = {10, 30, 9, 5};  // 10 starts the run; 30 too far, 9 and 5 below it
  for (std::uint32_t id = 11; id <= 45; ++id) order.push_back(id);  // up to 29 the run, then past a hashed id
  for (std::uint32_t id = 1000; id > 990; --id) order.push_back(id);  // descending
  NameIndexMap map;
  std::unordered_map<std::uint32_t, std::int32_t> reference;
  for (std::size_t i = 0; i < order.size(); ++i) {
    map.assign(order[i], static_cast<std::int32_t>(i));
    reference[order[i]] = static_cast<std::int32_t>(i);
  }
  std::vector<std::uint32_t> every_id(1100);
  for (std::uint32_t id = 0; id < 1100; ++id) every_id[id] = id;
  expect_same_entries(map, reference, every_id);
  for (const std::uint32_t id : {10u, 30u, 20u, 45u, 995u}) {  // both parts, then the same ids again
    EXPECT_TRUE(map.erase(id));
    reference.erase(id);
  }
  expect_same_entries(map, reference, every_id);
  for (const std::uint32_t id : {10u, 30u, 20u, 45u, 995u, 46u, 2u}) {
    map.assign(id, 7);
    reference[id] = 7;
    map.assign(id, 8);  // an overwrite stays in the part that took the id
    reference[id] = 8;
  }
  expect_same_entries(map, reference, every_id);
  map.reserve(map.size() + 3);
  map.assign(5000, 1);
  map.assign(6000, 2);
  EXPECT_EQ(*map.find(6000), 2);
}

// Random insertions, overwrites and removals, checked against a standard map: removal must
// keep every other key reachable (the probe runs are repaired, not tombstoned).
TEST(NameIndexMap, AgreesWithAStandardMapUnderRandomChanges) {
  NameIndexMap map;
  std::unordered_map<std::uint32_t, std::int32_t> reference;
  std::mt19937 random(42);
  for (int step = 0; step < 200000; ++step) {
    // Ids from a few runs, so that neighbourhoods fill and empty again.
    const std::uint32_t id = static_cast<std::uint32_t>(random() % 3000) + (random() % 2 == 0 ? 0u : 40000u);
    if (random() % 3 == 0) {
      EXPECT_EQ(map.erase(id), reference.erase(id) == 1);
    } else {
      const auto value = static_cast<std::int32_t>(random() % 1000);
      map.assign(id, value);
      reference[id] = value;
    }
  }
  std::vector<std::uint32_t> every_id(43000);
  for (std::uint32_t id = 0; id < 43000; ++id) every_id[id] = id;
  expect_same_entries(map, reference, every_id);
}

}  // namespace
}  // namespace velorium
