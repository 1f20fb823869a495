// The general constraints of a model store: additions, removal and renaming.
#include <utility>

#include "core/base/catalogue_error.hpp"
#include "core/store/model_builder.hpp"
#include "core/store/reserve_one_more.hpp"

namespace velorium::cpp_impl {

std::shared_ptr<GeneralConstraint> ModelBuilder::add_general_constraint_copy(const GeneralConstraint& free_constraint,
                                                                             const VeloriumLogOptions* log_options) {
  auto added = std::make_shared<GeneralConstraint>(
      GeneralConstraint{share_node(free_constraint.expression->Clone()), free_constraint.result_variable,
                        get_constr_name(free_constraint.name.c_str(), log_options, "GC")});
  append_general_constraint(added);
  return added;
}

void ModelBuilder::append_general_constraint(std::shared_ptr<GeneralConstraint> added) {
  const std::int32_t index = general_constraint_count();
  reserve_one_more(general_constraints);  // so that the last step cannot fail
  gc_index_by_object.emplace(added.get(), index);
  try {
    auto [named, inserted] = gc_index_by_name.try_emplace(added->name, index);
    if (!inserted) {
      ++gc_shadowed_by_name[added->name];  // the earlier one keeps its name but is no longer found by it
      named->second = index;
    }
  } catch (...) {
    gc_index_by_object.erase(added.get());
    throw;
  }
  general_constraints.push_back(std::move(added));
}

void ModelBuilder::forget_general_constraint_name(const std::string& name, std::int32_t index) {
  // Generated row names skip numbers taken by general constraints; this one may be free now.
  row_table.forget_taken_number(name);
  const auto shadowed = gc_shadowed_by_name.find(name);
  const auto named = gc_index_by_name.find(name);
  const bool found_by_name = named != gc_index_by_name.end() && named->second == index;
  if (shadowed != gc_shadowed_by_name.end()) {
    // One of this name is hidden: either this one, or the one that takes the entry over now.
    if (found_by_name) {
      for (std::int32_t other = general_constraint_count() - 1; other >= 0; --other) {
        if (other != index && general_constraints[static_cast<std::size_t>(other)]->name == name) {
          named->second = other;
          break;
        }
      }
    }
    if (--shadowed->second == 0) gc_shadowed_by_name.erase(shadowed);
    return;
  }
  if (found_by_name) gc_index_by_name.erase(named);
}

void ModelBuilder::remove_general_constraint(const GeneralConstraint& gc) {
  const auto found = gc_index_by_object.find(&gc);
  if (found == gc_index_by_object.end()) return;
  const std::int32_t index = found->second;
  const std::int32_t last = general_constraint_count() - 1;
  // Held until the store is consistent again: the caller's reference may be this one.
  const std::shared_ptr<GeneralConstraint> removed = general_constraints[static_cast<std::size_t>(index)];
  forget_general_constraint_name(removed->name, index);
  gc_index_by_object.erase(found);
  if (index != last) {
    std::shared_ptr<GeneralConstraint>& place = general_constraints[static_cast<std::size_t>(index)];
    place = std::move(general_constraints.back());
    gc_index_by_object[place.get()] = index;
    const auto named = gc_index_by_name.find(place->name);
    if (named != gc_index_by_name.end() && named->second == last) named->second = index;
  }
  general_constraints.pop_back();
}

void ModelBuilder::clear_general_constraints() noexcept {
  general_constraints.clear();
  gc_index_by_object.clear();
  gc_index_by_name.clear();
  gc_shadowed_by_name.clear();
}

void ModelBuilder::rename_general_constraint(GeneralConstraint& gc, const char* name) {
  const auto found = gc_index_by_object.find(&gc);
  if (found == gc_index_by_object.end()) return;
  const std::int32_t index = found->second;
  const std::string_view given = name ? std::string_view(name) : std::string_view();
  if (!given.empty() && given.front() == ' ') throw_catalogue_error(137);
  if (!given.empty() && given == gc.name && gc_index_by_name.count(gc.name) &&
      gc_index_by_name.find(gc.name)->second == index) {
    return;  // already its name, and the name finds it
  }
  std::string new_name;
  if (!given.empty() && !row_exists(given) && !general_constraint_named(given)) {
    new_name.assign(given);
  } else {
    new_name = make_unique_name(row_table, given.empty() ? std::string_view("GC") : given, true);
  }
  // The new entry first: once it is in, nothing below can fail.
  gc_index_by_name.emplace(new_name, index);
  forget_general_constraint_name(gc.name, index);
  gc.name = std::move(new_name);
}

}  // namespace velorium::cpp_impl
