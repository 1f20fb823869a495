// Reading the numbers of model files: our decimal reader against std::from_chars, on short
// decimals (1 to 3 significant digits) and on full-precision ones ("%.17g").
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "formats/common/decimal_number.hpp"

namespace {

// 2^16 numbers, one after another in one text, as fields of a file are.
struct Numbers {
  std::string text;
  std::vector<std::string_view> fields;
};

Numbers makeNumbers(bool full_precision) {
  std::mt19937_64 random(5);
  std::uniform_real_distribution<double> full(-1000.0, 1000.0);
  std::vector<std::string> printed;
  for (int i = 0; i < (1 << 16); ++i) {
    char buffer[40];
    if (full_precision) {
      std::snprintf(buffer, sizeof buffer, "%.17g", full(random));
    } else {
      static const char* const kScales[] = {"%d", "%d.%d", "0.%02d"};
      const int form = static_cast<int>(random() % 3);
      std::snprintf(buffer, sizeof buffer, kScales[form], static_cast<int>(random() % 999 + 1), static_cast<int>(random() % 10));
    }
    printed.emplace_back(buffer);
  }
  Numbers numbers;
  for (const std::string& p : printed) numbers.text += p + ' ';
  std::size_t at = 0;
  for (const std::string& p : printed) {
    numbers.fields.emplace_back(numbers.text.data() + at, p.size());
    at += p.size() + 1;
  }
  return numbers;
}

template <bool ours>
void readAll(benchmark::State& state, bool full_precision) {
  const Numbers numbers = makeNumbers(full_precision);
  for (auto _ : state) {
    double sum = 0;
    for (std::string_view field : numbers.fields) {
      double value = 0;
      if constexpr (ours) {
        velorium::readDecimalNumber(field, value);
      } else {
        std::from_chars(field.data(), field.data() + field.size(), value);
      }
      sum += value;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.counters["ns_per_number"] = benchmark::Counter(static_cast<double>(numbers.fields.size()) * 1e-9,
                                                       benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ReadShortDecimals(benchmark::State& state) { readAll<true>(state, false); }
void BM_FromCharsShortDecimals(benchmark::State& state) { readAll<false>(state, false); }
void BM_ReadFullPrecision(benchmark::State& state) { readAll<true>(state, true); }
void BM_FromCharsFullPrecision(benchmark::State& state) { readAll<false>(state, true); }
BENCHMARK(BM_ReadShortDecimals);
BENCHMARK(BM_FromCharsShortDecimals);
BENCHMARK(BM_ReadFullPrecision);
BENCHMARK(BM_FromCharsFullPrecision);

}  // namespace

BENCHMARK_MAIN();
