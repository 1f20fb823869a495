// The model store behind every model object: the working model record, its row and variable
// tables and its general constraints.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/general/general_constraint.hpp"
#include "core/log/log_options.hpp"
#include "core/names/fnv1a_hash.hpp"
#include "core/names/names_holder.hpp"
#include "core/records/model.hpp"
#include "core/store/member_table.hpp"

namespace velorium::cpp_impl {

// Members are addressed by store index (fixed for life) and listed by position (live members
// only; GetVariable, GetConstraint, the counts and the matrix-form operations use positions).
// Every operation throws velorium_exception with code -1 and a catalogue text on failure and
// checks before it writes, so a failed operation leaves the store unchanged (an addition may
// have interned its name). Operations that intern or read a pooled name need the core object
// (109 without it). Warnings are logged only when the caller passes log options.
//
// Always created as a shared object: variable, constraint and expression handles hold it.
// One thread at a time, except that building a table's name index is guarded.
class ModelBuilder : public std::enable_shared_from_this<ModelBuilder> {
 public:
  ModelBuilder();
  ModelBuilder(const ModelBuilder&) = delete;
  ModelBuilder& operator=(const ModelBuilder&) = delete;

  // The working model. Its sequences are what the tables manage: replace its content by
  // assignment (then reset_tables), never the pointer.
  const std::shared_ptr<Model> model;
  MemberTable<Constraint> row_table;
  MemberTable<Variable> column_table;
  std::vector<std::shared_ptr<GeneralConstraint>> general_constraints;
  std::unordered_map<const GeneralConstraint*, std::int32_t> gc_index_by_object;
  std::unordered_map<std::string, std::int32_t, Fnv1aHash, std::equal_to<>> gc_index_by_name;

  // Both tables from the current records: all live, no name index.
  void reset_tables();
  // Marks every member removed, so that handles still holding this store fail with 111.
  void remove_all();

  // Counts of live members, and of general constraints.
  std::int32_t variable_count() const noexcept { return column_table.live_count(); }
  std::int32_t row_count() const noexcept { return row_table.live_count(); }
  std::int32_t general_constraint_count() const noexcept {
    return static_cast<std::int32_t>(general_constraints.size());
  }

  // Look-ups.
  std::int32_t variable_at_position(std::int32_t position) const;  // 110
  std::int32_t row_at_position(std::int32_t position) const;       // 110
  Variable& variable_record(std::int32_t store_index);             // 110, 111
  Constraint& row_record(std::int32_t store_index);                // 110, 111
  std::int32_t find_variable_index(std::string_view name);         // 136
  std::int32_t find_constraint_index(std::string_view name);       // 135
  bool variable_exists(std::string_view name);
  bool row_exists(std::string_view name);
  std::shared_ptr<GeneralConstraint> general_constraint_at(std::int32_t index) const;        // 461
  std::shared_ptr<GeneralConstraint> general_constraint_by_name(std::string_view name) const;  // 462
  double variable_lower(std::int32_t store_index);
  double variable_upper(std::int32_t store_index);
  std::uint32_t variable_type_of(std::int32_t store_index);
  // The pooled name, or null for a variable without one.
  const char* variable_name(std::int32_t store_index);

  // Additions; each returns the new member's store index. A null name counts as empty.
  // A name of an existing variable replaces that variable in place and returns its index.
  // Numbers are checked as everywhere in the store: 505 for a NaN bound or right-hand side
  // and for a coefficient, constant or matrix entry that is not finite.
  std::int32_t add_variable(double lower, double upper, double objective_coefficient, std::uint32_t type,
                            const char* name, const VeloriumLogOptions* log_options);
  // Copies the expression into the new row; the row's name replaces the expression's.
  std::int32_t add_row(const Expression& expression, double lower, double upper, const char* name,
                       const VeloriumLogOptions* log_options);
  // `tree` is the store's own copy of the caller's tree. The result variable is not checked.
  std::shared_ptr<GeneralConstraint> add_general_constraint(std::shared_ptr<GeneralExpressionImplBase> tree,
                                                            std::int32_t result_variable, const char* name,
                                                            const VeloriumLogOptions* log_options);
  // Adds a copy of a free general constraint (its tree cloned) under its own name, made unique
  // as for an addition.
  std::shared_ptr<GeneralConstraint> add_general_constraint_copy(const GeneralConstraint& free_constraint,
                                                                 const VeloriumLogOptions* log_options);
  // The common tail of the general-constraint additions: appends `added` as it is and enters it
  // into both look-ups (a name already taken by a general constraint now finds the new one).
  void append_general_constraint(std::shared_ptr<GeneralConstraint> added);
  std::int32_t append_row(Constraint&& row, std::int32_t name_id);
  std::int32_t append_column(Variable&& column, std::int32_t name_id);
  // The name id for a member added without a name (prefix "x" or "C"): the pool's generated
  // name for the new store index while the table holds one uninterrupted run of default names
  // (and, for a row, the model has no general constraint), else a unique name (which ends the
  // run; a row's is no general constraint's name either).
  template <class Record>
  std::int32_t default_member_name_id(MemberTable<Record>& table, std::string_view prefix);

  // Changes.
  void set_variable_lower(std::int32_t store_index, double value);  // 505, 110, 111, 122, 123, 124
  void set_variable_upper(std::int32_t store_index, double value);  // 505, 110, 111, 119, 120, 121
  void set_variable_type(std::int32_t store_index, std::uint32_t type);
  void set_variable_name(std::int32_t store_index, const char* name);  // 125, 126, 110, 111, 127
  void rename_row(std::int32_t store_index, const char* name);         // 140, 110, 111
  void set_row_name(std::int32_t store_index, const char* name);       // 110, 111
  // Whether this store holds `gc` (a wrapper's data may be free, or taken out).
  bool holds_general_constraint(const GeneralConstraint& gc) const { return gc_index_by_object.count(&gc) != 0; }
  // Takes `gc` out of the store: out of the count, both look-ups and the flat model; the last
  // general constraint moves into its index. Nothing happens when the store does not hold it.
  void remove_general_constraint(const GeneralConstraint& gc);
  // Renames a general constraint this store holds: a null or empty name gives a generated
  // one ("GC#k"), a name taken by a live row or another general constraint a unique one made
  // from it; 137 for a name that starts with a blank.
  void rename_general_constraint(GeneralConstraint& gc, const char* name);
  // Empties the general constraints and both look-ups (before they are read anew).
  void clear_general_constraints() noexcept;
  void remove_variable(std::int32_t store_index);  // 110; nothing for a removed one
  void remove_row(std::int32_t store_index);       // 110; nothing for a removed one
  void set_objective(const Expression& expression, int sense);
  void set_objective_name(const char* name);  // 139
  // 113 or 114 when a bound of an integer or semi-integer variable is not integral.
  static void check_integer_bounds(double lower, double upper);

  // The flat model: the working model without removed members, with the general constraints
  // written into it as records. When nothing is removed `out` is the working model itself and
  // both tables are emptied (every index maps to itself); otherwise `out` is a new model
  // and the tables give, per store index, the flat index or -1 for a removed member. Drops
  // terms, indicators and SOS entries of removed variables, and general constraints that refer
  // to removed variables (with a warning when log options are given).
  void build_model(std::shared_ptr<Model>& out, std::vector<std::int32_t>& variable_map,
                   std::vector<std::int32_t>& row_map, const VeloriumLogOptions* log_options = nullptr);

  // Matrix-form additions. Arrays are indexed by variable position; a null array has no
  // entries. Every argument is checked before anything changes, so a failed call leaves the
  // store as it was.
  // `count` variables with default names; a bound or type array of one entry applies to all.
  bool add_variables(const double* lower, std::uint64_t lower_count, const double* upper, std::uint64_t upper_count,
                     const double* objective, std::uint64_t objective_count, const std::int32_t* types,
                     std::uint64_t types_count, std::uint64_t count);  // 128-132, 115, 113, 114
  // The objective's terms become 1/2 x'Qx + c'x (constant and name stay) and its sense is set.
  void set_objective_dense(const double* q, std::uint64_t q_rows, std::uint64_t q_columns, const double* c,
                           std::uint64_t c_count, int sense);  // 133, 134, 110
  void set_objective_sparse(const double* q_values, const std::int32_t* q_column_indices,
                            const std::int32_t* q_row_starts, std::uint64_t q_rows, std::uint64_t q_columns,
                            const double* c, std::uint64_t c_count, int sense);  // 154, 133, 134, 110
  // The objective's terms become these (constant and name stay) and its sense is set.
  void replace_objective_terms(LinearTerms linear, std::vector<QuadTerm> quadratic, int sense);
  // The row 1/2 x'Qx + c'x (sense) rhs; returns its store index.
  std::int32_t add_row_dense(const double* q, std::uint64_t q_rows, std::uint64_t q_columns, const double* c,
                             std::uint64_t c_count, int sense, double rhs);  // 133, 134, 138
  std::int32_t add_row_sparse(const double* q_values, const std::int32_t* q_column_indices,
                              const std::int32_t* q_row_starts, std::uint64_t q_rows, std::uint64_t q_columns,
                              const double* c, std::uint64_t c_count, int sense, double rhs);  // 154, 133, 134, 110
  // The row sum values[k] * x[positions[k]] (sense) rhs with a default name ("C#k").
  std::int32_t add_row_linear_sparse(const double* values, const std::int32_t* positions, std::uint64_t count,
                                     int sense, double rhs);  // 154, 110

  // Name operations.
  template <class Record>
  void ensure_member_index(MemberTable<Record>& table);
  // base + "#" + k for the first free k from the number of live members on; for rows the
  // names of general constraints may be excluded as well.
  template <class Record>
  std::string make_unique_name(MemberTable<Record>& table, std::string_view base,
                               bool exclude_general_constraint_names = false);
  // The name a new row ("C") or general constraint ("GC") gets: the given one when it is free
  // among the rows, else a generated one (warning 24 when a given name was taken). 137 for a
  // name that starts with a blank.
  std::string get_constr_name(const char* name, const VeloriumLogOptions* log_options, std::string_view prefix);
  // The pool id of the name a new row given a name gets, as get_constr_name decides it; the
  // caller has hashed the name (not empty) and refused one that starts with a blank (137).
  std::int32_t new_row_name_id(const VeloriumNamesHolder::HashedName& name, VeloriumNamesHolder& pool,
                               const VeloriumLogOptions* log_options);

 private:
  bool general_constraint_named(std::string_view name) const { return gc_index_by_name.count(name) != 0; }
  // Drops the look-up entry of the general constraint at `index` named `name`; another general
  // constraint of that name, when there is one, takes the entry over.
  void forget_general_constraint_name(const std::string& name, std::int32_t index);

  // Per name, how many general constraints of that name the name look-up does not lead to
  // (two general constraints read from a file may share a name).
  std::unordered_map<std::string, std::int32_t, Fnv1aHash, std::equal_to<>> gc_shadowed_by_name;
};

}  // namespace velorium::cpp_impl
