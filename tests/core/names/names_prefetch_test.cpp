#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "core/names/names_holder.hpp"
#include "core/names/next_numbered_name.hpp"

namespace velorium {
namespace {

// Asking ahead for a name's slot changes nothing: no name is added, look-ups answer as before.
TEST(NamesHolderPrefetch, ChangesNothing) {
  VeloriumNamesHolder pool;
  pool.prefetch_name("absent");
  pool.prefetch_name("");
  EXPECT_EQ(pool.size(), 0u);
  const std::uint32_t id = pool.find_or_add_name("present");
  pool.prefetch_name("present");
  pool.prefetch_name(std::string(100000, 'z'));
  EXPECT_EQ(pool.find_name("present"), static_cast<std::int32_t>(id));
  EXPECT_EQ(pool.find_name("absent"), -1);
  EXPECT_EQ(pool.size(), 1u);
}

// The guess of the next name of a run: the trailing number counts up, a run of nines grows a
// digit, leading zeros stay; no guess without a trailing digit. Its hash, worked out in the pass
// over the name, is that of its text; the name's own hash is unchanged.
TEST(NamesHolderPrefetch, NextNumberedName) {
  const struct {
    std::string name, next;
  } cases[] = {
      {"x7", "x8"},     {"x9", "x10"},     {"x99", "x100"},  {"c099", "c100"},     {"c0", "c1"},
      {"9", "10"},      {"0", "1"},        {"a1b2", "a1b3"}, {"x#41", "x#42"},     {"row_19", "row_20"},
      {"x", ""},        {"", ""},          {"x7a", ""},      {"x 9 ", ""},         {"\xff" "9", "\xff" "10"},
      {std::string(70, '9'), "1" + std::string(70, '0')},
  };
  for (const auto& c : cases) {
    const NumberedNameHashes hashes = numbered_name_hashes(c.name);
    EXPECT_EQ(hashes.name, fnv1a_hash(c.name)) << c.name;
    EXPECT_EQ(hashes.has_next, !c.next.empty()) << "after \"" << c.name << "\"";
    if (hashes.has_next) EXPECT_EQ(hashes.next, fnv1a_hash(c.next)) << "after \"" << c.name << "\"";
    const auto pooled = VeloriumNamesHolder::hash_name_and_next(c.name);
    EXPECT_EQ(pooled.name.spread_hash, VeloriumNamesHolder::hash_name(c.name).spread_hash) << c.name;
    EXPECT_EQ(pooled.has_next, hashes.has_next) << c.name;
    if (pooled.has_next) EXPECT_EQ(pooled.next_spread_hash, VeloriumNamesHolder::hash_name(c.next).spread_hash) << c.name;
  }
}

// Asking ahead for the next name's slot adds nothing either, for any name.
TEST(NamesHolderPrefetch, NextNameChangesNothing) {
  VeloriumNamesHolder pool;
  for (const std::string& name : std::vector<std::string>{"x7", "x99", "", "x", std::string(100000, '9'), "c099"}) {
    const auto hashed = VeloriumNamesHolder::hash_name_and_next(name);
    pool.prefetch_name(hashed.name);
    if (hashed.has_next) pool.prefetch_hash(hashed.next_spread_hash);
  }
  EXPECT_EQ(pool.size(), 0u);
  EXPECT_EQ(pool.find_name("x8"), -1);
}

// A name hashed once and used for both the prefetch and the look-up interns exactly as the
// plain text does.
TEST(NamesHolderPrefetch, HashedNameMatchesPlainText) {
  VeloriumNamesHolder pool;
  const std::uint32_t plain = pool.find_or_add_name("c1");
  const auto hashed_c1 = VeloriumNamesHolder::hash_name("c1");
  const auto hashed_c2 = VeloriumNamesHolder::hash_name("c2");
  pool.prefetch_name(hashed_c2);
  EXPECT_EQ(pool.find_or_add_name(hashed_c1), plain);
  const std::uint32_t added = pool.find_or_add_name(hashed_c2);
  EXPECT_EQ(pool.find_name("c2"), static_cast<std::int32_t>(added));
  EXPECT_EQ(pool.find_or_add_name("c2"), added);
  EXPECT_EQ(pool.size(), 2u);
}

// The prefetch reads a shard's table without its lock while other threads grow that table;
// under the sanitizers this shows the unlocked read stays harmless.
TEST(NamesHolderPrefetch, RacesWithGrowingTables) {
  VeloriumNamesHolder pool;
  constexpr int kNames = 20000;
  std::thread prefetcher([&pool] {
    for (int i = 0; i < kNames; ++i) pool.prefetch_name(VeloriumNamesHolder::hash_name("n" + std::to_string(i)));
  });
  std::thread adder([&pool] {
    for (int i = 0; i < kNames; ++i) pool.find_or_add_name(VeloriumNamesHolder::hash_name("n" + std::to_string(i)));
  });
  prefetcher.join();
  adder.join();
  EXPECT_EQ(pool.size(), static_cast<std::uint32_t>(kNames));
  for (int i = 0; i < kNames; i += 997) EXPECT_EQ(pool.name_view(pool.find_name("n" + std::to_string(i))), "n" + std::to_string(i));
}

}  // namespace
}  // namespace velorium
