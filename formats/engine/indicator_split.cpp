#include "formats/engine/indicator_split.hpp"

#include <cmath>
#include <string>
#include <string_view>

#include "core/names/names_holder.hpp"
#include "formats/engine/velorium_model.hpp"

namespace velorium {

namespace {

bool boundsEqual(const Constraint& row) { return std::fabs(row.lower - row.upper) <= kEngineEqualityTolerance; }

// Appends the two one-sided halves of `row`, named base + "_PART1" and base + "_PART2"; with
// no base they keep the row's own name id.
void appendHalves(Model& target, const Constraint& row, const std::string* base) {
  VeloriumNamesHolder& pool = names_pool();
  auto part = [&](const char* suffix) {
    Constraint half = row;
    if (base) half.expression.name_id = static_cast<std::int32_t>(pool.find_or_add_name(*base + suffix));
    return half;
  };
  Constraint upper_side = part("_PART1");
  upper_side.lower = -INFINITY;
  Constraint lower_side = part("_PART2");
  lower_side.upper = INFINITY;
  target.rows.push_back(std::move(upper_side));
  target.rows.push_back(std::move(lower_side));
}

}  // namespace

Model& splitIndicatorConstraints(const Model& source, Model& target) {
  // Everything but the rows, field by field: copying the rows only to drop them would double
  // the work on a large model.
  target.name = source.name;
  target.source_path = source.source_path;
  target.objective = source.objective;
  target.objective_sense = source.objective_sense;
  target.general_constraints = source.general_constraints;
  target.variables = source.variables;
  target.sos_sets = source.sos_sets;
  target.indicator_count = source.indicator_count;
  target.rows.clear();

  const VeloriumNamesHolder& pool = names_pool();
  std::string base;
  for (std::size_t k = 1; k <= source.rows.size(); ++k) {
    const Constraint& row = source.rows[k - 1];
    if (row.expression.linear_terms.empty() && row.expression.quadratic_terms.empty()) continue;
    const std::string_view own_name = pool.name_view(row.expression.name_id);
    const bool equal = boundsEqual(row);
    if (row.indicator_variable >= 0 && equal) {
      base = own_name.empty() ? "INDICATOR_CONSTR_" + std::to_string(k) : std::string(own_name);
      appendHalves(target, row, &base);
    } else if (equal || std::isinf(row.lower) || std::isinf(row.upper)) {
      target.rows.push_back(row);
    } else {
      base.assign(own_name);
      appendHalves(target, row, own_name.empty() ? nullptr : &base);
    }
  }
  return target;
}

}  // namespace velorium
