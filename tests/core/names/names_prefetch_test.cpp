#include <gtest/gtest.h>

#include <string>

#include "core/names/names_holder.hpp"

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

}  // namespace
}  // namespace velorium
