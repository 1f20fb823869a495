// Room for one more element before an addition changes anything, so that the later
// push_back calls of the same addition cannot fail halfway.
#pragma once

#include <vector>

namespace velorium::cpp_impl {

// Grows geometrically (reserving just one more would reallocate on every addition).
template <class T>
void reserve_one_more(std::vector<T>& sequence) {
  if (sequence.size() == sequence.capacity()) sequence.reserve(sequence.size() < 16 ? 16 : sequence.size() * 2);
}

}  // namespace velorium::cpp_impl
