#include "core/store/model_builder.hpp"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <utility>

#include "core/base/catalogue_error.hpp"
#include "core/base/kernel.hpp"
#include "core/base/number_checks.hpp"
#include "core/expressions/model_term_lookups.hpp"
#include "core/log/logger.hpp"
#include "core/names/names_holder.hpp"
#include "core/store/reserve_one_more.hpp"
#include "core/store/variable_bounds.hpp"

namespace velorium::cpp_impl {

namespace {

// The bounds a variable of `type` gets when it is added: binary bounds rounded into {0, 1};
// integral types must have integral bounds.
void adjust_bounds_for_type(std::uint32_t type, double& lower, double& upper) {
  if (type == kBinaryType) {
    lower = round_to_binary(lower);
    upper = round_to_binary(upper);
  } else if (is_integral_type(type)) {
    ModelBuilder::check_integer_bounds(lower, upper);
  }
}

std::string_view text_or_empty(const char* text) { return text ? std::string_view(text) : std::string_view(); }

// Hashes a member's name and asks for its index slot in the pool ahead of its look-up: the
// slot of one name among millions is seldom in the cache, and the checks and copies of the
// addition can go on while it comes; and for the name that likely follows in the caller's next
// call. Asks for nothing without a name or a pool (the look-up reports that).
VeloriumNamesHolder::HashedName hash_and_prefetch_name(std::string_view name) noexcept {
  const VeloriumNamesHolder::HashedNameAndNext hashed = VeloriumNamesHolder::hash_name_and_next(name);
  if (name.empty()) return hashed.name;
  if (const VeloriumNamesHolder* pool = get_names_holder()) {
    pool->prefetch_name(hashed.name);
    if (hashed.has_next) pool->prefetch_hash(hashed.next_spread_hash);
  }
  return hashed.name;
}

}  // namespace

ModelBuilder::ModelBuilder()
    : model(std::make_shared<Model>(Model::NoReservation{})), row_table(model->rows), column_table(model->variables) {}

void ModelBuilder::reset_tables() {
  row_table.reset();
  column_table.reset();
}

void ModelBuilder::remove_all() {
  row_table.remove_all();
  column_table.remove_all();
}

std::int32_t ModelBuilder::variable_at_position(std::int32_t position) const {
  return column_table.at_position(position);
}

std::int32_t ModelBuilder::row_at_position(std::int32_t position) const { return row_table.at_position(position); }

Variable& ModelBuilder::variable_record(std::int32_t store_index) { return column_table.record(store_index); }

Constraint& ModelBuilder::row_record(std::int32_t store_index) { return row_table.record(store_index); }

template <class Record>
void ModelBuilder::ensure_member_index(MemberTable<Record>& table) {
  table.ensure_index(kernel_names_holder());
}

namespace {
template <class Record>
std::int32_t find_member(MemberTable<Record>& table, std::string_view name, int missing_message) {
  const VeloriumNamesHolder& pool = kernel_names_holder();
  table.ensure_index(pool);
  const std::int32_t* found = table.find(pool, name);
  if (!found || *found < 0 || *found >= table.record_count()) throw_catalogue_error(missing_message, std::string(name).c_str());
  return *found;
}
}  // namespace

std::int32_t ModelBuilder::find_variable_index(std::string_view name) { return find_member(column_table, name, 136); }

std::int32_t ModelBuilder::find_constraint_index(std::string_view name) { return find_member(row_table, name, 135); }

bool ModelBuilder::variable_exists(std::string_view name) { return column_table.has_name(kernel_names_holder(), name); }

bool ModelBuilder::row_exists(std::string_view name) { return row_table.has_name(kernel_names_holder(), name); }

std::shared_ptr<GeneralConstraint> ModelBuilder::general_constraint_at(std::int32_t index) const {
  if (index < 0 || index >= general_constraint_count()) throw_catalogue_error(461, index);
  return general_constraints[static_cast<std::size_t>(index)];
}

std::shared_ptr<GeneralConstraint> ModelBuilder::general_constraint_by_name(std::string_view name) const {
  const auto found = gc_index_by_name.find(name);
  if (found == gc_index_by_name.end()) throw_catalogue_error(462, std::string(name).c_str());
  return general_constraints[static_cast<std::size_t>(found->second)];
}

double ModelBuilder::variable_lower(std::int32_t store_index) { return variable_record(store_index).lower; }

double ModelBuilder::variable_upper(std::int32_t store_index) { return variable_record(store_index).upper; }

std::uint32_t ModelBuilder::variable_type_of(std::int32_t store_index) { return variable_record(store_index).type; }

const char* ModelBuilder::variable_name(std::int32_t store_index) {
  const std::int32_t name_id = variable_record(store_index).name_id;
  return kernel_names_holder().names_holder_get(name_id);
}

void ModelBuilder::check_integer_bounds(double lower, double upper) {
  if (!is_integral(lower)) throw_catalogue_error(113, lower);
  if (!is_integral(upper)) throw_catalogue_error(114, upper);
}

std::int32_t ModelBuilder::append_row(Constraint&& row, std::int32_t name_id) {
  return row_table.append(std::move(row), name_id, kernel_names_holder());
}

std::int32_t ModelBuilder::append_column(Variable&& column, std::int32_t name_id) {
  return column_table.append(std::move(column), name_id, kernel_names_holder());
}

template <class Record>
std::int32_t ModelBuilder::default_member_name_id(MemberTable<Record>& table, std::string_view prefix) {
  VeloriumNamesHolder& pool = kernel_names_holder();
  // Rows draw their generated names from one namespace with the general constraints, whose
  // names the run of default row names knows nothing of.
  constexpr bool rows = std::is_same_v<Record, Constraint>;
  if (table.default_names_only && table.removed_count == 0 && (!rows || general_constraints.empty()) &&
      (table.default_prefix.empty() || table.default_prefix == prefix)) {
    // Every name so far is prefix#<its store index>, so the next one is free without a test.
    const auto kind = prefix == "x" ? VeloriumNamesHolder::GeneratedPrefix::column : VeloriumNamesHolder::GeneratedPrefix::row;
    const auto name_id = static_cast<std::int32_t>(pool.get_generated_name(kind, static_cast<std::uint32_t>(table.record_count())));
    table.default_prefix = prefix;
    return name_id;
  }
  const std::string name = make_unique_name(table, prefix, rows);
  const auto name_id = static_cast<std::int32_t>(pool.find_or_add_name(name));
  table.default_names_only = false;
  return name_id;
}

std::int32_t ModelBuilder::add_variable(double lower, double upper, double objective_coefficient, std::uint32_t type,
                                        const char* name, const VeloriumLogOptions* log_options) {
  const std::string_view given = text_or_empty(name);
  const VeloriumNamesHolder::HashedName hashed = hash_and_prefetch_name(given);
  refuse_nan(lower);
  refuse_nan(upper);
  refuse_non_finite(objective_coefficient);
  if (lower > upper) throw_catalogue_error(115, upper, lower);
  VeloriumNamesHolder& pool = kernel_names_holder();
  if (!given.empty() && given.front() == ' ') throw_catalogue_error(126, ' ');
  // Bounds are adjusted to the type for a replaced variable as well, so that no integer
  // variable ever holds fractional bounds.
  adjust_bounds_for_type(type, lower, upper);
  LinearTerms& objective_terms = model->objective.linear_terms;
  const bool objective_term_wanted = std::fabs(objective_coefficient) > kZeroTolerance;

  std::int32_t name_id;
  if (given.empty()) {
    name_id = default_member_name_id(column_table, "x");
  } else {
    // The name is interned first and looked up in the table by its id: one look-up of the text.
    name_id = static_cast<std::int32_t>(pool.find_or_add_name(hashed));
    column_table.ensure_index(pool);
    if (const std::int32_t* found = column_table.find_id(name_id)) {
      const std::int32_t existing = *found;
      if (log_options) logCatalogueLine(*log_options, kLogLevelWarning, 23, name);
      const auto term = std::find_if(objective_terms.begin(), objective_terms.end(),
                                     [existing](const LinearTerm& t) { return t.variable == existing; });
      const bool has_term = term != objective_terms.end();
      if (has_term) {
        term->coefficient = objective_coefficient;
      } else if (objective_term_wanted) {
        // The coefficient is kept even when the variable had no objective term before.
        objective_terms.push_back({existing, objective_coefficient});
      }
      Variable& replaced = column_table.records[static_cast<std::size_t>(existing)];
      replaced.type = type;
      replaced.lower = lower;
      replaced.upper = upper;
      return existing;
    }
    column_table.default_names_only = false;
  }
  if (objective_term_wanted) reserve_one_more(objective_terms);
  const std::int32_t store_index = column_table.append({type, lower, upper, name_id}, name_id, pool);
  if (objective_term_wanted) objective_terms.push_back({store_index, objective_coefficient});
  return store_index;
}

std::string ModelBuilder::get_constr_name(const char* name, const VeloriumLogOptions* log_options,
                                          std::string_view prefix) {
  const std::string_view given = text_or_empty(name);
  if (!given.empty() && given.front() == ' ') throw_catalogue_error(137);
  if (!given.empty() && !row_exists(given)) return std::string(given);
  // Rows and general constraints draw generated names from one namespace.
  std::string result = make_unique_name(row_table, given.empty() ? prefix : given, true);
  if (!given.empty() && log_options) logCatalogueLine(*log_options, kLogLevelWarning, 24, name, result.c_str());
  return result;
}

std::int32_t ModelBuilder::new_row_name_id(const VeloriumNamesHolder::HashedName& given, VeloriumNamesHolder& pool,
                                           const VeloriumLogOptions* log_options) {
  row_table.ensure_index(pool);
  // Interned first and tested by its id: one look-up of the text for a free name.
  const auto given_id = static_cast<std::int32_t>(pool.find_or_add_name(given));
  if (!row_table.find_id(given_id)) return given_id;
  const std::int32_t name_id = row_table.make_unique_name_id(
      pool, given.text, [this](std::string_view candidate) { return general_constraint_named(candidate); });
  if (log_options) {
    const std::string given_text(given.text);  // the caller's text ends at its first NUL as well
    logCatalogueLine(*log_options, kLogLevelWarning, 24, given_text.c_str(), pool.names_holder_get(name_id));
  }
  return name_id;
}

std::int32_t ModelBuilder::add_row(const Expression& expression, double lower, double upper, const char* name,
                                   const VeloriumLogOptions* log_options) {
  const std::string_view given = text_or_empty(name);
  const VeloriumNamesHolder::HashedName hashed = hash_and_prefetch_name(given);
  // A term of a variable outside the store would be read out of range by every later user of
  // the row; removed variables are the expression layer's business. The expression layer
  // refuses non-finite numbers already; the row checks them again on their way in.
  refuse_nan(lower);
  refuse_nan(upper);
  refuse_non_finite(expression.constant);
  const std::int32_t variable_records = column_table.record_count();
  for (const LinearTerm& term : expression.linear_terms) {
    if (term.variable < 0 || term.variable >= variable_records) throw_catalogue_error(110, term.variable);
    refuse_non_finite(term.coefficient);
  }
  for (const QuadTerm& term : expression.quadratic_terms) {
    for (const std::int32_t variable : {term.variable1, term.variable2}) {
      if (variable < 0 || variable >= variable_records) throw_catalogue_error(110, variable);
    }
    refuse_non_finite(term.coefficient);
  }
  if (!given.empty() && given.front() == ' ') throw_catalogue_error(137);
  Constraint row(lower, upper, expression);
  // The pool is found once for the name and the table: finding it is a call through the
  // process state, worth saving on every row.
  VeloriumNamesHolder& pool = kernel_names_holder();
  std::int32_t name_id;
  if (given.empty()) {
    // Continues the run of generated names as a matrix-form row does, without a look-up.
    name_id = default_member_name_id(row_table, "C");
  } else {
    name_id = new_row_name_id(hashed, pool, log_options);
    row_table.default_names_only = false;
  }
  return row_table.append(std::move(row), name_id, pool);
}

std::shared_ptr<GeneralConstraint> ModelBuilder::add_general_constraint(std::shared_ptr<GeneralExpressionImplBase> tree,
                                                                        std::int32_t result_variable, const char* name,
                                                                        const VeloriumLogOptions* log_options) {
  auto added = std::make_shared<GeneralConstraint>(
      GeneralConstraint{std::move(tree), result_variable, get_constr_name(name, log_options, "GC")});
  append_general_constraint(added);
  return added;
}

void ModelBuilder::set_variable_lower(std::int32_t store_index, double value) {
  refuse_nan(value);
  Variable& variable = variable_record(store_index);
  if (value > variable.upper) throw_catalogue_error(122, value, variable.upper);
  if (variable.type == kBinaryType) {
    if (value != 0.0 && value != 1.0) throw_catalogue_error(123, value);
  } else if (is_integral_type(variable.type)) {
    if (!is_integral(value)) throw_catalogue_error(124, value);
  } else if (variable.type != 0 && variable.type != kSemicontinuousType) {
    return;  // an unknown type keeps its bounds
  }
  variable.lower = value;
}

void ModelBuilder::set_variable_upper(std::int32_t store_index, double value) {
  refuse_nan(value);
  Variable& variable = variable_record(store_index);
  if (variable.lower > value) throw_catalogue_error(119, value, variable.lower);
  if (variable.type == kBinaryType) {
    if (value != 0.0 && value != 1.0) throw_catalogue_error(120, value);
  } else if (is_integral_type(variable.type)) {
    if (!is_integral(value)) throw_catalogue_error(121, value);
  } else if (variable.type != 0 && variable.type != kSemicontinuousType) {
    return;
  }
  variable.upper = value;
}

void ModelBuilder::set_variable_type(std::int32_t store_index, std::uint32_t type) {
  Variable& variable = variable_record(store_index);
  variable.type = type;
  if (type == kBinaryType) {
    variable.lower = 0.0;
    variable.upper = 1.0;
  } else if (is_integral_type(type)) {
    variable.lower = std::floor(variable.lower);
    variable.upper = std::floor(variable.upper);
  }
}

void ModelBuilder::set_variable_name(std::int32_t store_index, const char* name) {
  if (!name || !*name) throw_catalogue_error(125, name ? name : "null");
  if (name[0] == ' ') throw_catalogue_error(126, ' ');
  variable_record(store_index);
  VeloriumNamesHolder& pool = kernel_names_holder();
  column_table.ensure_index(pool);
  if (const std::int32_t* found = column_table.find(pool, name)) {
    if (*found == store_index) return;
    throw_catalogue_error(127, name);
  }
  column_table.rename(store_index, static_cast<std::int32_t>(pool.find_or_add_name(name)), pool);
}

void ModelBuilder::rename_row(std::int32_t store_index, const char* name) {
  const std::string_view new_name = text_or_empty(name);
  const VeloriumNamesHolder& pool = kernel_names_holder();
  row_table.ensure_index(pool);
  if (const std::int32_t* found = row_table.find(pool, new_name)) {
    if (*found == store_index) return;
    throw_catalogue_error(140, std::string(new_name).c_str());
  }
  set_row_name(store_index, name);
}

void ModelBuilder::set_row_name(std::int32_t store_index, const char* name) {
  row_record(store_index);
  VeloriumNamesHolder& pool = kernel_names_holder();
  row_table.rename(store_index, static_cast<std::int32_t>(pool.find_or_add_name(text_or_empty(name))), pool);
}

void ModelBuilder::remove_variable(std::int32_t store_index) {
  if (column_table.is_removed_checked(store_index)) return;
  column_table.remove(store_index, kernel_names_holder());
}

void ModelBuilder::remove_row(std::int32_t store_index) {
  if (row_table.is_removed_checked(store_index)) return;
  row_table.remove(store_index, kernel_names_holder());
}

void ModelBuilder::set_objective(const Expression& expression, int sense) {
  refuse_non_finite(expression.constant);
  for (const LinearTerm& term : expression.linear_terms) refuse_non_finite(term.coefficient);
  for (const QuadTerm& term : expression.quadratic_terms) refuse_non_finite(term.coefficient);
  Expression copy = expression;  // may be the objective itself
  model->objective = std::move(copy);
  model->objective_sense = sense != 0 ? 1 : 0;
  note_model_terms_replaced(this);  // views of the objective must not trust what they knew
}

void ModelBuilder::set_objective_name(const char* name) {
  const std::string_view new_name = text_or_empty(name);
  if (row_exists(new_name)) throw_catalogue_error(139, std::string(new_name).c_str());
  model->objective.name_id = static_cast<std::int32_t>(kernel_names_holder().find_or_add_name(new_name));
}

template <class Record>
std::string ModelBuilder::make_unique_name(MemberTable<Record>& table, std::string_view base,
                                           bool exclude_general_constraint_names) {
  VeloriumNamesHolder& pool = kernel_names_holder();
  if (!exclude_general_constraint_names) return table.make_unique_name(pool, base);
  return table.make_unique_name(pool, base, [this](std::string_view name) { return general_constraint_named(name); });
}

template void ModelBuilder::ensure_member_index(MemberTable<Variable>&);
template void ModelBuilder::ensure_member_index(MemberTable<Constraint>&);
template std::int32_t ModelBuilder::default_member_name_id(MemberTable<Variable>&, std::string_view);
template std::int32_t ModelBuilder::default_member_name_id(MemberTable<Constraint>&, std::string_view);
template std::string ModelBuilder::make_unique_name(MemberTable<Variable>&, std::string_view, bool);
template std::string ModelBuilder::make_unique_name(MemberTable<Constraint>&, std::string_view, bool);

}  // namespace velorium::cpp_impl
