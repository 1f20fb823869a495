#include "formats/namemap/renamed_model.hpp"

#include <gtest/gtest.h>

#include <string>

#include "core/names/names_holder.hpp"
#include "support/scratch_dir.hpp"

namespace velorium {
namespace {

// A small model on a pool of its own: variables and rows named as given (nullptr: no name).
class RenamedModelTest : public ::testing::Test {
 protected:
  std::int32_t id(const char* name) {
    return name == nullptr ? -1 : static_cast<std::int32_t>(pool.find_or_add_name(name));
  }
  std::string text(std::int32_t name_id) { return std::string(pool.name_view(name_id)); }

  Model makeModel(const char* objective, std::initializer_list<const char*> variables,
                  std::initializer_list<const char*> rows) {
    Model model;
    model.objective.name_id = id(objective);
    for (const char* name : variables) model.variables.push_back(Variable{0, 0.0, 1.0, id(name)});
    for (const char* name : rows) {
      Constraint row(-1.0, 1.0);
      row.expression.name_id = id(name);
      row.expression.linear_terms.push_back({0, 2.0});
      model.rows.push_back(row);
    }
    return model;
  }

  VeloriumNamesHolder pool;
  test::ScratchDir dir;
};

TEST_F(RenamedModelTest, CopyCarriesGeneratedNamesAndTheMapFileListsThem) {
  Model source = makeModel("cost", {"a", "b"}, {"r1"});
  GeneralConstraintRecord general;
  general.name = "g1";
  source.general_constraints.push_back(general);
  const std::string path = dir.file("map.txt");

  RenamedModel renamed(&source, &pool, path);
  ASSERT_TRUE(renamed.nameMapWritten());
  const Model& copy = *renamed.model();
  EXPECT_EQ(text(copy.objective.name_id), "objective");
  EXPECT_EQ(text(copy.variables[0].name_id), "x0");
  EXPECT_EQ(text(copy.variables[1].name_id), "x1");
  EXPECT_EQ(text(copy.rows[0].expression.name_id), "c0");
  EXPECT_EQ(copy.general_constraints[0].name, "g1");
  EXPECT_EQ(copy.rows[0].expression.linear_terms.size(), 1u);
  EXPECT_EQ(test::readFileBytes(path), "cost objective\na x0\nb x1\nr1 c0\n");

  // The source keeps its own names.
  EXPECT_EQ(text(source.objective.name_id), "cost");
  EXPECT_EQ(text(source.variables[1].name_id), "b");
  EXPECT_EQ(text(source.rows[0].expression.name_id), "r1");
}

TEST_F(RenamedModelTest, UnnamedMembersAreRenamedWithoutALine) {
  const Model source = makeModel(nullptr, {"a", nullptr}, {nullptr});
  const std::string path = dir.file("map.txt");
  RenamedModel renamed(&source, &pool, path);
  EXPECT_EQ(text(renamed.model()->objective.name_id), "objective");
  EXPECT_EQ(text(renamed.model()->variables[1].name_id), "x1");
  EXPECT_EQ(text(renamed.model()->rows[0].expression.name_id), "c0");
  EXPECT_EQ(test::readFileBytes(path), "a x0\n");
}

TEST_F(RenamedModelTest, NothingToMapWritesNoFile) {
  const Model source = makeModel(nullptr, {}, {});
  const std::string path = dir.file("map.txt");
  RenamedModel renamed(&source, &pool, path);
  EXPECT_TRUE(renamed.nameMapWritten());
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(text(renamed.model()->objective.name_id), "objective");
}

TEST_F(RenamedModelTest, SharedNamesAndBlanksMapBackExactly) {
  const Model source = makeModel("same", {"same", "with  blanks", "v"}, {"same", "with  blanks"});
  const std::string path = dir.file("map.txt");
  RenamedModel renamed(&source, &pool, path);
  ASSERT_TRUE(renamed.nameMapWritten());

  const NameMap back = readNameMap(path, kNameMapGeneratedToModel);
  EXPECT_EQ(back, (NameMap{{"objective", "same"},
                           {"x0", "same"},
                           {"x1", "with  blanks"},
                           {"x2", "v"},
                           {"c0", "same"},
                           {"c1", "with  blanks"}}));
  // Start values are keyed by variable names: the variable's line wins over the row's.
  EXPECT_EQ(readNameMap(path, kNameMapModelToGenerated),
            (NameMap{{"same", "x0"}, {"with  blanks", "x1"}, {"v", "x2"}}));
}

TEST_F(RenamedModelTest, AMapThatCannotBeWrittenIsReported) {
  const Model source = makeModel("cost", {"a"}, {});
  RenamedModel renamed(&source, &pool, dir.file("no/such/folder/map.txt"));
  EXPECT_FALSE(renamed.nameMapWritten());
  ASSERT_NE(renamed.model(), nullptr);

  RenamedModel without_pool(&source, nullptr, dir.file("map.txt"));
  EXPECT_FALSE(without_pool.nameMapWritten());

  const Model with_line_feed = makeModel(nullptr, {"a\nb"}, {});
  RenamedModel refused(&with_line_feed, &pool, dir.file("map.txt"));
  EXPECT_FALSE(refused.nameMapWritten());
  EXPECT_FALSE(std::filesystem::exists(dir.file("map.txt")));
}

TEST_F(RenamedModelTest, NoSourceGivesNoCopy) {
  RenamedModel renamed(nullptr, &pool, dir.file("map.txt"));
  EXPECT_EQ(renamed.model(), nullptr);
  EXPECT_TRUE(renamed.nameMapWritten());
  EXPECT_FALSE(std::filesystem::exists(dir.file("map.txt")));
}

TEST_F(RenamedModelTest, WritingAgainFindsTheGeneratedNamesInThePool) {
  const Model source = makeModel("cost", {"a", "b"}, {"r"});
  RenamedModel first(&source, &pool, dir.file("one.txt"));
  const std::uint32_t size = pool.size();
  RenamedModel second(&source, &pool, dir.file("two.txt"));
  EXPECT_EQ(pool.size(), size);
  EXPECT_EQ(second.model()->variables[1].name_id, first.model()->variables[1].name_id);
  EXPECT_EQ(test::readFileBytes(dir.file("one.txt")), test::readFileBytes(dir.file("two.txt")));
}

TEST_F(RenamedModelTest, BuildNameMapInMemory) {
  Model model = makeModel(nullptr, {"p q"}, {"r"});
  const NameMapEntries entries = buildNameMap(model, pool);
  EXPECT_EQ(writeNameMapText(entries), "p q x0\nr c0\n");
  EXPECT_EQ(readNameMapText(writeNameMapText(entries).value(), kNameMapGeneratedToModel), (NameMap{{"x0", "p q"}, {"c0", "r"}}));
}

}  // namespace
}  // namespace velorium
