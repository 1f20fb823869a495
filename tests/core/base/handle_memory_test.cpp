#include "core/base/handle_memory.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "core/base/kernel.hpp"
#include "core/constraints/constraint_impl.hpp"
#include "core/model/variable_impl.hpp"
#include "core/store/model_builder.hpp"

namespace velorium::cpp_impl {
namespace {

constexpr std::size_t kBlock = 56;
constexpr std::size_t kInFirstSlab = (HandleMemory::kFirstSlabBytes - 64) / kBlock;
constexpr std::size_t kPerSlab = (HandleMemory::kSlabBytes - 64) / kBlock;

// Blocks of several slabs (a shard's first one small, the others large), released in creation
// order, in reverse and at random: every block is distinct, aligned and whole, and the slabs
// go back to the system as they empty, but for the one the shard keeps to hand out from; for
// callers who serialise their use themselves (without the shards' locks) alike.
TEST(HandleMemory, HandsOutDistinctBlocksAndGivesEmptySlabsBack) {
  const std::size_t count = kInFirstSlab + 2 * kPerSlab + 10;
  const struct {
    HandleMemory::Callers callers;
    const char* order;
  } cases[] = {{HandleMemory::Callers::concurrent, "creation"}, {HandleMemory::Callers::concurrent, "reverse"},
               {HandleMemory::Callers::concurrent, "random"},   {HandleMemory::Callers::serialised, "creation"},
               {HandleMemory::Callers::serialised, "reverse"},  {HandleMemory::Callers::serialised, "random"}};
  for (const auto& [callers, order] : cases) {
    SCOPED_TRACE(callers == HandleMemory::Callers::concurrent ? "concurrent callers" : "serialised callers");
    HandleMemory memory(kBlock, callers);
    std::vector<void*> blocks;
    for (std::size_t i = 0; i < count; ++i) {
      blocks.push_back(memory.allocate());
      ASSERT_EQ(reinterpret_cast<std::uintptr_t>(blocks.back()) % 8, 0u);
      std::memset(blocks.back(), static_cast<int>(i & 0xFF), kBlock);
    }
    EXPECT_EQ(std::set<void*>(blocks.begin(), blocks.end()).size(), count) << order;
    EXPECT_EQ(memory.mapped_slabs(), 4u) << order;
    EXPECT_EQ(memory.live_blocks(), count) << order;
    for (std::size_t i = 0; i < count; ++i) {
      const auto* bytes = static_cast<const unsigned char*>(blocks[i]);
      ASSERT_TRUE(std::all_of(bytes, bytes + kBlock, [i](unsigned char b) { return b == (i & 0xFF); })) << order << i;
    }
    if (order[0] == 'r' && order[1] == 'e') std::reverse(blocks.begin(), blocks.end());
    if (order[0] == 'r' && order[1] == 'a') std::shuffle(blocks.begin(), blocks.end(), std::mt19937(5));
    for (void* block : blocks) memory.release(block);
    EXPECT_EQ(memory.live_blocks(), 0u) << order;
    EXPECT_EQ(memory.mapped_slabs(), 1u) << order << ": one empty slab stays to hand out from";
    // Taking and releasing one block at a time keeps to that slab.
    for (int i = 0; i < 1000; ++i) memory.release(memory.allocate());
    EXPECT_EQ(memory.mapped_slabs(), 1u) << order;
  }
}

// A slab with released blocks hands them out again before the untouched ones.
TEST(HandleMemory, ReusesReleasedBlocks) {
  HandleMemory memory(kBlock);
  std::vector<void*> blocks;
  for (int i = 0; i < 100; ++i) blocks.push_back(memory.allocate());
  memory.release(blocks[17]);
  memory.release(blocks[3]);
  const std::set<void*> again = {memory.allocate(), memory.allocate()};
  EXPECT_EQ(again, (std::set<void*>{blocks[3], blocks[17]}));
  for (void* block : blocks) memory.release(block);
  EXPECT_EQ(memory.live_blocks(), 0u);
}

// Threads take blocks from shards of their own and release blocks that other threads took;
// no block is ever handed out twice at once, and everything comes back.
TEST(HandleMemory, ThreadsShareItSafely) {
  HandleMemory memory(kBlock);
  constexpr int kThreads = 6;
  constexpr std::size_t kEach = kInFirstSlab + 500;
  std::vector<std::vector<void*>> taken(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&memory, &taken, t] {
      for (std::size_t i = 0; i < kEach; ++i) {
        void* block = memory.allocate();
        std::memset(block, t + 1, kBlock);
        taken[static_cast<std::size_t>(t)].push_back(block);
        if (i % 3 == 0) {  // some go back at once, so that released blocks are reused meanwhile
          memory.release(taken[static_cast<std::size_t>(t)].back());
          taken[static_cast<std::size_t>(t)].pop_back();
        }
      }
    });
  }
  for (auto& thread : threads) thread.join();
  threads.clear();
  std::set<void*> all;
  for (int t = 0; t < kThreads; ++t) {
    for (void* block : taken[static_cast<std::size_t>(t)]) {
      const auto* bytes = static_cast<const unsigned char*>(block);
      EXPECT_TRUE(std::all_of(bytes, bytes + kBlock, [t](unsigned char b) { return b == t + 1; }));
      all.insert(block);
    }
  }
  const std::size_t live = kThreads * (kEach - (kEach + 2) / 3);
  EXPECT_EQ(all.size(), live);
  EXPECT_EQ(memory.live_blocks(), live);
  for (int t = 0; t < kThreads; ++t) {  // each thread releases the blocks of the next
    threads.emplace_back([&memory, &taken, t] {
      for (void* block : taken[static_cast<std::size_t>((t + 1) % kThreads)]) memory.release(block);
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(memory.live_blocks(), 0u);
  EXPECT_LE(memory.mapped_slabs(), std::size_t{HandleMemory::kShards});
}

TEST(HandleMemory, ObjectsLargerThanAHandleUseTheGeneralAllocator) {
  for (const std::size_t size : {std::size_t{1}, std::size_t{56}, std::size_t{96}, std::size_t{97}, std::size_t{4096}}) {
    void* block = allocate_handle(size);
    std::memset(block, 1, size);
    release_handle(block, size);
  }
  release_handle(nullptr, 56);
}

#if defined(__SANITIZE_ADDRESS__)
// The handles keep the sanitizer's watch although they do not come from the general allocator.
TEST(HandleMemoryDeathTest, UseOfAReleasedHandleIsReported) {
  get_or_create_kernel();
  auto store = std::make_shared<ModelBuilder>();
  IVariable* variable = new VariableImpl(store, 0);
  variable->Release();
  EXPECT_DEATH(variable->GetErrorCode(), "use-after-poison");
  IConstraint* constraint = new ConstraintImpl(store, 0);
  constraint->Release();
  EXPECT_DEATH(constraint->Release(), "use-after-poison");
}
#endif

}  // namespace
}  // namespace velorium::cpp_impl
