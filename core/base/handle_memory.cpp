#include "core/base/handle_memory.hpp"

#include <sanitizer/asan_interface.h>
#include <sys/mman.h>

#include <atomic>
#include <cstring>
#include <new>
#include <type_traits>

namespace velorium::cpp_impl {

namespace {

constexpr std::size_t kHeaderBytes = 64;

// A slab's memory at its own alignment: twice the size mapped, the rest given back.
void* map_aligned(std::size_t bytes) {
  void* region = ::mmap(nullptr, 2 * bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (region == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(region);
  const std::uintptr_t aligned = (start + bytes - 1) / bytes * bytes;
  if (aligned > start) ::munmap(region, aligned - start);
  const std::uintptr_t tail = aligned + bytes;
  if (start + 2 * bytes > tail) ::munmap(reinterpret_cast<void*>(tail), start + 2 * bytes - tail);
  return reinterpret_cast<void*>(aligned);
}

}  // namespace

struct HandleMemory::Slab {
  Shard* owner;
  void* released = nullptr;  // released blocks; each holds the address of the next
  std::uint32_t live = 0;       // blocks handed out and not released
  std::uint32_t untouched = 0;  // the first block never handed out
  std::uint32_t capacity;
  std::uint32_t used_bytes;  // of the mapping, the header included
  bool listed = false;       // in the owner's slabs with room
  Slab* previous = nullptr;
  Slab* next = nullptr;

  Slab(Shard* shard, std::size_t bytes, std::size_t block_size) noexcept
      : owner(shard),
        capacity(static_cast<std::uint32_t>((bytes - kHeaderBytes) / block_size)),
        used_bytes(static_cast<std::uint32_t>(bytes)) {}
  char* blocks() noexcept { return reinterpret_cast<char*>(this) + kHeaderBytes; }
  bool full() const noexcept { return released == nullptr && untouched == capacity; }
};

HandleMemory::Shard& HandleMemory::shard_of_this_thread() noexcept {
  static std::atomic<unsigned> next_shard{0};
  thread_local const unsigned shard = next_shard.fetch_add(1, std::memory_order_relaxed) % kShards;
  return shards_[shard];
}

void HandleMemory::link_first(Shard& shard, Slab& slab) noexcept {
  slab.previous = nullptr;
  slab.next = shard.with_room;
  if (slab.next) slab.next->previous = &slab;
  shard.with_room = &slab;
  slab.listed = true;
}

void HandleMemory::unlink(Shard& shard, Slab& slab) noexcept {
  if (slab.previous) {
    slab.previous->next = slab.next;
  } else {
    shard.with_room = slab.next;
  }
  if (slab.next) slab.next->previous = slab.previous;
  slab.previous = slab.next = nullptr;
  slab.listed = false;
}

HandleMemory::Slab* HandleMemory::map_slab(Shard& shard) {
  static_assert(sizeof(Slab) <= kHeaderBytes);
  void* memory = map_aligned(kSlabBytes);
  // A shard that filled a slab before is building something large.
  const bool large = shard.slabs > 0;
  if (large) ::madvise(memory, kSlabBytes, MADV_HUGEPAGE);  // advice: ordinary pages where declined
  auto* slab = ::new (memory) Slab(&shard, large ? kSlabBytes : kFirstSlabBytes, block_size_);
  ASAN_POISON_MEMORY_REGION(slab->blocks(), slab->used_bytes - kHeaderBytes);
  ++shard.slabs;
  link_first(shard, *slab);
  return slab;
}

void* HandleMemory::allocate() {
  // Serialised callers need no spreading over the shards (nor the look-up of this thread's).
  Shard& shard = locked_ ? shard_of_this_thread() : shards_[0];
  std::unique_lock guard(shard.lock, std::defer_lock);
  if (locked_) guard.lock();
  Slab* slab = shard.with_room ? shard.with_room : map_slab(shard);
  void* block;
  if (slab->released) {
    block = slab->released;
    ASAN_UNPOISON_MEMORY_REGION(block, sizeof(void*));
    std::memcpy(&slab->released, block, sizeof(void*));
  } else {
    block = slab->blocks() + std::size_t{slab->untouched} * block_size_;
    ++slab->untouched;
  }
  ASAN_UNPOISON_MEMORY_REGION(block, block_size_);
  ++slab->live;
  ++shard.live;
  if (slab->full()) unlink(shard, *slab);
  return block;
}

void HandleMemory::release(void* block) noexcept {
  auto* slab = reinterpret_cast<Slab*>(reinterpret_cast<std::uintptr_t>(block) & ~(kSlabBytes - 1));
  Shard& shard = *slab->owner;
  std::unique_lock guard(shard.lock, std::defer_lock);
  if (locked_) guard.lock();
  // Under AddressSanitizer a block released twice is poisoned already: this write reports it.
  std::memcpy(block, &slab->released, sizeof(void*));
  ASAN_POISON_MEMORY_REGION(block, block_size_);
  slab->released = block;
  --slab->live;
  --shard.live;
  if (!slab->listed) link_first(shard, *slab);
  if (slab->live == 0 && (slab->previous || slab->next)) {
    // Other slabs have room: this one goes back to the system.
    unlink(shard, *slab);
    --shard.slabs;
    ASAN_UNPOISON_MEMORY_REGION(slab->blocks(), slab->used_bytes - kHeaderBytes);
    ::munmap(slab, kSlabBytes);
  }
}

std::size_t HandleMemory::sum_over_shards(std::size_t Shard::*count) const noexcept {
  std::size_t sum = 0;
  for (const Shard& shard : shards_) {
    std::lock_guard guard(shard.lock);
    sum += shard.*count;
  }
  return sum;
}

namespace {

constexpr std::size_t kLargestPooled = 96;

// One per block size of 8 to 96 bytes. Constant-initialised and never destroyed, so a handle
// released during or after the library's teardown still finds its memory.
constinit HandleMemory handle_memories[kLargestPooled / 8] = {
    HandleMemory(8),  HandleMemory(16), HandleMemory(24), HandleMemory(32), HandleMemory(40), HandleMemory(48),
    HandleMemory(56), HandleMemory(64), HandleMemory(72), HandleMemory(80), HandleMemory(88), HandleMemory(96)};
static_assert(std::is_trivially_destructible_v<HandleMemory>);

}  // namespace

void* allocate_handle(std::size_t size) {
  if (size == 0 || size > kLargestPooled) return ::operator new(size);
  return handle_memories[(size - 1) / 8].allocate();
}

void release_handle(void* block, std::size_t size) noexcept {
  if (!block) return;
  if (size == 0 || size > kLargestPooled) {
    ::operator delete(block);  // unsized: not every compiler here enables sized deallocation
    return;
  }
  handle_memories[(size - 1) / 8].release(block);
}

}  // namespace velorium::cpp_impl
