#include "core/names/name_index_map.hpp"

#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

namespace velorium {
namespace {

TEST(NameIndexMap, AssignsFindsAndErases) {
  NameIndexMap map;
  EXPECT_EQ(map.find("a"), nullptr);
  EXPECT_EQ(erase_name(map, "a"), 0);
  map.assign("a", 3);
  map.assign("", 4);
  ASSERT_NE(map.find("a"), nullptr);
  EXPECT_EQ(*map.find("a"), 3);
  EXPECT_EQ(*map.find(""), 4);
  map.assign("a", 9);
  EXPECT_EQ(*map.find("a"), 9) << "assign overwrites";
  EXPECT_EQ(map.size(), 2u);
  EXPECT_EQ(erase_name(map, "a"), 1);
  EXPECT_EQ(map.find("a"), nullptr);
  EXPECT_EQ(erase_name(map, "a"), 0);
  map.clear();
  EXPECT_EQ(map.size(), 0u);
  EXPECT_EQ(map.find(""), nullptr);
}

TEST(NameIndexMap, ErasesOnlyWhileTheNameMapsToTheGivenValue) {
  NameIndexMap map;
  map.assign("dup", 7);
  EXPECT_FALSE(map.erase_if_maps_to("dup", 2));
  EXPECT_EQ(*map.find("dup"), 7);
  EXPECT_TRUE(map.erase_if_maps_to("dup", 7));
  EXPECT_EQ(map.find("dup"), nullptr);
  EXPECT_FALSE(map.erase_if_maps_to("dup", 7));
}

// The first bytes of a name are kept in the map's slot and compared there; names must still
// be told apart by every byte, wherever they differ and however long they are.
TEST(NameIndexMap, TellsApartNamesThatDifferInAnyByte) {
  const std::string long_base = "a_rather_long_common_head_of_names";
  const std::vector<std::string> names = {
      "", "a", "b", "ab", "ba", "abc", "abd", "xbc",                   // shorter than a word
      "abcd", "abce", "xbcd", "abcdefg", "abcdefh", "xbcdefg",         // four to seven bytes
      "abcdefgh", "abcdefgi", "xbcdefgh", "abcdefghijkl", "abcdefghijkm",  // eight to twelve
      "abcdefghijkx", "abcdefghijklm", "abcdefghijkln", "abcdefghijkxm",   // just past twelve
      long_base, long_base + "1", long_base + "2", "x" + long_base.substr(1),
      std::string("nul\0a", 5), std::string("nul\0b", 5), std::string("\0\0\0\0\0\0\0\0\0", 9),
      std::string("\0\0\0\0\0\0\0\0\0\0\0\0\0", 13)};
  NameIndexMap map;
  for (std::size_t i = 0; i < names.size(); ++i) map.assign(names[i], static_cast<std::int32_t>(i));
  EXPECT_EQ(map.size(), names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::int32_t* found = map.find(names[i]);
    ASSERT_NE(found, nullptr) << i;
    EXPECT_EQ(*found, static_cast<std::int32_t>(i)) << i;
  }
  // Names absent from the map, each one byte or one length away from a present one.
  for (const std::string absent : {"c", "abcdefghijk", "abcdefghijklmn", "abcdefghijklx", "abcdefgj",
                                   "a_rather_long_common_head_of_names3", "a_rather_long_common_head_of_nameZ"}) {
    EXPECT_EQ(map.find(absent), nullptr) << absent;
  }
  EXPECT_EQ(map.find(std::string_view("nul\0c", 5)), nullptr);
  EXPECT_EQ(map.find(std::string(12, '\0')), nullptr);
  EXPECT_EQ(map.find(std::string_view()), map.find("")) << "a null view is the empty name";
}

// Random insertions, overwrites and removals, checked against a standard map: removal must
// keep every other key reachable (the probe runs are repaired, not tombstoned).
TEST(NameIndexMap, AgreesWithAStandardMapUnderRandomChanges) {
  std::deque<std::string> texts;  // keys must outlive the map's views
  for (int i = 0; i < 3000; ++i) texts.push_back("k" + std::to_string(i));
  NameIndexMap map;
  std::unordered_map<std::string, int> reference;
  std::mt19937 random(42);
  for (int step = 0; step < 200000; ++step) {
    const std::string& key = texts[random() % texts.size()];
    if (random() % 3 == 0) {
      EXPECT_EQ(map.erase(key), reference.erase(key) == 1);
    } else {
      const int value = static_cast<int>(random() % 1000);
      map.assign(key, value);
      reference[key] = value;
    }
  }
  EXPECT_EQ(map.size(), reference.size());
  for (const std::string& key : texts) {
    auto it = reference.find(key);
    const std::int32_t* found = map.find(key);
    if (it == reference.end()) {
      EXPECT_EQ(found, nullptr) << key;
    } else {
      ASSERT_NE(found, nullptr) << key;
      EXPECT_EQ(*found, it->second) << key;
    }
  }
}

}  // namespace
}  // namespace velorium
