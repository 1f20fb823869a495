#include "cloud/progress_reporter.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "cloud/support/fake_clock.hpp"

namespace velorium::nimbrova {
namespace {

using namespace std::chrono_literals;

struct Lines {
  std::vector<std::string>* out;
  void operator()(const std::string& text) const { out->push_back(text); }
};

TEST(SimpleProgressReporter, PrintsPercentLinesCappedAt100AndEndsTheLine) {
  test::FakeClock clock;
  std::vector<std::string> lines;
  SimpleProgressReporter<Lines> reporter(Lines{&lines}, 1000, "Cap", 100);
  reporter.SetProgress(250);
  clock.advance(200ms);
  reporter.SetProgress(1000);
  clock.advance(200ms);
  reporter.SetProgress(2000);
  EXPECT_EQ(lines, (std::vector<std::string>{"\rCap :  25.00 %    ", "\rCap : 100.00 %    ", "\n",
                                             "\rCap : 100.00 %    ", "\n"}));
}

TEST(SimpleProgressReporter, PrintsAtMostOnceAnIntervalPlusTheFinalLine) {
  test::FakeClock clock;
  std::vector<std::string> lines;
  SimpleProgressReporter<Lines> reporter(Lines{&lines}, 1000, "Up", 100);
  for (int k = 0; k < 100; ++k) {
    reporter.SetProgress(static_cast<std::uint64_t>(k * 10));
    clock.advance(10ms);
  }
  reporter.SetProgress(1000);  // reaching the total always prints, even within the interval
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[0], "\rUp :   0.00 %    ");
  EXPECT_EQ(lines[1], "\rUp :  10.00 %    ");
  EXPECT_EQ(lines[9], "\rUp :  90.00 %    ");
  EXPECT_EQ(lines[10], "\rUp : 100.00 %    ");
  EXPECT_EQ(lines[11], "\n");
}

TEST(SimpleProgressReporter, ATotalOfZeroShowsCompleteAtEveryCall) {
  test::FakeClock clock;
  std::vector<std::string> lines;
  SimpleProgressReporter<Lines> reporter(Lines{&lines}, 0, "Z", 1000);
  reporter.Start();
  reporter.SetProgress(5);
  EXPECT_EQ(lines, (std::vector<std::string>{"\rZ : 100.00 %    ", "\n", "\rZ : 100.00 %    ", "\n"}));
  EXPECT_TRUE(reporter.IsFinished());
}

TEST(SimpleProgressReporter, SetTotalPrintsNothingAndRescalesLaterLines) {
  test::FakeClock clock;
  std::vector<std::string> lines;
  SimpleProgressReporter<Lines> reporter(Lines{&lines}, 0, "T", 100);
  reporter.SetTotal(400);
  EXPECT_TRUE(lines.empty());
  reporter.Start();
  clock.advance(1s);
  reporter.SetProgress(100);
  EXPECT_EQ(lines, (std::vector<std::string>{"\rT :   0.00 %    ", "\rT :  25.00 %    "}));
  EXPECT_FALSE(reporter.IsFinished());
}

}  // namespace
}  // namespace velorium::nimbrova
