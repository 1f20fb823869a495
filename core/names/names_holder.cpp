#include "core/names/names_holder.hpp"

#include <algorithm>
#include <bit>
#include <charconv>
#include <sys/mman.h>
#include <string>

#include "core/base/prefetch.hpp"
#include "core/names/fnv1a_hash.hpp"
#include "core/names/next_numbered_name.hpp"
#include "core/names/table_memory.hpp"

namespace velorium {

namespace {

// Fixed texts: the catalogue has no message for an exhausted pool.
constexpr const char* kPoolFullText = "The pool of names is full: no more than 2^31 names can be stored";
constexpr const char* kTextsFullText = "The pool of names is full: no more room for the texts of names";

}  // namespace

// Blocks for the texts of a pool's shards once they hold many names: carved from 2 MiB chunks
// in huge pages, shared by the shards, so that the first touch of the texts costs a page fault
// per 2 MiB instead of one per 4 KiB (on a virtual machine each fault of a fresh page costs
// several microseconds). Chunks live as long as the pool. Thread-safe.
class TextChunks {
 public:
  struct Block {
    char* bytes;
    std::size_t size;
  };

  // A block of `wanted` bytes, or the rest of the current chunk when that is smaller but holds
  // at least `needed`.
  Block take(std::size_t wanted, std::size_t needed) {
    std::lock_guard guard(lock_);
    if (left_ < needed) {
      chunks_.reserve(chunks_.size() + 1);  // so that the chunk is owned once it is made
      void* memory = allocate_huge_page_bytes(kChunkBytes);
      chunks_.emplace_back(static_cast<char*>(memory));
      cursor_ = static_cast<char*>(memory);
      left_ = kChunkBytes;
    }
    const Block block{cursor_, std::min(wanted, left_)};
    cursor_ += block.size;
    left_ -= block.size;
    return block;
  }

 private:
  static constexpr std::size_t kChunkBytes = std::size_t{2} << 20;

  std::mutex lock_;
  std::vector<TableArray<char>> chunks_;
  char* cursor_ = nullptr;
  std::size_t left_ = 0;
};

// The index tables of a pool's shards once they are large: the shards' tables of one size
// share a slab of 2 MiB pages or more in huge pages, a table per shard, so that filling them
// takes a page fault per 2 MiB (a shard's table alone stays below 2 MiB up to millions of
// names, and got 4 KiB pages). The shards hash alike and so grow at about the same time: a
// slab is freed once no shard's table is in it any more. Thread-safe.
class ShardTables {
 public:
  // `shard_count`: a power of two of at most 2 MiB.
  explicit ShardTables(std::size_t shard_count) : shard_count_(shard_count) {}

  // The smallest table taken from a slab: the slab of the tables of this size is 2 MiB.
  std::size_t smallest_table() const noexcept { return kHugePageBytes / shard_count_; }

  // The zero-filled table of `bytes` (a power of two of at least smallest_table()) for shard
  // `shard`; throws std::bad_alloc.
  void* take(std::size_t shard, std::size_t bytes) {
    const unsigned size_class = size_class_of(bytes);
    if (size_class >= kSizeClasses || bytes > static_cast<std::size_t>(-1) / shard_count_) throw std::bad_alloc();
    std::lock_guard guard(lock_);
    Slab& slab = slabs_[size_class];
    if (!slab.bytes) {
      const std::size_t slab_bytes = bytes * shard_count_;
      slab.bytes.reset(static_cast<char*>(allocate_huge_page_bytes(slab_bytes)));
    }
    ++slab.tables;
    char* table = slab.bytes.get() + shard * bytes;
    std::memset(table, 0, bytes);
    return table;
  }

  // Gives back `table`, of `bytes`, that `take` handed out. Its memory goes back to the system
  // at once, so that while the shards move to larger tables the old ones do not add up.
  void give_back(void* table, std::size_t bytes) noexcept {
    std::lock_guard guard(lock_);
    Slab& slab = slabs_[size_class_of(bytes)];
    if (--slab.tables == 0) {
      slab.bytes.reset();
    } else {
      ::madvise(table, bytes, MADV_DONTNEED);
    }
  }

 private:
  static constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;
  static constexpr unsigned kSizeClasses = 40;

  struct Slab {
    TableArray<char> bytes;
    std::size_t tables = 0;  // tables handed out and not given back
  };

  unsigned size_class_of(std::size_t bytes) const noexcept {
    return static_cast<unsigned>(std::countr_zero(bytes / smallest_table()));
  }

  const std::size_t shard_count_;
  std::mutex lock_;
  Slab slabs_[kSizeClasses];
};

namespace {

// Storage for the copies of names: large blocks filled from the front, so that interning
// costs no allocation per name. Blocks never move or shrink; the first blocks are small and
// come from the general allocator, so that a pool with few names stays small; from
// kChunkedBlock on they come from the pool's TextChunks, a sixteenth of the arena's text at
// most, so that the part of a block not yet filled (resident, in a huge page) stays small
// beside what is filled. Blocks are left unfilled: each of the 32 shards has a block in use,
// and zeroing its unused part would make that memory resident for nothing.
//
// A copy is also known by a 32-bit locator (its block and its place in it; never 0), which the
// index keeps: a look-up goes from the index slot to the text directly.
class TextArena {
 public:
  struct Copy {
    char* bytes;
    std::uint32_t locator;
  };

  void use_chunks(TextChunks* chunks) noexcept { chunks_ = chunks; }

  Copy allocate(std::size_t bytes) {
    if (bytes > kLargestBlock) {
      // A very long name fills a block of its own; the current block stays current.
      return {new_block(bytes), locator_of(blocks_.size() - 1, 0)};
    }
    if (bytes > room_) {
      std::size_t size = std::max(next_block_, bytes);
      if (chunks_ && size >= kChunkedBlock) {
        size = std::max(bytes, std::min(size, std::max(kChunkedBlock, filled_ / 16)));
        check_room_for_a_block();
        const TextChunks::Block block = chunks_->take(size, bytes);
        blocks_.push_back(block.bytes);
        cursor_ = block.bytes;
        size = block.size;
      } else {
        cursor_ = new_block(size);
      }
      current_ = blocks_.size() - 1;
      used_ = 0;
      room_ = size;
      next_block_ = std::min(next_block_ * 2, kLargestBlock);
    }
    const Copy copy{cursor_, locator_of(current_, used_)};
    cursor_ += bytes;
    used_ += bytes;
    room_ -= bytes;
    filled_ += bytes;
    return copy;
  }

  const char* at(std::uint32_t locator) const noexcept {
    return blocks_[(locator >> kOffsetBits) - 1] + (locator & ((1u << kOffsetBits) - 1));
  }

 private:
  static constexpr std::size_t kLargestBlock = 0x40000;
  static constexpr std::size_t kChunkedBlock = 0x10000;
  static constexpr unsigned kOffsetBits = 18;  // a place inside a block of kLargestBlock
  static constexpr std::size_t kMostBlocks = (std::size_t{1} << (32 - kOffsetBits)) - 1;

  static std::uint32_t locator_of(std::size_t block, std::size_t offset) noexcept {
    return static_cast<std::uint32_t>(((block + 1) << kOffsetBits) | offset);
  }
  void check_room_for_a_block() {
    if (blocks_.size() >= kMostBlocks) throw velorium_exception(-1, kTextsFullText);
    blocks_.reserve(blocks_.size() + 1);  // so that push_back cannot fail with the block made
  }
  char* new_block(std::size_t size) {
    check_room_for_a_block();
    owned_.reserve(owned_.size() + 1);
    owned_.push_back(std::make_unique_for_overwrite<char[]>(size));
    blocks_.push_back(owned_.back().get());
    return blocks_.back();
  }

  TextChunks* chunks_ = nullptr;
  std::vector<char*> blocks_;                    // by block number
  std::vector<std::unique_ptr<char[]>> owned_;  // the blocks not taken from chunks_
  std::size_t current_ = 0;  // the block being filled
  char* cursor_ = nullptr;
  std::size_t used_ = 0;
  std::size_t room_ = 0;
  std::size_t filled_ = 0;  // bytes of all copies so far
  std::size_t next_block_ = 4096;
};

// One slot of a shard's open-addressing index: the low 32 bits of the name's spread hash
// (which also give its home slot) and the locator of the stored copy (0 = empty slot).
struct IndexSlot {
  std::uint32_t hash;
  std::uint32_t text;
};

}  // namespace

struct alignas(64) VeloriumNamesHolder::Shard {
  std::mutex lock;
  // The slot table: `owned_slots` while it is small, else a table of `shared_tables`.
  TableArray<IndexSlot> owned_slots = allocate_table<IndexSlot>(kInitialSlots);
  IndexSlot* slots = owned_slots.get();
  std::uint32_t mask = kInitialSlots - 1;
  // Copies of the table's address and mask that a prefetch reads without the lock: a stale
  // pair only makes the prefetch useless, and a prefetch never faults.
  std::atomic<std::uintptr_t> slots_address{reinterpret_cast<std::uintptr_t>(slots)};
  std::atomic<std::uint32_t> mask_copy{kInitialSlots - 1};
  std::uint32_t used = 0;
  TextArena texts;
  ShardTables* shared_tables = nullptr;
  std::size_t number = 0;  // the shard's place among the pool's shards

  static constexpr std::uint32_t kInitialSlots = 64;

  // Doubles the slot table when one more name would fill more than half of it; true when it
  // did, so that slots found before are no longer valid.
  bool make_room() {
    if (std::size_t{used + 1} * 2 <= std::size_t{mask} + 1) return false;
    const std::uint32_t new_mask = mask * 2 + 1;
    const std::size_t new_bytes = (std::size_t{new_mask} + 1) * sizeof(IndexSlot);
    TableArray<IndexSlot> grown_owned;
    IndexSlot* grown;
    if (shared_tables && new_bytes >= shared_tables->smallest_table()) {
      grown = static_cast<IndexSlot*>(shared_tables->take(number, new_bytes));
    } else {
      grown_owned = allocate_table<IndexSlot>(std::size_t{new_mask} + 1);
      grown = grown_owned.get();
    }
    for (std::uint32_t i = 0; i <= mask; ++i) {
      if (slots[i].text == 0) continue;
      std::uint32_t at = slots[i].hash & new_mask;
      while (grown[at].text != 0) at = (at + 1) & new_mask;
      grown[at] = slots[i];
    }
    if (!owned_slots) shared_tables->give_back(slots, (std::size_t{mask} + 1) * sizeof(IndexSlot));
    owned_slots = std::move(grown_owned);
    slots = grown;
    mask = new_mask;
    slots_address.store(reinterpret_cast<std::uintptr_t>(slots), std::memory_order_relaxed);
    mask_copy.store(mask, std::memory_order_relaxed);
    return true;
  }
};

struct VeloriumNamesHolder::GeneratedNameCache {
  AppendOnlyTable<std::uint32_t> ids;
  std::atomic<std::uint32_t> size{0};
};

VeloriumNamesHolder::VeloriumNamesHolder(std::uint32_t max_names)
    : max_names_(std::min(max_names, kMaxNameCount)),
      text_chunks_(std::make_unique<TextChunks>()),
      shard_tables_(std::make_unique<ShardTables>(std::size_t{1} << kShardBits)),
      shards_(std::make_unique<Shard[]>(std::size_t{1} << kShardBits)),
      generated_(std::make_unique<GeneratedNameCache[]>(2)) {
  for (std::size_t i = 0; i < (std::size_t{1} << kShardBits); ++i) {
    shards_[i].texts.use_chunks(text_chunks_.get());
    shards_[i].shared_tables = shard_tables_.get();
    shards_[i].number = i;
  }
}

VeloriumNamesHolder::~VeloriumNamesHolder() = default;

VeloriumNamesHolder::Shard& VeloriumNamesHolder::shard_of(std::uint64_t spread_hash) const noexcept {
  return shards_[spread_hash >> (64 - kShardBits)];
}

namespace {

// Finds `name` in a shard's slots: its id plus one, or 0 with `*free_slot` set to the slot
// where it would go. A stored copy holds its length and its id ahead of the text.
std::uint32_t probe(const IndexSlot* slots, std::uint32_t mask, std::uint32_t hash, std::string_view name,
                    const TextArena& texts, std::uint32_t* free_slot) {
  for (std::uint32_t at = hash & mask;; at = (at + 1) & mask) {
    const IndexSlot& slot = slots[at];
    if (slot.text == 0) {
      if (free_slot) *free_slot = at;
      return 0;
    }
    if (slot.hash != hash) continue;
    const char* stored = texts.at(slot.text);
    std::uint32_t length, id;
    std::memcpy(&length, stored, sizeof length);
    std::memcpy(&id, stored + sizeof length, sizeof id);
    const char* bytes = stored + sizeof length + sizeof id;
    if (length == name.size() && (length == 0 || std::memcmp(bytes, name.data(), length) == 0)) return id + 1;
  }
}

}  // namespace

std::uint32_t VeloriumNamesHolder::reserve_id() {
  std::uint32_t id = count_.load(std::memory_order_relaxed);
  for (;;) {
    if (id >= max_names_) throw velorium_exception(-1, kPoolFullText);
    // The entry's segment exists before the id is taken, so a taken id is always filled.
    entries_.ensure(id);
    if (count_.compare_exchange_weak(id, id + 1, std::memory_order_acq_rel, std::memory_order_relaxed)) return id;
  }
}

std::uint32_t VeloriumNamesHolder::add_locked(Shard& shard, std::string_view name, std::uint64_t spread_hash,
                                              bool index_it, const std::uint32_t* known_free_slot) {
  // Everything that can fail comes before the id is taken, so a failure leaves no hole.
  if (index_it && shard.make_room()) known_free_slot = nullptr;
  if (name.size() > 0xFFFFFFFEu - kPrefix) throw std::bad_alloc();
  const auto length = static_cast<std::uint32_t>(name.size());
  const TextArena::Copy copy = shard.texts.allocate(kPrefix + name.size() + 1);
  const std::uint32_t id = reserve_id();

  char* stored = copy.bytes;
  std::memcpy(stored, &length, sizeof length);
  std::memcpy(stored + sizeof length, &id, sizeof id);
  if (!name.empty()) std::memcpy(stored + kPrefix, name.data(), name.size());
  stored[kPrefix + name.size()] = '\0';
  entries_.store(id, stored);

  if (index_it) {
    std::uint32_t free_slot = known_free_slot ? *known_free_slot : 0;
    if (known_free_slot || find_locked(shard, name, spread_hash, &free_slot) == 0) {
      shard.slots[free_slot] = {static_cast<std::uint32_t>(spread_hash), copy.locator};
      ++shard.used;
    }
  }
  return id;
}

std::uint32_t VeloriumNamesHolder::find_locked(const Shard& shard, std::string_view name,
                                               std::uint64_t spread_hash, std::uint32_t* free_slot) const {
  return probe(shard.slots, shard.mask, static_cast<std::uint32_t>(spread_hash), name, shard.texts, free_slot);
}

VeloriumNamesHolder::HashedName VeloriumNamesHolder::hash_name(std::string_view name) noexcept {
  return {name, spread_hash_bits(fnv1a_hash(name))};
}

VeloriumNamesHolder::HashedNameAndNext VeloriumNamesHolder::hash_name_and_next(std::string_view name) noexcept {
  const NumberedNameHashes hashes = numbered_name_hashes(name);
  return {{name, spread_hash_bits(hashes.name)}, hashes.has_next ? spread_hash_bits(hashes.next) : 0, hashes.has_next};
}

std::uint32_t VeloriumNamesHolder::find_or_add_name(std::string_view name) { return find_or_add_name(hash_name(name)); }

std::uint32_t VeloriumNamesHolder::find_or_add_name(const HashedName& name) {
  Shard& shard = shard_of(name.spread_hash);
  std::lock_guard guard(shard.lock);
  std::uint32_t free_slot = 0;
  const std::uint32_t found = find_locked(shard, name.text, name.spread_hash, &free_slot);
  if (found != 0) return found - 1;
  return add_locked(shard, name.text, name.spread_hash, true, &free_slot);
}

std::uint32_t VeloriumNamesHolder::add_name(std::string_view name) {
  const std::uint64_t spread = spread_hash_bits(fnv1a_hash(name));
  Shard& shard = shard_of(spread);
  std::lock_guard guard(shard.lock);
  return add_locked(shard, name, spread, true);
}

std::int32_t VeloriumNamesHolder::find_name(std::string_view name) const {
  const std::uint64_t spread = spread_hash_bits(fnv1a_hash(name));
  Shard& shard = shard_of(spread);
  std::lock_guard guard(shard.lock);
  return static_cast<std::int32_t>(find_locked(shard, name, spread, nullptr)) - 1;
}

void VeloriumNamesHolder::prefetch_name(std::string_view name) const { prefetch_name(hash_name(name)); }

void VeloriumNamesHolder::prefetch_hash(std::uint64_t spread_hash) const noexcept {
  const Shard& shard = shard_of(spread_hash);
  const std::uintptr_t slots = shard.slots_address.load(std::memory_order_relaxed);
  const std::uint32_t at = static_cast<std::uint32_t>(spread_hash) & shard.mask_copy.load(std::memory_order_relaxed);
  prefetchForRead(reinterpret_cast<const void*>(slots + std::uintptr_t{at} * sizeof(IndexSlot)));
}

std::uint32_t VeloriumNamesHolder::get_generated_name(GeneratedPrefix prefix, std::uint32_t k) {
  GeneratedNameCache& cache = generated_[prefix == GeneratedPrefix::column ? 0 : 1];
  if (k < cache.size.load(std::memory_order_acquire)) return cache.ids.load(k);

  std::lock_guard guard(generated_lock_);
  char text[16] = {prefix == GeneratedPrefix::column ? 'x' : 'C', '#'};
  for (std::uint32_t n = cache.size.load(std::memory_order_relaxed); n <= k; ++n) {
    const auto end = std::to_chars(text + 2, text + sizeof text, n).ptr;
    const std::uint32_t id = find_or_add_name(std::string_view(text, static_cast<std::size_t>(end - text)));
    cache.ids.ensure(n);
    cache.ids.store(n, id);
    cache.size.store(n + 1, std::memory_order_release);
  }
  // The next call mostly asks for k + 1: its slot is asked for ahead.
  const auto next_end = std::to_chars(text + 2, text + sizeof text, k + 1).ptr;
  prefetch_name(std::string_view(text, static_cast<std::size_t>(next_end - text)));
  return cache.ids.load(k);
}

}  // namespace velorium
