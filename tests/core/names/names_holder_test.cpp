#include "core/names/names_holder.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "core/names/fnv1a_hash.hpp"

namespace velorium {
namespace {

TEST(NamesHolder, HandsOutDenseIdsInOrderOfAddition) {
  VeloriumNamesHolder pool;
  EXPECT_EQ(pool.find_or_add_name("alpha"), 0u);
  EXPECT_EQ(pool.find_or_add_name("beta"), 1u);
  EXPECT_EQ(pool.find_or_add_name("alpha"), 0u);
  EXPECT_EQ(pool.size(), 2u);
  EXPECT_STREQ(pool.names_holder_get(0), "alpha");
  EXPECT_STREQ(pool.names_holder_get(1), "beta");
}

TEST(NamesHolder, UnknownAndNegativeIdsGiveNull) {
  VeloriumNamesHolder pool;
  EXPECT_EQ(pool.names_holder_get(0), nullptr);
  pool.find_or_add_name("a");
  pool.find_or_add_name("b");
  EXPECT_EQ(pool.names_holder_get(-1), nullptr);
  EXPECT_EQ(pool.names_holder_get(-7), nullptr);
  EXPECT_EQ(pool.names_holder_get(static_cast<std::int32_t>(pool.size())), nullptr);
  EXPECT_STREQ(pool.names_holder_get(static_cast<std::int32_t>(pool.size()) - 1), "b");
  EXPECT_EQ(pool.name_view(-1).data(), nullptr);
  EXPECT_EQ(pool.find_name("zzz"), -1);
  EXPECT_EQ(pool.size(), 2u) << "find_name never adds";
}

TEST(NamesHolder, EmptyNameIsAValidName) {
  EXPECT_EQ(fnv1a_hash(""), kFnv1aOffsetBasis);
  EXPECT_EQ(fnv1a_hash("a"), 0xaf63dc4c8601ec8cull);
  VeloriumNamesHolder pool;
  const auto id = pool.find_or_add_name("");
  EXPECT_EQ(pool.find_or_add_name(""), id);
  EXPECT_EQ(pool.find_or_add_name(std::string_view()), id);
  ASSERT_NE(pool.names_holder_get(static_cast<std::int32_t>(id)), nullptr);
  EXPECT_STREQ(pool.names_holder_get(static_cast<std::int32_t>(id)), "");
  EXPECT_EQ(pool.size(), 1u);
}

TEST(NamesHolder, AddNameMakesFreshEntriesButTheIndexKeepsTheFirst) {
  VeloriumNamesHolder pool;
  const auto first = pool.add_name("dup");
  const auto second = pool.add_name("dup");
  EXPECT_NE(first, second);
  EXPECT_EQ(pool.size(), 2u);
  EXPECT_EQ(pool.find_or_add_name("dup"), first);
  EXPECT_EQ(pool.find_name("dup"), static_cast<std::int32_t>(first));
  EXPECT_STREQ(pool.names_holder_get(static_cast<std::int32_t>(first)),
               pool.names_holder_get(static_cast<std::int32_t>(second)));
  EXPECT_NE(pool.names_holder_get(static_cast<std::int32_t>(first)),
            pool.names_holder_get(static_cast<std::int32_t>(second)));
}

TEST(NamesHolder, KeepsEmbeddedNulsInTheView) {
  VeloriumNamesHolder pool;
  const std::string with_nul("a\0b", 3);
  const auto id = static_cast<std::int32_t>(pool.find_or_add_name(with_nul));
  EXPECT_EQ(pool.name_view(id), with_nul);
  EXPECT_NE(pool.find_or_add_name("a"), static_cast<std::uint32_t>(id));
}

// The model's name indexes key on the pool's ids, so the pool alone tells names apart: by
// every byte, wherever they differ and however long they are.
TEST(NamesHolder, TellsApartNamesThatDifferInAnyByte) {
  const std::string long_base = "a_rather_long_common_head_of_names";
  const std::vector<std::string> names = {
      "", "a", "b", "ab", "ba", "abc", "abd", "xbc",                   // shorter than a word
      "abcd", "abce", "xbcd", "abcdefg", "abcdefh", "xbcdefg",         // four to seven bytes
      "abcdefgh", "abcdefgi", "xbcdefgh", "abcdefghijkl", "abcdefghijkm",  // eight to twelve
      "abcdefghijkx", "abcdefghijklm", "abcdefghijkln", "abcdefghijkxm",   // just past twelve
      long_base, long_base + "1", long_base + "2", "x" + long_base.substr(1),
      std::string("nul\0a", 5), std::string("nul\0b", 5), std::string("\0\0\0\0\0\0\0\0\0", 9),
      std::string("\0\0\0\0\0\0\0\0\0\0\0\0\0", 13)};
  VeloriumNamesHolder pool;
  for (std::size_t i = 0; i < names.size(); ++i) EXPECT_EQ(pool.find_or_add_name(names[i]), i) << i;
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(pool.find_name(names[i]), static_cast<std::int32_t>(i)) << i;
    EXPECT_EQ(pool.find_or_add_name(names[i]), i) << i;
  }
  // Names absent from the pool, each one byte or one length away from a present one.
  for (const std::string absent : {"c", "abcdefghijk", "abcdefghijklmn", "abcdefghijklx", "abcdefgj",
                                   "a_rather_long_common_head_of_names3", "a_rather_long_common_head_of_nameZ"}) {
    EXPECT_EQ(pool.find_name(absent), -1) << absent;
  }
  EXPECT_EQ(pool.find_name(std::string_view("nul\0c", 5)), -1);
  EXPECT_EQ(pool.find_name(std::string(12, '\0')), -1);
  EXPECT_EQ(pool.find_name(std::string_view()), pool.find_name("")) << "a null view is the empty name";
  EXPECT_EQ(pool.size(), names.size());
}

TEST(NamesHolder, StoresNamesOfABlockSizeAndLongerWhole) {
  VeloriumNamesHolder pool;
  const auto before = static_cast<std::int32_t>(pool.find_or_add_name("before"));
  std::vector<std::pair<std::int32_t, std::string>> long_names;
  for (std::size_t length : {std::size_t{262143}, std::size_t{262144}, std::size_t{262145}, std::size_t{1} << 20}) {
    std::string name(length, 'n');
    name.back() = static_cast<char>('a' + long_names.size());
    long_names.emplace_back(static_cast<std::int32_t>(pool.find_or_add_name(name)), name);
  }
  const auto after = static_cast<std::int32_t>(pool.find_or_add_name("after"));
  EXPECT_STREQ(pool.names_holder_get(before), "before");
  EXPECT_STREQ(pool.names_holder_get(after), "after");
  for (const auto& [id, name] : long_names) {
    EXPECT_EQ(pool.name_view(id), name);
    EXPECT_EQ(std::strlen(pool.names_holder_get(id)), name.size()) << "stored with its NUL";
    EXPECT_EQ(pool.find_or_add_name(name), static_cast<std::uint32_t>(id));
  }
}

TEST(NamesHolder, TextsStayAtOneAddressWhileThePoolGrows) {
  VeloriumNamesHolder pool;
  const char* first = pool.names_holder_get(static_cast<std::int32_t>(pool.find_or_add_name("first")));
  constexpr int kCount = 200000;  // crosses many text blocks, index growths and entry segments
  for (int i = 0; i < kCount; ++i) {
    ASSERT_EQ(pool.find_or_add_name("name_" + std::to_string(i)), static_cast<std::uint32_t>(i + 1));
  }
  // Long names once the texts come in shared chunks: blocks of odd sizes, so that a chunk's
  // rest is smaller than a block asked for.
  std::vector<std::pair<std::int32_t, std::string>> long_names;
  for (int i = 0; i < 48; ++i) {
    std::string name(99991 + static_cast<std::size_t>(i) * 4099, static_cast<char>('A' + i % 26));
    name += std::to_string(i);
    long_names.emplace_back(static_cast<std::int32_t>(pool.find_or_add_name(name)), name);
    ASSERT_EQ(pool.find_or_add_name("short_" + std::to_string(i)), static_cast<std::uint32_t>(kCount + 2 * i + 2));
  }
  EXPECT_EQ(pool.names_holder_get(0), first);
  EXPECT_STREQ(first, "first");
  for (int i = 0; i < kCount; ++i) {
    ASSERT_STREQ(pool.names_holder_get(i + 1), ("name_" + std::to_string(i)).c_str());
    ASSERT_EQ(pool.find_name("name_" + std::to_string(i)), i + 1);
  }
  for (const auto& [id, name] : long_names) {
    EXPECT_EQ(pool.name_view(id), name);
    EXPECT_EQ(pool.find_name(name), id);
  }
  for (int i = 0; i < 48; ++i) EXPECT_EQ(pool.find_name("short_" + std::to_string(i)), kCount + 2 * i + 2);
}

TEST(NamesHolder, GeneratedNamesFillTheirCacheInOrder) {
  VeloriumNamesHolder pool;
  const auto x5 = pool.get_generated_name(VeloriumNamesHolder::GeneratedPrefix::column, 5);
  EXPECT_EQ(pool.size(), 6u);
  for (int k = 0; k <= 5; ++k) {
    EXPECT_STREQ(pool.names_holder_get(k), ("x#" + std::to_string(k)).c_str());
  }
  EXPECT_EQ(x5, 5u);
  EXPECT_EQ(pool.get_generated_name(VeloriumNamesHolder::GeneratedPrefix::column, 2), 2u);
  EXPECT_EQ(pool.get_generated_name(VeloriumNamesHolder::GeneratedPrefix::column, 5), 5u);
  EXPECT_EQ(pool.size(), 6u) << "asking again adds nothing";

  const auto c0 = pool.get_generated_name(VeloriumNamesHolder::GeneratedPrefix::row, 0);
  EXPECT_NE(c0, pool.get_generated_name(VeloriumNamesHolder::GeneratedPrefix::column, 0));
  EXPECT_STREQ(pool.names_holder_get(static_cast<std::int32_t>(c0)), "C#0");
}

TEST(NamesHolder, GeneratedNamesReuseNamesAlreadyInterned) {
  VeloriumNamesHolder pool;
  const auto c1 = pool.find_or_add_name("C#1");
  EXPECT_EQ(pool.get_generated_name(VeloriumNamesHolder::GeneratedPrefix::row, 1), c1);
  EXPECT_EQ(pool.size(), 2u);
}

TEST(NamesHolder, FailsCleanlyAtTheIdLimit) {
  VeloriumNamesHolder pool(3);
  pool.find_or_add_name("a");
  pool.add_name("b");
  pool.find_or_add_name("c");
  for (auto add : {+[](VeloriumNamesHolder& p) { p.find_or_add_name("d"); },
                   +[](VeloriumNamesHolder& p) { p.add_name("a"); },
                   +[](VeloriumNamesHolder& p) { p.get_generated_name(VeloriumNamesHolder::GeneratedPrefix::row, 0); }}) {
    try {
      add(pool);
      FAIL() << "no failure at the limit";
    } catch (const velorium_exception& e) {
      EXPECT_EQ(e.code(), -1);
      EXPECT_NE(std::string(e.what()).find("2^31"), std::string::npos);
    }
  }
  EXPECT_EQ(pool.size(), 3u);
  EXPECT_EQ(pool.find_name("d"), -1) << "a failed addition leaves no index entry";
  EXPECT_EQ(pool.find_or_add_name("b"), 1u) << "known names are still found";
  EXPECT_STREQ(pool.names_holder_get(2), "c");
  EXPECT_EQ(VeloriumNamesHolder::kMaxNameCount, 0x80000000u);
}

TEST(NamesHolder, ProcessPoolIsOneObject) {
  EXPECT_NE(get_names_holder(), nullptr);
  EXPECT_EQ(get_names_holder(), get_names_holder());
}

// Eight threads intern overlapping sets of names in different orders while reading texts
// back; afterwards every id maps to its text, each text has exactly one id, and no id is
// missing. The names are enough for the shards' index tables to grow into the large tables
// they share, and out of the first of those again.
TEST(NamesHolder, InterningFromManyThreadsKeepsIdsDenseAndConsistent) {
  VeloriumNamesHolder pool;
  constexpr int kThreads = 8;
  constexpr int kNamesPerThread = 50000;
  constexpr int kDistinct = 200000;  // threads overlap heavily
  std::vector<std::vector<std::pair<std::string, std::uint32_t>>> seen(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&pool, &seen, t] {
      std::mt19937 random(static_cast<unsigned>(t));
      std::uniform_int_distribution<int> pick(0, kDistinct - 1);
      for (int i = 0; i < kNamesPerThread; ++i) {
        std::string name = "v" + std::to_string(pick(random));
        const std::uint32_t id = pool.find_or_add_name(name);
        const char* text = pool.names_holder_get(static_cast<std::int32_t>(id));
        if (!text || name != text) {
          ADD_FAILURE() << "id " << id << " does not map back to " << name;
          return;
        }
        pool.get_generated_name(VeloriumNamesHolder::GeneratedPrefix::column, static_cast<std::uint32_t>(i % 500));
        seen[t].emplace_back(std::move(name), id);
      }
    });
  }
  for (auto& thread : threads) thread.join();

  std::unordered_map<std::string, std::uint32_t> id_of;
  for (const auto& list : seen) {
    for (const auto& [name, id] : list) {
      auto [it, fresh] = id_of.emplace(name, id);
      EXPECT_EQ(it->second, id) << "two ids for " << name;
    }
  }
  for (std::uint32_t id = 0; id < pool.size(); ++id) {
    const char* text = pool.names_holder_get(static_cast<std::int32_t>(id));
    ASSERT_NE(text, nullptr) << "hole at id " << id;
    EXPECT_EQ(pool.find_name(text), static_cast<std::int32_t>(id)) << "text " << text << " is also another id";
  }
  for (std::uint32_t k = 0; k < 500; ++k) {
    const auto id = static_cast<std::int32_t>(pool.get_generated_name(VeloriumNamesHolder::GeneratedPrefix::column, k));
    EXPECT_EQ(std::string(pool.names_holder_get(id)), "x#" + std::to_string(k));
  }
  EXPECT_EQ(pool.size(), id_of.size() + 500u) << "only distinct names were added";
}

}  // namespace
}  // namespace velorium
