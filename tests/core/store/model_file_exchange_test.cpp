#include "core/store/model_file_exchange.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/base/kernel.hpp"
#include "core/general/general_expression_impl_base.hpp"
#include "core/names/names_holder.hpp"
#include "core/store/model_builder.hpp"
#include "formats/front/model_import_export.hpp"
#include "formats/namemap/name_map_file.hpp"
#include "support/catalogue_failure.hpp"
#include "support/scratch_dir.hpp"

namespace velorium::cpp_impl {
namespace {

using velorium::testing::fails_with;

// An import/export object that hands out a prepared model, for models no reader produces.
class PreparedFront final : public IModelImportExport {
 public:
  explicit PreparedFront(Model model) : model_(std::move(model)) {}
  bool Import(const char*, std::uint8_t, VeloriumLogOptions*) override { return true; }
  Model* GetModel() override { return &model_; }
  bool Export(const Model*, const char*, std::uint8_t, VeloriumLogOptions*) override { return false; }
  void Release() override { delete this; }

 private:
  Model model_;
};

constexpr const char* kLpWithEverything =
    "Maximize\n obj: 2 x + 3 y + [ x ^ 2 + 2 x * y ] / 2 + 5\n"
    "Subject To\n c1: x + y <= 4\n ind: b = 1 -> x - y >= -1\n q1: x + [ y ^ 2 ] <= 9\n"
    "Bounds\n x <= 10\n -2 <= y <= 3\n z free\n"
    "Binaries\n b\nGenerals\n y\n"
    "General Constraints\n g1 : z = NL : ( PLUS , -1 , -1 ) ( VARIABLE , x , 0 ) ( CONSTANT , 2.5 , 0 )\n"
    "End\n";

std::string pool_text(std::int32_t id) {
  const char* text = get_names_holder()->names_holder_get(id);
  return text ? text : "";
}

class ModelFileExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(get_or_create_kernel()); }

  test::ScratchDir dir;
  std::shared_ptr<ModelBuilder> builder = std::make_shared<ModelBuilder>();
  ModelImportExport front;
  VeloriumLogOptions quiet;  // output off: the readers and writers show nothing
};

TEST_F(ModelFileExchangeTest, LoadsEveryMemberAndRebuildsGeneralConstraints) {
  const std::string path = dir.write("model.lp", kLpWithEverything);
  load_model(*builder, front, path.c_str(), 0, &quiet);
  EXPECT_EQ(builder->variable_count(), 4);
  EXPECT_EQ(builder->row_count(), 3);
  EXPECT_EQ(builder->find_variable_index("z"), builder->column_table.position_of[builder->find_variable_index("z")])
      << "positions are store indices after a load";
  const Constraint& indicator = builder->row_record(builder->find_constraint_index("ind"));
  EXPECT_EQ(indicator.indicator_variable, builder->find_variable_index("b"));
  EXPECT_EQ(builder->model->objective_sense, 1);
  EXPECT_EQ(builder->model->objective.quadratic_terms.size(), 2u);
  EXPECT_EQ(builder->model->source_path, path);

  ASSERT_EQ(builder->general_constraint_count(), 1);
  const std::shared_ptr<GeneralConstraint> g1 = builder->general_constraint_by_name("g1");
  EXPECT_EQ(builder->gc_index_by_object.at(g1.get()), 0);
  EXPECT_EQ(g1->result_variable, builder->find_variable_index("z"));
  ASSERT_NE(g1->expression, nullptr);
  EXPECT_EQ(g1->expression->type(), gen_expr_type::plus);
  EXPECT_EQ(g1->expression->child_count(), 2);
  EXPECT_EQ(g1->expression->GetChild(0)->own_model(), builder) << "variable nodes refer to the new store";
  EXPECT_EQ(front.GetModel()->variables.size(), 0u) << "the read model was moved, not copied";
}

// The read's failure: 117 with the path, then why.
std::string read_failure(const char* path, std::uint8_t mode, IModelImportExport& front, ModelBuilder& builder) {
  const VeloriumLogOptions quiet;
  try {
    load_model(builder, front, path, mode, &quiet);
  } catch (const velorium_exception& e) {
    EXPECT_EQ(e.code(), -1);
    return e.what();
  }
  return "<read>";
}

TEST_F(ModelFileExchangeTest, AnUnreadableFileGives117WithTheReason) {
  using velorium::testing::catalogue_line;
  using velorium::testing::catalogue_text;
  const std::string missing = dir.file("missing.lp");
  EXPECT_EQ(read_failure(missing.c_str(), 0, front, *builder), catalogue_text(117, missing.c_str()) + ": " +
                                                                    catalogue_line(69, missing.c_str()) + ": " +
                                                                    std::strerror(ENOENT));
  EXPECT_EQ(read_failure(nullptr, 0, front, *builder), catalogue_text(117, "null"));
  const std::string text = dir.write("model.txt", kLpWithEverything);
  EXPECT_EQ(read_failure(text.c_str(), 0, front, *builder),
            catalogue_text(117, text.c_str()) + ": " + catalogue_line(384, ".txt"));
  const std::string broken = dir.write("broken.mps", "NAME x\nROWS\n N obj\nCOLUMNS\n x obj 1 zz\nENDATA\n");
  const std::string reason = read_failure(broken.c_str(), 0, front, *builder);
  EXPECT_EQ(reason.rfind(catalogue_text(117, broken.c_str()) + ": ", 0), 0u) << reason;
  EXPECT_NE(reason.find("5"), std::string::npos) << "the line of the fault: " << reason;
}

TEST_F(ModelFileExchangeTest, AGeneralConstraintRecordWithoutItsTreeFailsWithItsName) {
  Model model;
  model.variables.push_back(Variable{0, 0.0, 1.0, -1});
  // The failure text of loading `records`, "" when the load succeeds.
  auto load_failure = [&](std::vector<GeneralConstraintRecord> records) -> std::string {
    model.general_constraints = std::move(records);
    IModelImportExport* prepared = new PreparedFront(model);
    std::string failure;
    try {
      load_model(*builder, *prepared, "any.lp", 0, &quiet);
    } catch (const velorium_exception& e) {
      EXPECT_EQ(e.code(), -1);
      failure = e.what();
    }
    prepared->Release();
    return failure;
  };
  const GeneralConstraintRecord empty{"nothing", {}, 0};
  EXPECT_EQ(load_failure({empty, {"half", {ExprNodeRecord::operation(4, -1), ExprNodeRecord::variable(0, 0)}, 0}}),
            "Не удалось прочитать ограничение half\n");
  EXPECT_EQ(load_failure({empty, {"bad variable", {ExprNodeRecord::variable(5, -1)}, 0}}),
            "Не удалось прочитать ограничение bad variable\n");
  EXPECT_EQ(load_failure({{"unknown type", {ExprNodeRecord::operation(25, -1)}, 0}}),
            "Не удалось прочитать ограничение unknown type\n");
  EXPECT_EQ(load_failure({empty}), "");
  EXPECT_EQ(builder->general_constraint_count(), 0) << "a record without nodes adds nothing";
}

TEST_F(ModelFileExchangeTest, LoadedGeneralConstraintsOfOneNameStayFoundByItAfterARemoval) {
  Model model;
  model.variables.push_back(Variable{0, 0.0, 1.0, -1});
  model.general_constraints = {GeneralConstraintRecord{"g", {ExprNodeRecord::constant(1.0, -1)}, 0},
                               GeneralConstraintRecord{"g", {ExprNodeRecord::constant(2.0, -1)}, 0}};
  auto* prepared = new PreparedFront(model);
  load_model(*builder, *prepared, "any.lp", 0, &quiet);
  prepared->Release();
  ASSERT_EQ(builder->general_constraint_count(), 2);
  const std::shared_ptr<GeneralConstraint> later = builder->general_constraint_by_name("g");
  EXPECT_EQ(later, builder->general_constraint_at(1));
  builder->remove_general_constraint(*later);
  EXPECT_EQ(builder->general_constraint_by_name("g"), builder->general_constraint_at(0));
}

TEST_F(ModelFileExchangeTest, ExportWithoutAndWithANameMap) {
  const std::string source = dir.write("model.lp", kLpWithEverything);
  load_model(*builder, front, source.c_str(), 0, &quiet);
  const Model& flat = *builder->model;

  const std::string plain = dir.file("plain.lp");
  export_flat_model(front, flat, plain.c_str(), 0, "", &quiet);
  EXPECT_NE(test::readFileBytes(plain).find("\nind :"), std::string::npos) << test::readFileBytes(plain);

  const std::string mapped = dir.file("mapped.mps");
  const std::string map = dir.file("names.map");
  export_flat_model(front, flat, mapped.c_str(), 0, map, &quiet);
  const std::string text = test::readFileBytes(mapped);
  EXPECT_EQ(text.find("ind"), std::string::npos) << text;
  EXPECT_NE(text.find(" IF c1        x2        1"), std::string::npos) << text;
  EXPECT_NE(test::readFileBytes(map).find("ind"), std::string::npos);
  EXPECT_EQ(flat.rows.size(), 3u);
  EXPECT_EQ(pool_text(flat.rows[0].expression.name_id), "c1") << "the flat model keeps its names";
}

TEST_F(ModelFileExchangeTest, AMapThatCannotBeWrittenStopsTheModelFile) {
  using velorium::testing::catalogue_line;
  using velorium::testing::catalogue_text;
  const std::string source = dir.write("model.lp", kLpWithEverything);
  load_model(*builder, front, source.c_str(), 0, &quiet);
  // The failure's text of writing the loaded model to `path` with the map `map`.
  auto write_failure = [&](const char* path, const std::string& map) -> std::string {
    try {
      export_flat_model(front, *builder->model, path, path ? 0 : 1, map, &quiet);
    } catch (const velorium_exception& e) {
      EXPECT_EQ(e.code(), -1);
      return e.what();
    }
    return "<written>";
  };
  // 118 with the path, then the line logged for a file that does not open.
  auto unopened = [](const std::string& path, const std::string& file) {
    return catalogue_text(118, path.c_str()) + ": " + catalogue_line(69, file.c_str()) + ": " + std::strerror(ENOENT);
  };
  const std::string path = dir.file("model_out.lp");
  const std::string no_dir_map = dir.file("no_dir/names.map");
  EXPECT_EQ(write_failure(path.c_str(), no_dir_map), unopened(path, no_dir_map));
  EXPECT_FALSE(std::filesystem::exists(path));

  const std::string text = dir.file("model_out.txt");
  const std::string map = dir.file("names.map");
  EXPECT_EQ(write_failure(text.c_str(), map),
            catalogue_text(118, text.c_str()) + ": Расширение [.txt] не выбирает формат записи: .lp, .ilp или .mps");
  EXPECT_FALSE(std::filesystem::exists(map)) << "no map beside a model file that cannot be written";
  const std::string unwritable = dir.file("no_dir/model_out.lp");
  EXPECT_EQ(write_failure(unwritable.c_str(), map), unopened(unwritable, unwritable));
  EXPECT_FALSE(std::filesystem::exists(map)) << "the map written first goes again with its model file";
  EXPECT_EQ(write_failure(nullptr, ""), catalogue_text(118, "null"));
}

}  // namespace
}  // namespace velorium::cpp_impl
