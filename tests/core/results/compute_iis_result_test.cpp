#include "core/results/compute_iis_result_local.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "core/base/kernel.hpp"
#include "core/names/names_holder.hpp"
#include "core/options/velorium_options.hpp"
#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"
#include "formats/lp/lp_reader.hpp"
#include "support/fake_engine.hpp"
#include "support/scratch_dir.hpp"
#include "support/test_models.hpp"

namespace velorium::cpp_impl {
namespace {

using test::FakeEngine;
using test::nameOrNone;

// An infeasible set x + y <= 1, x >= 2, y >= 0, named in the engine's own pool, whose first
// ids are taken by other names so that they differ from the process pool's.
std::shared_ptr<Model> engine_set(FakeEngine& engine) {
  for (const char* filler : {"engine filler a", "engine filler b", "engine filler c"}) engine.engine_name(filler);
  auto set = std::make_shared<Model>();
  set->variables.push_back(Variable{0, 2.0, kVeloriumInf, engine.engine_name("iis_x")});
  set->variables.push_back(Variable{0, 0.0, kVeloriumInf, engine.engine_name("iis_y")});
  Constraint row(-kVeloriumInf, 1.0);
  row.expression.linear_terms = {{0, 1.0}, {1, 1.0}};
  row.expression.name_id = engine.engine_name("iis_row");
  set->rows.push_back(row);
  return set;
}

TEST(ComputeIisResultLocal, FiguresAndStatusTable) {
  FakeEngine engine;
  engine.info.iis_minimal = true;
  engine.info.iis_constraints = 3;
  engine.info.iis_bounds = 2;
  engine.info.iis_time = 1.5;
  struct Case {
    std::int32_t engine_status;
    int model_status;
    solve_result result;
  };
  for (const Case& c : {Case{8, 2, solve_result::success}, Case{18, 1, solve_result::success},
                        Case{7, 0, solve_result::fail}, Case{0, 0, solve_result::fail}}) {
    SCOPED_TRACE(c.engine_status);
    engine.info.model_status = c.engine_status;
    ComputeIisResultLocal result(engine.make_pipeline("compute_iis"));
    EXPECT_EQ(engine.pipelines_alive, 0) << "the pipeline is destroyed once read";
    EXPECT_EQ(result.GetModelStatus(), c.model_status);
    EXPECT_EQ(result.GetComputeIisResult(), c.result);
    EXPECT_TRUE(result.GetMinimal());
    EXPECT_EQ(result.GetNumConstraints(), 3);
    EXPECT_EQ(result.GetNumBounds(), 2);
    EXPECT_EQ(result.GetComputeIisTime(), 1.5);
    EXPECT_EQ(result.GetErrorCode(), 0);
  }
}

TEST(ComputeIisResultLocal, SetNamesMoveToTheProcessPool) {
  FakeEngine engine;
  engine.iis_model = engine_set(engine);
  ComputeIisResultLocal result(engine.make_pipeline());
  const Model& set = result.iis_model();
  ASSERT_EQ(set.variables.size(), 2u);
  EXPECT_EQ(nameOrNone(set.variables[0].name_id), "iis_x");
  EXPECT_EQ(nameOrNone(set.variables[1].name_id), "iis_y");
  EXPECT_EQ(nameOrNone(set.rows[0].expression.name_id), "iis_row");
  EXPECT_EQ(engine.engine_pool().names_holder_get(engine.iis_model->variables[0].name_id), std::string("iis_x"))
      << "the engine's own set is left as it was";
}

TEST(ComputeIisResultLocal, AnUnknownEngineIdBecomesNoName) {
  FakeEngine engine;
  engine.iis_model = std::make_shared<Model>();
  engine.iis_model->variables.push_back(Variable{0, 0.0, 1.0, 12345});
  ComputeIisResultLocal result(engine.make_pipeline());
  EXPECT_EQ(result.iis_model().variables[0].name_id, -1);
}

TEST(ComputeIisResultLocal, WriteIisWritesTheSetAsLp) {
  FakeEngine engine;
  engine.iis_model = engine_set(engine);
  ComputeIisResultLocal result(engine.make_pipeline());
  test::ScratchDir dir;
  const std::string path = dir.file("set.ilp");
  result.WriteIis(path.c_str());
  ASSERT_EQ(result.GetErrorCode(), 0) << result.GetErrorText();
  std::shared_ptr<Model> back = parseLpFile(path);
  ASSERT_EQ(back->variables.size(), 2u);
  EXPECT_EQ(nameOrNone(back->variables[0].name_id), "iis_x");
  EXPECT_EQ(back->variables[0].lower, 2.0);
  ASSERT_EQ(back->rows.size(), 1u);
  EXPECT_EQ(nameOrNone(back->rows[0].expression.name_id), "iis_row");
  EXPECT_EQ(back->rows[0].upper, 1.0);
}

TEST(ComputeIisResultLocal, WriteIisFailureGives378AndLogsNothing) {
  FakeEngine engine;
  engine.iis_model = engine_set(engine);
  ComputeIisResultLocal result(engine.make_pipeline());
  test::ScratchDir dir;
  const std::string path = dir.file("missing_dir/set.lp");
  testing::internal::CaptureStdout();
  result.WriteIis(path.c_str());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(result.GetErrorCode(), -1);
  EXPECT_EQ(result.GetErrorText(), formatString(get_message(378), path.c_str()));
  result.WriteIis(nullptr);
  EXPECT_EQ(result.GetErrorText(), formatString(get_message(378), "null"));
  EXPECT_EQ(result.GetNumBounds(), 0);
  EXPECT_EQ(result.GetErrorCode(), 0) << "the next query clears the error";
}

TEST(KernelPipeline, ATestFactoryStandsInOnlyWhileInstalled) {
  ASSERT_TRUE(get_or_create_kernel());
  VeloriumOptions options;
  {
    FakeEngine engine;
    std::unique_ptr<SolvePipeline> pipeline = current_kernel()->create_pipeline(options);
    ASSERT_NE(pipeline, nullptr);
    EXPECT_EQ(engine.called_method, "solve");
  }
  try {
    current_kernel()->create_pipeline(options);
    FAIL() << "a pipeline without an engine";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), get_message(367));
  }
}

}  // namespace
}  // namespace velorium::cpp_impl
