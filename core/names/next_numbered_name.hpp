// The name that follows another in a numbered run: x7 -> x8, c099 -> c100, x99 -> x100.
// Programs name their members in such runs, one call at a time, so the next call's name can be
// guessed and its slot in the pool asked for ahead.
#pragma once

#include <cstddef>
#include <string_view>

namespace velorium {

// Room for the names worth guessing; longer names are left alone.
inline constexpr std::size_t kNumberedNameRoom = 64;

// Writes the name after `name` into `room` and gives it; empty when `name` does not end in a
// decimal digit or the next name would not fit.
inline std::string_view next_numbered_name(std::string_view name, char (&room)[kNumberedNameRoom]) noexcept {
  if (name.empty() || name.size() >= kNumberedNameRoom || name.back() < '0' || name.back() > '9') return {};
  std::size_t at = name.size();
  for (std::size_t i = 0; i < at; ++i) room[i] = name[i];
  while (at > 0 && room[at - 1] == '9') room[--at] = '0';
  if (at > 0 && room[at - 1] >= '0' && room[at - 1] <= '8') {
    ++room[at - 1];
    return {room, name.size()};
  }
  // Every digit was a 9: the run grows by one digit (x99 -> x100).
  for (std::size_t i = name.size(); i > at; --i) room[i] = room[i - 1];
  room[at] = '1';
  return {room, name.size() + 1};
}

}  // namespace velorium
