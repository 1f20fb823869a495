// A progress reporter that keeps everything it is told.
#pragma once

#include <cstdint>
#include <vector>

#include "velorium/velorium.hpp"

namespace velorium::test {

class RecordingReporter final : public IProgressReporter {
 public:
  void Start() override {
    ++starts;
    SetProgress(0);
  }
  void SetProgress(std::uint64_t current) override { values.push_back(current); }
  bool IsFinished() override { return !values.empty() && values.back() >= total; }
  void SetTotal(std::uint64_t value) override { total = value; }

  int starts = 0;
  std::uint64_t total = 0;
  std::vector<std::uint64_t> values;
};

}  // namespace velorium::test
