#include "cloud/remote_parameters.hpp"

#include <gtest/gtest.h>

namespace velorium::nimbrova {
namespace {

TEST(RemoteParameters, NewSetHoldsOnlyTheCalculationsAddress) {
  const RemoteParameters parameters;
  ASSERT_EQ(parameters.string_params.size(), 1u);
  const std::string& address = parameters.string_params.at("remote_solver_address");
  EXPECT_EQ(address.rfind("https://", 0), 0u);
  EXPECT_TRUE(address.ends_with("/api/v1/calculations/"));
  EXPECT_TRUE(parameters.double_params.empty());
  EXPECT_TRUE(parameters.int_params.empty());
  EXPECT_TRUE(parameters.bool_params.empty());
}

TEST(RemoteParameters, CopiesAreIndependent) {
  RemoteParameters original;
  original.int_params["remote_timeout"] = 30;
  RemoteParameters copy = original;
  copy.string_params["remote_solver_address"] = "https://elsewhere.example/";
  const RemoteParameters& same = copy;
  copy = same;  // self-assignment keeps everything
  EXPECT_EQ(copy.int_params.at("remote_timeout"), 30);
  EXPECT_EQ(original.string_params.at("remote_solver_address"), kDefaultCalculationsAddress);
  EXPECT_EQ(copy.string_params.at("remote_solver_address"), "https://elsewhere.example/");
}

}  // namespace
}  // namespace velorium::nimbrova
