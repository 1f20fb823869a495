#include "core/records/solution_source.hpp"

#include <algorithm>

namespace velorium {

namespace {
void fill_by_name(ValueByName& map, const std::vector<std::string>& names, const std::vector<double>& numbers) {
  map.clear();
  // Never reads past the names, whatever the producer left in the sequences.
  const std::size_t count = std::min(names.size(), numbers.size());
  map.reserve(count);
  for (std::size_t i = 0; i < count; ++i) map.emplace(names[i], numbers[i]);
}
}  // namespace

void ensure_solution_index(SolutionSource& source) {
  std::call_once(source.index_once, [&source] {
    fill_by_name(source.values_by_name, source.column_names, source.values);
    fill_by_name(source.duals_by_name, source.row_names, source.duals);
    fill_by_name(source.reduced_costs_by_name, source.column_names, source.reduced_costs);
  });
}

}  // namespace velorium
