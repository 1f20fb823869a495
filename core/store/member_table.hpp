// The member table of the model store: turns an append-only record sequence (the rows or the
// variables of the working model) into members that can be removed, found by position or by
// name, and renamed, without ever moving a record.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/names/fnv1a_hash.hpp"
#include "core/names/name_index_map.hpp"
#include "core/records/constraint.hpp"
#include "core/records/variable.hpp"
#include "core/store/taken_numbers.hpp"

namespace velorium {
class VeloriumNamesHolder;
}

namespace velorium::cpp_impl {

// The name id field of a record.
inline std::int32_t& name_id_of(Variable& record) { return record.name_id; }
inline std::int32_t name_id_of(const Variable& record) { return record.name_id; }
inline std::int32_t& name_id_of(Constraint& record) { return record.expression.name_id; }
inline std::int32_t name_id_of(const Constraint& record) { return record.expression.name_id; }

// A store index is a member's place in `records`, fixed for its life; a position is its place
// among the live members (`active`). Removing a member moves the last live member into its
// position. Failures are velorium_exception with code -1 and a catalogue text.
//
// Until the first removal every position is its member's store index and `removed`, `active`
// and `position_of` stay empty: a model that is only added to pays nothing for them. The first
// removal fills them (once, O(records)); the accessors below answer in both states.
template <class Record>
struct MemberTable {
  explicit MemberTable(std::vector<Record>& table_records) : records(table_records) { reset(); }
  MemberTable(const MemberTable&) = delete;
  MemberTable& operator=(const MemberTable&) = delete;

  // The name index: pool id of a name -> store index; built on first use, then kept up by
  // every change. With duplicate names (files may hold them) it holds the last member of a
  // name. Keyed on ids, as every member's name id is the pool's id of its text (the pool's
  // find_or_add_name), so a name costs one look-up of its text in the pool.
  NameIndexMap name_index;
  std::atomic<bool> name_index_built{false};
  std::mutex name_index_lock;
  // Every member so far got a generated default name in one uninterrupted run.
  bool default_names_only = true;
  std::string default_prefix;  // the prefix of that run ("x" or "C"); empty until its first member
  std::int32_t removed_count = 0;
  // Filled while removed_count is not 0 (see above):
  std::vector<std::uint8_t> removed;      // per store index: 1 removed, 0 live
  std::vector<std::int32_t> active;       // position -> store index, live members only
  std::vector<std::int32_t> position_of;  // store index -> position; -1 when removed
  std::vector<Record>& records;

  // All records live again, no index, default names only when there are no records.
  void reset();
  // Marks every record removed; the records stay, every store index fails with 111 afterwards.
  void remove_all();

  std::int32_t live_count() const noexcept { return record_count() - removed_count; }
  std::int32_t record_count() const noexcept { return static_cast<std::int32_t>(records.size()); }
  // The store index at a live position (110 outside the live positions).
  std::int32_t at_position(std::int32_t position) const;
  // For a store index inside the records: whether it is removed, and its position (-1 when removed).
  bool is_removed(std::int32_t store_index) const noexcept {
    return removed_count != 0 && removed[static_cast<std::size_t>(store_index)] != 0;
  }
  std::int32_t position_of_index(std::int32_t store_index) const noexcept {
    return removed_count == 0 ? store_index : position_of[static_cast<std::size_t>(store_index)];
  }
  // The store indices of the live positions, or null while every position is its store index.
  const std::int32_t* live_store_indices() const noexcept { return removed_count == 0 ? nullptr : active.data(); }
  // Room for `count` more members, so that as many appends cannot fail half-way through.
  void reserve_more_members(std::size_t count);
  // The record of a live store index (110 out of range, 111 removed).
  Record& record(std::int32_t store_index);
  const Record& record(std::int32_t store_index) const;
  // Whether a member is removed; 110 for an index outside the records.
  bool is_removed_checked(std::int32_t store_index) const;

  // Builds the name index once; safe when two threads ask for the first time at once.
  // In line, since every look-up by name passes here.
  void ensure_index(const VeloriumNamesHolder& pool) {
    if (!name_index_built.load(std::memory_order_acquire)) build_index(pool);
  }
  // After ensure_index: the store index of the live member named `name`, or null.
  const std::int32_t* find(const VeloriumNamesHolder& pool, std::string_view name) const;
  // After ensure_index: the store index of the live member whose name has the pool id
  // `name_id`, or null (also for a negative id).
  const std::int32_t* find_id(std::int32_t name_id) const noexcept {
    return name_id < 0 ? nullptr : name_index.find(static_cast<std::uint32_t>(name_id));
  }
  bool has_name(const VeloriumNamesHolder& pool, std::string_view name);

  // Appends a record named `name_id`; returns its store index.
  std::int32_t append(Record&& record, std::int32_t name_id, const VeloriumNamesHolder& pool);
  // Gives a live member a new name, keeping the index up to date.
  void rename(std::int32_t store_index, std::int32_t name_id, const VeloriumNamesHolder& pool);
  // Removes a member: 110 for an index outside the records (checked first), nothing for a
  // member already removed; otherwise O(1): a flag and a swap in `active`.
  void remove(std::int32_t store_index, const VeloriumNamesHolder& pool);

  // base + "#" + k for the first k from the live count on such that the name is free in this
  // table and, when given, `also_taken` does not report it taken. Amortised O(1): the numbers
  // found taken are remembered per base and forgotten when a name of that form is freed.
  std::string make_unique_name(const VeloriumNamesHolder& pool, std::string_view base,
                               const std::function<bool(std::string_view)>& also_taken = {});
  // The same name, interned: its pool id.
  std::int32_t make_unique_name_id(VeloriumNamesHolder& pool, std::string_view base,
                                   const std::function<bool(std::string_view)>& also_taken = {});
  // A name of the form base#k was freed outside this table (a general constraint's, which
  // `also_taken` reports): k is worth a look again.
  void forget_taken_number(std::string_view name) noexcept;

 private:
  void build_index(const VeloriumNamesHolder& pool);
  // Offers base#k, k from the live count on (numbers known to be taken skipped), to `claim`
  // until it takes one; numbers it refuses are remembered as taken.
  template <class Claim>
  void claim_unique_name(const VeloriumNamesHolder& pool, std::string_view base, bool with_test, Claim&& claim);
  void index_erase(const VeloriumNamesHolder& pool, std::int32_t name_id, std::int32_t store_index) noexcept;

  // Per base and kind of test: the numbers known to be taken. Dropped with the index.
  std::unordered_map<std::string, TakenNumbers, Fnv1aHash, std::equal_to<>> taken_numbers_;
  std::unordered_map<std::string, TakenNumbers, Fnv1aHash, std::equal_to<>> taken_numbers_with_test_;
};

extern template struct MemberTable<Variable>;
extern template struct MemberTable<Constraint>;

}  // namespace velorium::cpp_impl
