#include "formats/namemap/name_map_file.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/namemap/generated_names.hpp"
#include "support/scratch_dir.hpp"

namespace velorium {
namespace {

TEST(GeneratedNames, IndexedNamesAndTheVariableTest) {
  EXPECT_EQ(formatIndexedName("x", 0), "x0");
  EXPECT_EQ(formatIndexedName("c", 12), "c12");
  EXPECT_EQ(formatIndexedName("x", 4294967296u), "x4294967296");
  for (const char* name : {"x0", "x12"}) EXPECT_TRUE(isGeneratedVariableName(name)) << name;
  for (const char* name : {"x", "c0", "objective", "x1a", "xx1", "X1", ""}) {
    EXPECT_FALSE(isGeneratedVariableName(name)) << name;
  }
}

TEST(NameMapFile, ReadingLinesInBothDirections) {
  struct Case {
    const char* title;
    std::string text;
    NameMap model_to_generated;
    NameMap generated_to_model;
  };
  const std::vector<Case> cases = {
      {"one line", "a x0\n", {{"a", "x0"}}, {{"x0", "a"}}},
      {"no blank maps to itself", "abc\n", {{"abc", "abc"}}, {{"abc", "abc"}}},
      {"empty line maps the empty text", "\n", {{"", ""}}, {{"", ""}}},
      {"later line of a name replaces", "a x0\na x5\n", {{"a", "x5"}}, {{"x0", "a"}, {"x5", "a"}}},
      {"model name with blanks: cut at the last blank", "my var x0\nrow  one c0\n",
       {{"my var", "x0"}, {"row  one", "c0"}}, {{"x0", "my var"}, {"c0", "row  one"}}},
      {"CR LF and a last line without line end", "a x0\r\nb x1", {{"a", "x0"}, {"b", "x1"}}, {{"x0", "a"}, {"x1", "b"}}},
      {"variable and row sharing a name", "s x0\ns c0\n", {{"s", "x0"}}, {{"x0", "s"}, {"c0", "s"}}},
      {"the variable wins whatever the order", "s objective\ns c0\ns x3\ns c1\n", {{"s", "x3"}},
       {{"objective", "s"}, {"c0", "s"}, {"x3", "s"}, {"c1", "s"}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(readNameMapText(c.text, kNameMapModelToGenerated), c.model_to_generated) << c.title;
    EXPECT_EQ(readNameMapText(c.text, kNameMapGeneratedToModel), c.generated_to_model) << c.title;
    EXPECT_EQ(readNameMapText(c.text, 7), c.generated_to_model) << c.title << " (any other direction)";
  }
}

TEST(NameMapFile, WritesOneLinePerEntryInOrder) {
  const NameMapEntries entries = {{"cost", "objective"}, {"a", "x0"}, {"my b", "x1"}, {"a", "c0"}};
  const std::string expected = "cost objective\na x0\nmy b x1\na c0\n";
  EXPECT_EQ(writeNameMapText(entries), expected);

  test::ScratchDir dir;
  const std::string path = dir.write("map.txt", "stale line that must vanish\n");
  ASSERT_TRUE(writeNameMap(path, entries));
  EXPECT_EQ(test::readFileBytes(path), expected);
}

TEST(NameMapFile, RoundTripsInBothDirections) {
  // A variable and a row sharing a name, blanks inside names, a name shared with the
  // objective, and non-ASCII text.
  const NameMapEntries entries = {{"shared", "objective"}, {"shared", "x0"}, {"a b  c", "x1"}, {"вес", "x2"},
                                  {"shared", "c0"},        {"a b  c", "c1"}, {"r", "c2"}};
  test::ScratchDir dir;
  const std::string path = dir.file("map.txt");
  ASSERT_TRUE(writeNameMap(path, entries));
  for (const NameMap& back : {readNameMap(path, kNameMapGeneratedToModel),
                              readNameMapText(writeNameMapText(entries).value(), kNameMapGeneratedToModel)}) {
    ASSERT_EQ(back.size(), entries.size());
    for (const NameMapEntry& entry : entries) EXPECT_EQ(back.at(entry.generated_name), entry.model_name);
  }
  const NameMap expected_forward = {{"shared", "x0"}, {"a b  c", "x1"}, {"вес", "x2"}, {"r", "c2"}};
  EXPECT_EQ(readNameMap(path, kNameMapModelToGenerated), expected_forward);
  EXPECT_EQ(readNameMapText(writeNameMapText(entries).value(), kNameMapModelToGenerated), expected_forward);
}

TEST(NameMapFile, NothingToWriteCreatesNoFile) {
  test::ScratchDir dir;
  const std::string path = dir.file("map.txt");
  EXPECT_TRUE(writeNameMap(path, {}));
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_TRUE(writeNameMap("", {{"a", "x0"}}));

  const std::string kept = dir.write("kept.txt", "a x0\n");
  EXPECT_TRUE(writeNameMap(kept, {}));
  EXPECT_EQ(test::readFileBytes(kept), "a x0\n");
}

TEST(NameMapFile, AMapThatCannotBeWrittenIsReported) {
  test::ScratchDir dir;
  const NameMapEntries entries = {{"a", "x0"}};
  EXPECT_FALSE(writeNameMap(dir.file("no/such/folder/map.txt"), entries));
  EXPECT_FALSE(std::filesystem::exists(dir.file("no/such/folder/map.txt")));
  EXPECT_FALSE(writeNameMap(dir.path().string(), entries));
  EXPECT_FALSE(writeNameMap("/dev/full", entries));
}

TEST(NameMapFile, ANameWithALineFeedIsRefusedBeforeWriting) {
  // Written as is, "a\nx5" would map x0 to "x5" and "a" to itself.
  test::ScratchDir dir;
  const std::string path = dir.file("map.txt");
  const NameMapEntries entries = {{"b", "x1"}, {"a\nx5", "x0"}};
  EXPECT_FALSE(writeNameMap(path, entries));
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_FALSE(writeNameMapText(entries).has_value());
  // A carriage return inside a name is no line end and stays.
  EXPECT_EQ(readNameMapText(writeNameMapText({{"a\rb", "x0"}}).value(), kNameMapGeneratedToModel),
            (NameMap{{"x0", "a\rb"}}));
}

TEST(NameMapFile, AMapThatCannotBeReadIsEmpty) {
  test::ScratchDir dir;
  for (const std::string& path : {dir.file("missing.txt"), dir.path().string(), std::string("/proc/self/mem")}) {
    EXPECT_TRUE(readNameMap(path, kNameMapModelToGenerated).empty()) << path;
    EXPECT_TRUE(readNameMap(path, kNameMapGeneratedToModel).empty()) << path;
  }
}

}  // namespace
}  // namespace velorium
