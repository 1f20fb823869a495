// The pool of interned names: every member name of every model is stored once and referred
// to by a dense 32-bit id.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "core/names/append_only_table.hpp"
#include "velorium/velorium.hpp"

namespace velorium {

class TextChunks;
class ShardTables;

// Ids are handed out 0, 1, 2, ... in the order of addition and are never removed, reused or
// renumbered; the text of an id stays at one address for the life of the pool. Holders keep
// ids as signed 32-bit values in which any negative value means "no name".
//
// Additions, look-ups and id-to-text conversions may run on any number of threads at once.
// The index is split into shards by hash, each with its own lock and text storage, so that
// two threads interning different names rarely meet; turning an id into text takes no lock.
class VeloriumNamesHolder {
 public:
  // Ids must fit a non-negative signed 32-bit value.
  static constexpr std::uint32_t kMaxNameCount = 0x80000000u;

  enum class GeneratedPrefix { column, row };  // "x#" and "C#"

  // `max_names` below kMaxNameCount lets tests reach the id limit.
  explicit VeloriumNamesHolder(std::uint32_t max_names = kMaxNameCount);
  ~VeloriumNamesHolder();
  VeloriumNamesHolder(const VeloriumNamesHolder&) = delete;
  VeloriumNamesHolder& operator=(const VeloriumNamesHolder&) = delete;

  // A name with its hash worked out once, for a caller that asks for a name's slot ahead
  // (prefetch_name) and looks the name up later.
  struct HashedName {
    std::string_view text;
    std::uint64_t spread_hash;
  };
  static HashedName hash_name(std::string_view name) noexcept;
  // A name hashed with, in the same pass, the spread hash of the name that follows it in a
  // numbered run (x7 -> x8; next_numbered_name.hpp), for prefetch_hash: a program that adds
  // members one call at a time mostly names them so, and its next call then finds its slot in
  // the cache instead of waiting on memory for it.
  struct HashedNameAndNext {
    HashedName name;
    std::uint64_t next_spread_hash;
    bool has_next;  // false for a name that ends in no decimal digit
  };
  static HashedNameAndNext hash_name_and_next(std::string_view name) noexcept;

  // The id under which `name` is in the index; adds the name when it is not there.
  std::uint32_t find_or_add_name(std::string_view name);
  std::uint32_t find_or_add_name(const HashedName& name);
  // Appends `name` as a new entry without looking for it first. The index keeps the first id
  // of a text, so a repeated text added here is reachable only by its number. Never for a
  // model's member names: the remote solve's check that names are written unchanged counts
  // on one id per text.
  std::uint32_t add_name(std::string_view name);
  // The id under which `name` is in the index, or -1; never adds.
  std::int32_t find_name(std::string_view name) const;
  // Asks the processor in advance for the index slot where `name` will be looked up, so that
  // a caller who knows its next names (a file reader) overlaps the waits on memory.
  // Takes no lock: the slot asked for may be stale when another thread grows the index.
  void prefetch_name(std::string_view name) const;
  void prefetch_name(const HashedName& name) const noexcept { prefetch_hash(name.spread_hash); }
  // The same for the name of a spread hash.
  void prefetch_hash(std::uint64_t spread_hash) const noexcept;
  // All three throw velorium_exception (-1) once the id limit is reached, and std::bad_alloc
  // when memory runs out; the pool is unchanged by a failed addition.

  // The stored NUL-terminated text of `id`, or null for a negative or unknown id.
  const char* names_holder_get(std::int32_t id) const noexcept {
    if (id < 0 || static_cast<std::uint32_t>(id) >= count_.load(std::memory_order_acquire)) return nullptr;
    const char* stored = entries_.load(static_cast<std::uint32_t>(id));
    return stored ? stored + kPrefix : nullptr;
  }
  // The same text with its length (embedded NULs included); an empty view with a null data
  // pointer for a negative or unknown id.
  std::string_view name_view(std::int32_t id) const noexcept {
    const char* text = names_holder_get(id);
    if (!text) return {};
    std::uint32_t length;
    std::memcpy(&length, text - kPrefix, sizeof length);
    return {text, length};
  }

  // The id of the generated name prefix + decimal(k); the names for 0..k are interned in
  // order the first time, so the cache never has holes.
  std::uint32_t get_generated_name(GeneratedPrefix prefix, std::uint32_t k);

  // The number of entries (the next id to be handed out).
  std::uint32_t size() const noexcept { return count_.load(std::memory_order_acquire); }

 private:
  // A stored copy: its length (32 bits), its id (32 bits), the bytes and a NUL.
  static constexpr std::size_t kPrefix = 2 * sizeof(std::uint32_t);
  static constexpr unsigned kShardBits = 5;

  struct Shard;
  struct GeneratedNameCache;

  Shard& shard_of(std::uint64_t spread_hash) const noexcept;
  // `known_free_slot`, when given, is where a look-up under the same lock found the name missing.
  std::uint32_t add_locked(Shard& shard, std::string_view name, std::uint64_t spread_hash, bool index_it,
                           const std::uint32_t* known_free_slot = nullptr);
  std::uint32_t reserve_id();
  // The id plus one of `name` in a locked shard, or 0 with `*free_slot` (when given) set to
  // the slot where it would go.
  std::uint32_t find_locked(const Shard& shard, std::string_view name, std::uint64_t spread_hash,
                            std::uint32_t* free_slot) const;

  const std::uint32_t max_names_;
  std::atomic<std::uint32_t> count_{0};
  // id -> stored copy; the id's text starts behind the prefix.
  AppendOnlyTable<const char*> entries_;
  // Memory for the shards' texts once they are many; before shards_, which use it.
  std::unique_ptr<TextChunks> text_chunks_;
  // The shards' large index tables; before shards_, which use them.
  std::unique_ptr<ShardTables> shard_tables_;
  std::unique_ptr<Shard[]> shards_;
  std::unique_ptr<GeneratedNameCache[]> generated_;
  std::mutex generated_lock_;  // held while a generated-name cache grows
};

// The process-wide pool for code that cannot go on without it: throws catalogue message 109
// once the library's process-wide state has been torn down.
VeloriumNamesHolder& names_pool();

}  // namespace velorium
