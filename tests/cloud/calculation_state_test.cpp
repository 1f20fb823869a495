#include "cloud/calculation_state.hpp"

#include <gtest/gtest.h>

#include <thread>

namespace velorium::nimbrova {
namespace {

TEST(CalculationState, ADefaultSetGivesTheDefaultAddressNoProxyAndNoTimeout) {
  set_remote_parameters(RemoteParameters());
  EXPECT_EQ(get_remote_solver_address(), kDefaultCalculationsAddress);
  EXPECT_EQ(get_http_proxy(), "");
  EXPECT_EQ(get_remote_timeout(), 0);
}

TEST(CalculationState, ReadersSeeTheLatestSetAndTheAddressCanBeReplaced) {
  RemoteParameters parameters;
  parameters.string_params["http_proxy"] = "http://proxy.example:3128";
  parameters.int_params["remote_timeout"] = 45;
  set_remote_parameters(parameters);
  set_remote_solver_address("https://127.0.0.1:5000/api/v1/calculations/");
  EXPECT_EQ(get_http_proxy(), "http://proxy.example:3128");
  EXPECT_EQ(get_remote_timeout(), 45);
  EXPECT_EQ(get_remote_solver_address(), "https://127.0.0.1:5000/api/v1/calculations/");
  EXPECT_EQ(parameters.string_params.at("remote_solver_address"), kDefaultCalculationsAddress);
  parameters.string_params.erase("remote_solver_address");
  set_remote_parameters(parameters);
  EXPECT_EQ(get_remote_solver_address(), "");  // a missing entry reads as empty text
  set_remote_parameters(RemoteParameters());
}

TEST(CalculationState, TheCurrentCalculationIsCopiedInAndOutWhole) {
  CalculationInfo info;
  info.calc_uid = "uid-1";
  info.upload_url = "https://storage.example/up";
  info.upload_fields = {{"policy", "P"}, {"key", "K"}, {"x-amz-date", "D"}};
  set_current_calculation(info);
  EXPECT_EQ(current_calc_uid(), "uid-1");
  const CalculationInfo copy = current_calculation_copy();
  EXPECT_EQ(copy.upload_url, info.upload_url);
  ASSERT_EQ(copy.upload_fields.size(), 3u);
  EXPECT_EQ(copy.upload_fields.begin()->first, "key");  // held sorted by name
  clear_current_calculation();
  EXPECT_EQ(current_calc_uid(), "");
  EXPECT_TRUE(current_calculation_copy().upload_fields.empty());
}

TEST(CalculationState, ASecondThreadReadsWhileTheFirstWrites) {
  std::thread reader([] {
    for (int k = 0; k < 2000; ++k) {
      const std::string uid = current_calc_uid();
      EXPECT_TRUE(uid.empty() || uid.rfind("calculation-", 0) == 0) << uid;
      (void)get_remote_solver_address();
    }
  });
  for (int k = 0; k < 2000; ++k) {
    CalculationInfo info;
    info.calc_uid = "calculation-" + std::to_string(k) + std::string(64, 'x');
    set_current_calculation(info);
    set_remote_solver_address("https://host-" + std::to_string(k) + "/");
  }
  reader.join();
  clear_current_calculation();
  set_remote_parameters(RemoteParameters());
}

}  // namespace
}  // namespace velorium::nimbrova
