// A renamed model written as MPS and LP: the files carry only the generated names, and the
// map file beside them turns those back into the model's names.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "core/log/log_options.hpp"
#include "core/names/names_holder.hpp"
#include "formats/lp/lp_writer.hpp"
#include "formats/mps/mps_writer.hpp"
#include "formats/namemap/renamed_model.hpp"
#include "support/scratch_dir.hpp"
#include "support/test_models.hpp"

namespace velorium {
namespace {

// The blank- and punctuation-separated words of a text.
std::set<std::string> words(const std::string& text) {
  std::string spaced = text;
  for (char& c : spaced) {
    if (c == ':' || c == '+' || c == '-' || c == '<' || c == '=' || c == '>') c = ' ';
  }
  std::istringstream in(spaced);
  std::set<std::string> result;
  for (std::string word; in >> word;) result.insert(word);
  return result;
}

TEST(RenamedModelFiles, ModelFilesCarryOnlyGeneratedNames) {
  test::TestModel source;
  const int a = source.addVariable("a");
  const int b = source.addVariable("b");
  source.addRow("r1", -test::kInf, 4.0, {{a, 1.0}, {b, 2.0}});
  source.setObjective({{a, 3.0}, {b, 1.0}});
  source.nameObjective("cost");

  test::ScratchDir dir;
  const std::string map_path = dir.file("names.map");
  RenamedModel renamed(&source.model, get_names_holder(), map_path);
  ASSERT_TRUE(renamed.nameMapWritten());
  EXPECT_EQ(test::readFileBytes(map_path), "cost objective\na x0\nb x1\nr1 c0\n");

  const VeloriumLogOptions quiet;
  const std::string mps_path = dir.file("model.mps");
  const std::string lp_path = dir.file("model.lp");
  ASSERT_EQ(writeModelAsMps(quiet, mps_path, *renamed.model()), kVeloriumStatusOk);
  LpWriter lp_writer;
  ASSERT_EQ(lp_writer.writeModelToFile(quiet, lp_path, *renamed.model()), kVeloriumStatusOk);

  for (const std::string& path : {mps_path, lp_path}) {
    const std::set<std::string> written = words(test::readFileBytes(path));
    for (const char* generated : {"x0", "x1", "c0", "objective"}) {
      EXPECT_TRUE(written.count(generated)) << path << " lacks " << generated;
    }
    for (const char* own : {"a", "b", "r1", "cost"}) {
      EXPECT_FALSE(written.count(own)) << path << " shows the model's name " << own;
    }
  }
}

}  // namespace
}  // namespace velorium
