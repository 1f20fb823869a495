// The name that follows another in a numbered run: x7 -> x8, c099 -> c100, x99 -> x100.
// Programs name their members in such runs, one call at a time, so the next call's name can be
// guessed and its slot in the pool asked for ahead. Only its hash is needed: it is worked out
// from the name without writing the next name down.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/names/fnv1a_hash.hpp"

namespace velorium {

// Sets `hash` to fnv1a_hash of the name after `name`; false, with `hash` untouched, when
// `name` does not end in a decimal digit.
inline bool next_numbered_name_hash(std::string_view name, std::uint64_t& hash) noexcept {
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (name.empty() || !digit(name.back())) return false;
  std::size_t nines = name.size();  // the trailing nines start here; they become zeros
  while (nines > 0 && name[nines - 1] == '9') --nines;
  // Every trailing digit a 9: the run grows a digit (x99 -> x100); else the digit before the
  // nines counts up (x19 -> x20).
  const bool grows = nines == 0 || !digit(name[nines - 1]);
  const std::size_t kept = grows ? nines : nines - 1;
  std::uint64_t next = fnv1a_hash(name.substr(0, kept));
  const auto step = [&next](char c) {
    next ^= static_cast<unsigned char>(c);
    next *= kFnv1aPrime;
  };
  step(grows ? '1' : static_cast<char>(name[kept] + 1));
  for (std::size_t i = nines; i < name.size(); ++i) step('0');
  hash = next;
  return true;
}

}  // namespace velorium
