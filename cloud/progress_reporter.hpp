// A percentage line printed while a file is prepared or uploaded.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "cloud/client_clock.hpp"
#include "core/text/text_utils.hpp"
#include "velorium/velorium.hpp"

namespace velorium::nimbrova {

// Prints "\r<caption> : <percent> %    " through `sink` (a callable taking one text), at most
// once per `interval_ms` (read on the client clock), always at the first report and whenever
// the amount reaches the total; the line that reaches the total is followed by "\n". The "\r"
// lets a console overwrite the previous line; a log file receives every line unchanged.
template <class Sink>
class SimpleProgressReporter final : public IProgressReporter {
 public:
  SimpleProgressReporter(Sink sink, std::uint64_t total, std::string caption, std::int64_t interval_ms)
      : sink_(std::move(sink)), total_(total), caption_(std::move(caption)), interval_ms_(interval_ms) {}

  void Start() override { SetProgress(0); }

  void SetProgress(std::uint64_t value) override {
    current_ = value;
    const std::int64_t now =
        std::chrono::duration_cast<std::chrono::nanoseconds>(client_clock().now().time_since_epoch()).count();
    const bool finished = IsFinished();
    if (last_print_ && (now - *last_print_) / 1000000 < interval_ms_ && !finished) return;
    last_print_ = now;
    const double percent =
        total_ != 0 ? std::min(100.0 * static_cast<double>(current_) / static_cast<double>(total_), 100.0) : 100.0;
    sink_(formatString("\r%s : %6.2f %%    ", caption_.c_str(), percent));
    if (finished) sink_(std::string("\n"));
  }

  bool IsFinished() override { return current_ >= total_; }
  void SetTotal(std::uint64_t value) override { total_ = value; }

 private:
  Sink sink_;
  std::uint64_t total_;
  std::string caption_;
  std::int64_t interval_ms_;
  std::optional<std::int64_t> last_print_;  // nanoseconds of the client clock; none before the first line
  std::uint64_t current_ = 0;
};

}  // namespace velorium::nimbrova
