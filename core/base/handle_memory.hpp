// Memory for the small handle objects that models hand out by the million (variables,
// constraints): blocks of one size carved from large slabs, so that a handle costs no
// allocator header and no trip through the general allocator, and the memory goes back to the
// system as soon as the handles of a slab are all released, whatever else the process keeps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>

namespace velorium::cpp_impl {

// Blocks of `block_size` bytes (a multiple of 8), 8-byte aligned. Every slab is mapped from
// the system at an alignment of kSlabBytes, so a block finds its slab by its address. A
// shard's first slab uses kFirstSlabBytes of it in ordinary pages, so that a program with few
// handles keeps little; the slabs after it use all of it in a huge page, where the system
// grants one: fresh memory costs a page fault per page, and one per 2 MiB is far cheaper than
// 512 (on a virtual machine above all, where the host backs each page on first touch).
// Thread-safe unless made for serialised callers: a thread takes its blocks from one of
// kShards shards (each with a lock of its own), and a block goes back to the shard of its
// slab, whichever thread releases it.
//
// A slab whose blocks are all released is unmapped, except one per shard while it is that
// shard's only slab with room (so that taking and releasing one handle at a time does not map
// and unmap a slab each time). The object never needs destroying: handles released late (a
// host's exit handler) still find it, and it owns nothing the system does not reclaim at exit.
class HandleMemory {
 public:
  static constexpr std::size_t kSlabBytes = std::size_t{2} << 20;
  static constexpr std::size_t kFirstSlabBytes = std::size_t{256} << 10;
  static constexpr unsigned kShards = 8;

  // Whether the callers may use the memory from several threads at once, or serialise every
  // use themselves (as the interpreter's lock does for the Python module's objects): the
  // shards' locks are taken for the first only.
  enum class Callers { concurrent, serialised };

  explicit constexpr HandleMemory(std::size_t block_size, Callers callers = Callers::concurrent) noexcept
      : block_size_(block_size), locked_(callers == Callers::concurrent) {}
  HandleMemory(const HandleMemory&) = delete;
  HandleMemory& operator=(const HandleMemory&) = delete;

  // Throws std::bad_alloc when no slab can be mapped.
  void* allocate();
  // A block that `allocate` of this object gave and that was not released since.
  void release(void* block) noexcept;

  // For tests: the slabs mapped now, and the blocks handed out and not released.
  std::size_t mapped_slabs() const noexcept { return sum_over_shards(&Shard::slabs); }
  std::size_t live_blocks() const noexcept { return sum_over_shards(&Shard::live); }

 private:
  struct Slab;
  struct Shard {
    mutable std::mutex lock;
    Slab* with_room = nullptr;  // the slabs that can hand out a block, most recent first
    std::size_t slabs = 0;
    std::size_t live = 0;
  };

  Shard& shard_of_this_thread() noexcept;
  std::size_t sum_over_shards(std::size_t Shard::*count) const noexcept;
  Slab* map_slab(Shard& shard);
  void unlink(Shard& shard, Slab& slab) noexcept;
  void link_first(Shard& shard, Slab& slab) noexcept;

  const std::size_t block_size_;
  const bool locked_;
  Shard shards_[kShards];
};

// The handle classes' own operator new and delete: blocks from the process-wide HandleMemory
// of the object's size (rounded up to 8 bytes); objects larger than 96 bytes go to the
// general allocator.
void* allocate_handle(std::size_t size);
void release_handle(void* block, std::size_t size) noexcept;

}  // namespace velorium::cpp_impl
