// Room for one more element before an addition changes anything, so that the later
// push_back calls of the same addition cannot fail halfway.
#pragma once

#include <iterator>
#include <type_traits>
#include <vector>

#include "core/names/table_memory.hpp"

namespace velorium::cpp_impl {

// Grows geometrically (reserving just one more would reallocate on every addition).
template <class Sequence>
void reserve_one_more(Sequence& sequence) {
  if (sequence.size() == sequence.capacity()) grow_capacity(sequence, sequence.size() < 16 ? 16 : sequence.size() * 2);
}

// Room for `count` more elements, growing at least geometrically, so that many small bulk
// additions stay amortised O(1) per element.
template <class Sequence>
void reserve_more(Sequence& sequence, std::size_t count) {
  const std::size_t wanted = sequence.size() + count;
  if (wanted > sequence.capacity()) grow_capacity(sequence, wanted > 2 * sequence.capacity() ? wanted : 2 * sequence.capacity());
}

}  // namespace velorium::cpp_impl
