#include "core/store/member_table.hpp"

#include <charconv>
#include <limits>
#include <numeric>
#include <stdexcept>

#include "core/base/catalogue_error.hpp"
#include "core/names/names_holder.hpp"
#include "core/store/reserve_one_more.hpp"
#include "core/text/number_text.hpp"

namespace velorium::cpp_impl {

namespace {

// Splits "base#k" (k in plain decimal, as generated names are written) into base and k.
bool split_generated_name(std::string_view name, std::string_view& base, std::uint32_t& number) noexcept {
  const std::size_t hash = name.rfind('#');
  if (hash == std::string_view::npos) return false;
  const std::string_view digits = name.substr(hash + 1);
  if (digits.empty() || digits.size() > 10 || (digits.size() > 1 && digits[0] == '0')) return false;
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size() || value > std::numeric_limits<std::uint32_t>::max()) {
    return false;
  }
  base = name.substr(0, hash);
  number = static_cast<std::uint32_t>(value);
  return true;
}

// Whether `name_id` names a text of the pool: the ids the name index keeps.
bool is_pooled(const VeloriumNamesHolder& pool, std::int32_t name_id) noexcept {
  return pool.names_holder_get(name_id) != nullptr;
}

}  // namespace

template <class Record>
void MemberTable<Record>::reset() {
  removed_count = 0;
  removed.clear();
  active.clear();
  position_of.clear();
  name_index.clear();
  name_index_built.store(false, std::memory_order_release);
  default_names_only = records.empty();
  default_prefix.clear();
  taken_numbers_.clear();
  taken_numbers_with_test_.clear();
}

template <class Record>
void MemberTable<Record>::remove_all() {
  name_index.clear();
  name_index_built.store(false, std::memory_order_release);
  default_names_only = false;
  removed.assign(records.size(), 1);
  removed_count = record_count();
  active.clear();
  position_of.assign(records.size(), -1);
  taken_numbers_.clear();
  taken_numbers_with_test_.clear();
}

template <class Record>
std::int32_t MemberTable<Record>::at_position(std::int32_t position) const {
  if (position < 0 || position >= live_count()) throw_catalogue_error(110, position);
  return removed_count == 0 ? position : active[static_cast<std::size_t>(position)];
}

template <class Record>
void MemberTable<Record>::reserve_more_members(std::size_t count) {
  reserve_more(records, count);
  if (removed_count == 0) return;
  reserve_more(removed, count);
  reserve_more(position_of, count);
  reserve_more(active, count);
}

template <class Record>
Record& MemberTable<Record>::record(std::int32_t store_index) {
  if (store_index < 0 || store_index >= record_count()) throw_catalogue_error(110, store_index);
  if (is_removed(store_index)) throw_catalogue_error(111, store_index);
  return records[static_cast<std::size_t>(store_index)];
}

template <class Record>
const Record& MemberTable<Record>::record(std::int32_t store_index) const {
  return const_cast<MemberTable*>(this)->record(store_index);
}

template <class Record>
bool MemberTable<Record>::is_removed_checked(std::int32_t store_index) const {
  if (store_index < 0 || store_index >= record_count()) throw_catalogue_error(110, store_index);
  return is_removed(store_index);
}

template <class Record>
void MemberTable<Record>::build_index(const VeloriumNamesHolder& pool) {
  std::lock_guard guard(name_index_lock);
  if (name_index_built.load(std::memory_order_relaxed)) return;
  name_index.clear();
  for (std::int32_t position = 0; position < live_count(); ++position) {
    const std::int32_t store_index = at_position(position);
    const std::int32_t name_id = name_id_of(records[static_cast<std::size_t>(store_index)]);
    if (is_pooled(pool, name_id)) name_index.assign(static_cast<std::uint32_t>(name_id), store_index);
  }
  name_index_built.store(true, std::memory_order_release);
}

template <class Record>
const std::int32_t* MemberTable<Record>::find(const VeloriumNamesHolder& pool, std::string_view name) const {
  // A text the pool does not hold is no member's name.
  return find_id(pool.find_name(name));
}

template <class Record>
bool MemberTable<Record>::has_name(const VeloriumNamesHolder& pool, std::string_view name) {
  ensure_index(pool);
  return find(pool, name) != nullptr;
}

template <class Record>
void MemberTable<Record>::index_erase(const VeloriumNamesHolder& pool, std::int32_t name_id,
                                      std::int32_t store_index) noexcept {
  // With duplicate names the index may point at another member of the same name; that
  // member keeps the name.
  if (!is_pooled(pool, name_id)) return;
  if (name_index.erase_if_maps_to(static_cast<std::uint32_t>(name_id), store_index)) {
    forget_taken_number(pool.name_view(name_id));
  }
}

template <class Record>
void MemberTable<Record>::forget_taken_number(std::string_view name) noexcept {
  if (taken_numbers_.empty() && taken_numbers_with_test_.empty()) return;
  std::string_view base;
  std::uint32_t number = 0;
  if (!split_generated_name(name, base, number)) return;
  for (auto* memory : {&taken_numbers_, &taken_numbers_with_test_}) {
    const auto found = memory->find(base);
    if (found != memory->end()) found->second.unmark(number);
  }
}

template <class Record>
std::int32_t MemberTable<Record>::append(Record&& record_to_add, std::int32_t name_id, const VeloriumNamesHolder& pool) {
  if (records.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw std::length_error("too many members in one model");
  }
  const auto store_index = record_count();
  reserve_one_more(records);
  if (removed_count != 0) {
    reserve_one_more(removed);
    reserve_one_more(position_of);
    reserve_one_more(active);
  }
  if (name_index_built.load(std::memory_order_relaxed) && is_pooled(pool, name_id)) {
    name_index.assign(static_cast<std::uint32_t>(name_id), store_index);
  }
  // Nothing below can fail.
  name_id_of(record_to_add) = name_id;
  records.push_back(std::move(record_to_add));
  if (removed_count != 0) {
    removed.push_back(0);
    position_of.push_back(live_count() - 1);
    active.push_back(store_index);
  }
  return store_index;
}

template <class Record>
void MemberTable<Record>::rename(std::int32_t store_index, std::int32_t name_id, const VeloriumNamesHolder& pool) {
  Record& renamed = record(store_index);
  if (name_index_built.load(std::memory_order_relaxed)) {
    name_index.reserve(name_index.size() + 1);  // so the insertion below cannot fail after the erasure
    index_erase(pool, name_id_of(renamed), store_index);
    if (is_pooled(pool, name_id)) name_index.assign(static_cast<std::uint32_t>(name_id), store_index);
  }
  name_id_of(renamed) = name_id;
  default_names_only = false;
}

template <class Record>
void MemberTable<Record>::remove(std::int32_t store_index, const VeloriumNamesHolder& pool) {
  if (is_removed_checked(store_index)) return;
  const auto index = static_cast<std::size_t>(store_index);
  if (removed_count == 0) {
    // The first removal: the tables of live members now differ from the identity.
    const std::size_t count = records.size();
    std::vector<std::uint8_t> no_removals(count, 0);
    std::vector<std::int32_t> identity(count);
    std::iota(identity.begin(), identity.end(), 0);
    position_of = identity;
    active = std::move(identity);
    removed = std::move(no_removals);
  }
  if (name_index_built.load(std::memory_order_relaxed)) index_erase(pool, name_id_of(records[index]), store_index);
  removed[index] = 1;
  ++removed_count;
  const std::int32_t position = position_of[index];
  const std::int32_t last = active.back();
  active[static_cast<std::size_t>(position)] = last;
  position_of[static_cast<std::size_t>(last)] = position;
  position_of[index] = -1;
  active.pop_back();
}

template <class Record>
template <class Claim>
void MemberTable<Record>::claim_unique_name(const VeloriumNamesHolder& pool, std::string_view base, bool with_test,
                                            Claim&& claim) {
  ensure_index(pool);
  auto& memories = with_test ? taken_numbers_with_test_ : taken_numbers_;
  const auto start = static_cast<std::uint32_t>(live_count());
  auto found = memories.find(base);
  if (found == memories.end()) found = memories.emplace(std::string(base), TakenNumbers(start)).first;
  TakenNumbers& taken = found->second;

  std::string candidate;
  candidate.reserve(base.size() + 12);
  candidate.append(base).push_back('#');
  const std::size_t stem = candidate.size();
  // Only numbers seen taken are marked; a marked number is unmarked when its name is freed,
  // so the first unmarked number is the first candidate worth a look-up.
  for (std::uint64_t k = start;; ++k) {
    k = taken.first_unmarked_from(static_cast<std::uint32_t>(k));
    candidate.resize(stem);
    appendDecimal(candidate, k);
    if (claim(candidate)) return;
    taken.mark(static_cast<std::uint32_t>(k));
  }
}

template <class Record>
std::string MemberTable<Record>::make_unique_name(const VeloriumNamesHolder& pool, std::string_view base,
                                                  const std::function<bool(std::string_view)>& also_taken) {
  std::string result;
  claim_unique_name(pool, base, static_cast<bool>(also_taken), [&](const std::string& candidate) {
    if (find(pool, candidate) || (also_taken && also_taken(candidate))) return false;
    result = candidate;
    return true;
  });
  return result;
}

template <class Record>
std::int32_t MemberTable<Record>::make_unique_name_id(VeloriumNamesHolder& pool, std::string_view base,
                                                      const std::function<bool(std::string_view)>& also_taken) {
  std::int32_t result = -1;
  claim_unique_name(pool, base, static_cast<bool>(also_taken), [&](const std::string& candidate) {
    // Interned only once the second test has passed: a name taken by a member is pooled already.
    if (also_taken && also_taken(candidate)) return false;
    const auto name_id = static_cast<std::int32_t>(pool.find_or_add_name(candidate));
    if (find_id(name_id)) return false;
    result = name_id;
    return true;
  });
  return result;
}

template struct MemberTable<Variable>;
template struct MemberTable<Constraint>;

}  // namespace velorium::cpp_impl
