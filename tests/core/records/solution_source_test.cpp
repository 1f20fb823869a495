#include "core/records/solution_source.hpp"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace velorium {
namespace {

TEST(SolutionSource, FirstPositionWinsForARepeatedName) {
  SolutionSource source;
  source.column_names = {"x", "x", "y"};
  source.values = {1.0, 2.0, 3.0};
  source.reduced_costs = {0.5, 0.6, 0.7};
  ensure_solution_index(source);
  EXPECT_EQ(source.values_by_name.at("x"), 1.0);
  EXPECT_EQ(source.values_by_name.at("y"), 3.0);
  EXPECT_EQ(source.reduced_costs_by_name.at("x"), 0.5);
  EXPECT_TRUE(source.duals_by_name.empty()) << "no rows, no duals";
  EXPECT_EQ(source.values_by_name.count(std::string_view("y")), 1u) << "found by view";
}

TEST(SolutionSource, FewerNamesThanNumbersNeverReadsPastTheNames) {
  SolutionSource source;
  source.column_names = {"x"};
  source.values = {1.0, 2.0};
  source.row_names = {};
  source.duals = {4.0};
  ensure_solution_index(source);
  EXPECT_EQ(source.values_by_name.size(), 1u);
  EXPECT_TRUE(source.duals_by_name.empty());
}

TEST(SolutionSource, BuildsOnceWhenManyThreadsAsk) {
  SolutionSource source;
  for (int i = 0; i < 5000; ++i) {
    source.column_names.push_back("c" + std::to_string(i));
    source.values.push_back(i);
    source.row_names.push_back("r" + std::to_string(i));
    source.duals.push_back(-i);
  }
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) threads.emplace_back([&source] { ensure_solution_index(source); });
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(source.values_by_name.size(), 5000u);
  EXPECT_EQ(source.duals_by_name.at("r4999"), -4999.0);
  source.values.clear();
  ensure_solution_index(source);
  EXPECT_EQ(source.values_by_name.size(), 5000u) << "built once, kept for the source's life";
}

}  // namespace
}  // namespace velorium
