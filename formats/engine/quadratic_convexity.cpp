#include "formats/engine/quadratic_convexity.hpp"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <utility>

namespace velorium {

namespace {

// An off-diagonal pair (i < j) as one sortable key.
std::uint64_t pairKey(std::int32_t i, std::int32_t j) {
  return (std::uint64_t{static_cast<std::uint32_t>(i)} << 32) | static_cast<std::uint32_t>(j);
}

}  // namespace

bool isQuadraticConvex(const std::vector<QuadTerm>& terms, bool concave) {
  if (terms.empty()) return true;
  std::unordered_map<std::int32_t, double> diagonal;
  std::vector<std::pair<std::uint64_t, double>> off_diagonal;
  for (const QuadTerm& term : terms) {
    if (term.variable1 == term.variable2) {
      diagonal[term.variable1] += term.coefficient;
    } else {
      const auto [low, high] = std::minmax(term.variable1, term.variable2);
      off_diagonal.emplace_back(pairKey(low, high), term.coefficient);
    }
  }
  for (const auto& [column, d] : diagonal) {
    if (concave ? d > 0.0 : d < 0.0) return false;
  }
  auto diagonalOf = [&](std::uint64_t column) {
    const auto found = diagonal.find(static_cast<std::int32_t>(column));
    return found == diagonal.end() ? 0.0 : found->second;
  };
  std::sort(off_diagonal.begin(), off_diagonal.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t k = 0; k < off_diagonal.size();) {
    const std::uint64_t key = off_diagonal[k].first;
    double sum = 0.0;
    for (; k < off_diagonal.size() && off_diagonal[k].first == key; ++k) sum += off_diagonal[k].second;
    const double h = sum / 2.0;
    if (diagonalOf(key >> 32) * diagonalOf(key & 0xFFFFFFFFu) - h * h < 0.0) return false;
  }
  return true;
}

}  // namespace velorium
