#include "formats/common/name_index.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velorium {
namespace {

TEST(NameIndexTest, FindsWhatWasInsertedAcrossGrowth) {
  std::vector<std::string> names;
  for (int i = 0; i < 5000; ++i) names.push_back("n" + std::to_string(i));
  NameIndex index;
  EXPECT_EQ(index.find("n0"), NameIndex::kMissing);
  for (int i = 0; i < 5000; ++i) index.insert(names[i], i - 2);
  EXPECT_EQ(index.size(), 5000u);
  for (int i = 0; i < 5000; ++i) ASSERT_EQ(index.find(names[i]), i - 2);
  EXPECT_EQ(index.find("n5000"), NameIndex::kMissing);
  // A prefix or an extension of a stored name is another name.
  EXPECT_EQ(index.find("n1"), -1);
  EXPECT_EQ(index.find(std::string_view("n12", 2)), -1);
  EXPECT_EQ(index.find("n12x"), NameIndex::kMissing);
  EXPECT_EQ(index.find(""), NameIndex::kMissing);
}

TEST(NameIndexTest, LongNamesDifferingBehindTheKeptHead) {
  const std::string a = "a_rather_long_common_prefix_1";
  const std::string b = "a_rather_long_common_prefix_2";
  const std::string c(std::string("x\0y", 3));  // bytes, not C strings
  NameIndex index;
  index.insert(a, 1);
  index.insert(b, 2);
  index.insert(c, 3);
  EXPECT_EQ(index.find(a), 1);
  EXPECT_EQ(index.find(b), 2);
  EXPECT_EQ(index.find(c), 3);
  EXPECT_EQ(index.find("x"), NameIndex::kMissing);
  EXPECT_EQ(index.find("a_rather_long_common_prefix_3"), NameIndex::kMissing);
  EXPECT_EQ(index.find("a_rather_long_common_prefix_"), NameIndex::kMissing);
}

TEST(NameIndexTest, NamesOfEveryLengthAroundTheWordEdges) {
  // Names of one byte repeated, and the same with the last byte, the one before it or the first
  // past the head changed: lengths 1 to 40 cross the 8-byte words and the 16-byte head the index
  // keeps, and the bytes past the head are compared in overlapping words.
  std::vector<std::string> names;
  for (std::size_t length = 1; length <= 40; ++length) {
    names.emplace_back(length, 'a');
    names.push_back(std::string(length - 1, 'a') + 'b');
    if (length >= 3) {
      names.emplace_back(length, 'a');
      names.back()[length - 2] = 'c';
    }
    if (length >= 18) {
      names.emplace_back(length, 'a');
      names.back()[16] = 'd';  // the first byte past the head
    }
  }
  NameIndex index;
  for (std::size_t i = 0; i < names.size(); ++i) index.insert(names[i], static_cast<std::int32_t>(i));
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(index.find(names[i]), static_cast<std::int32_t>(i)) << names[i];
  }
  EXPECT_EQ(index.find(std::string(41, 'a')), NameIndex::kMissing);
  EXPECT_EQ(index.find(std::string(17, 'a') + std::string(1, '\0')), NameIndex::kMissing);
}

// A field of a line is keyed from whole words read past its end; the key must be the one
// the index made from the stored name, whatever bytes follow the field.
TEST(NameIndexTest, KeysOfFieldsInALineMatchKeysOfStoredNames) {
  NameIndex index;
  std::vector<std::string> names;
  for (std::size_t length = 1; length <= 40; ++length) {
    std::string name;
    for (std::size_t i = 0; i < length; ++i) name += static_cast<char>('A' + (i * 7 + length) % 50);
    names.push_back(name);
  }
  for (std::size_t i = 0; i < names.size(); ++i) index.insert(names[i], static_cast<std::int32_t>(i));
  for (std::size_t i = 0; i < names.size(); ++i) {
    for (char filler : {'\0', ' ', 'z', '\xff'}) {
      const std::string line = names[i] + std::string(64, filler);
      const std::string_view field(line.data(), names[i].size());
      const NameIndex::Key readable = NameIndex::keyOfReadable(field);
      const NameIndex::Key plain = NameIndex::keyOf(names[i]);
      EXPECT_EQ(readable.hash, plain.hash) << names[i];
      EXPECT_EQ(readable.head[0], plain.head[0]) << names[i];
      EXPECT_EQ(readable.head[1], plain.head[1]) << names[i];
      EXPECT_EQ(index.find(field, readable), static_cast<std::int32_t>(i)) << names[i];
    }
  }
}

// The look-up in two steps gives what the plain one gives, also for long names that share
// their length and their first bytes (the slot cannot tell them apart; the text must), mixed
// with short ones across the table's growth.
TEST(NameIndexTest, LookUpInTwoStepsAgreesWithThePlainOne) {
  std::vector<std::string> names;
  for (int i = 0; i < 3000; ++i) {
    names.push_back(i % 3 == 0 ? "s" + std::to_string(i) : "constraint_block_" + std::to_string(100000 + i));
  }
  NameIndex index;
  for (std::size_t i = 0; i < names.size(); ++i) index.insert(names[i], static_cast<std::int32_t>(i));
  std::vector<std::string> probes = names;
  probes.push_back("constraint_block_199999");  // a long name that is missing, its head present
  probes.push_back("s99999");
  for (const std::string& name : probes) {
    const NameIndex::Key key = NameIndex::keyOf(name);
    std::size_t slot = 0;
    std::int32_t found = index.findByHead(name, key, slot);
    if (found == NameIndex::kCompareRest) {
      EXPECT_GT(name.size(), 16u) << name;
      found = index.findFrom(name, key, slot);
    }
    EXPECT_EQ(found, index.find(name)) << name;
  }
  EXPECT_EQ(index.find("constraint_block_100001"), 1);
  EXPECT_EQ(index.find("constraint_block_199999"), NameIndex::kMissing);
}

}  // namespace
}  // namespace velorium
