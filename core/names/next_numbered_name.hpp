// The name that follows another in a numbered run: x7 -> x8, c099 -> c100, x99 -> x100.
// Programs name their members in such runs, one call at a time, so the next call's name can be
// guessed and its slot in the pool asked for ahead. Only its hash is needed: it is worked out
// in the pass that hashes the name itself, without writing the next name down.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/names/fnv1a_hash.hpp"

namespace velorium {

struct NumberedNameHashes {
  std::uint64_t name;  // fnv1a_hash of the name
  std::uint64_t next;  // fnv1a_hash of the name after it, when has_next
  bool has_next;       // false for a name that does not end in a decimal digit
};

inline NumberedNameHashes numbered_name_hashes(std::string_view name) noexcept {
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (name.empty() || !digit(name.back())) return {fnv1a_hash(name), 0, false};
  std::size_t nines = name.size();  // the trailing nines start here; they become zeros
  while (nines > 0 && name[nines - 1] == '9') --nines;
  // Every trailing digit a 9: the run grows a digit (x99 -> x100); else the digit before the
  // nines counts up (x19 -> x20). The two names share the hash of what comes before.
  const bool grows = nines == 0 || !digit(name[nines - 1]);
  const std::size_t kept = grows ? nines : nines - 1;
  std::uint64_t shared = kFnv1aOffsetBasis;
  for (std::size_t i = 0; i < kept; ++i) shared = fnv1a_step(shared, name[i]);
  std::uint64_t whole = shared;
  for (std::size_t i = kept; i < name.size(); ++i) whole = fnv1a_step(whole, name[i]);
  std::uint64_t next = fnv1a_step(shared, grows ? '1' : static_cast<char>(name[kept] + 1));
  for (std::size_t i = nines; i < name.size(); ++i) next = fnv1a_step(next, '0');
  return {whole, next, true};
}

}  // namespace velorium
