// Room for one more element before an addition changes anything, so that the later
// push_back calls of the same addition cannot fail halfway.
#pragma once

#include <algorithm>
#include <iterator>
#include <new>
#include <type_traits>
#include <vector>

#include "core/names/table_memory.hpp"

namespace velorium::cpp_impl {

inline constexpr std::size_t kHugePageWorthBytes = std::size_t{4} << 20;

// Reallocates to `capacity`. A large buffer is asked for huge pages before the elements are
// moved in: filling it 4 KiB page by page made the page faults the main cost of adding a
// million members one at a time.
template <class T>
void grow_capacity(std::vector<T>& sequence, std::size_t capacity) {
  if constexpr (std::is_nothrow_move_constructible_v<T>) {
    if (capacity * sizeof(T) >= kHugePageWorthBytes) {
      std::vector<T> grown;
      grown.reserve(capacity);
      advise_huge_pages(grown.data(), capacity * sizeof(T));
      grown.insert(grown.end(), std::make_move_iterator(sequence.begin()), std::make_move_iterator(sequence.end()));
      sequence.swap(grown);
      return;
    }
  }
  sequence.reserve(capacity);
}

// Grows to at least `wanted` elements and at least geometrically. A large sequence grows
// fourfold while the system grants it: every growth moves the elements into fresh memory,
// whose first touch costs more than the move (a page fault per page), so fewer growths touch
// less of it. The room beyond the elements is address space only, until it is written.
template <class T>
void grow_geometrically(std::vector<T>& sequence, std::size_t wanted) {
  const std::size_t doubled = std::max(wanted, 2 * sequence.capacity());
  if (doubled * sizeof(T) >= kHugePageWorthBytes) {
    try {
      grow_capacity(sequence, std::max(wanted, 4 * sequence.capacity()));
      return;
    } catch (const std::bad_alloc&) {
      // Not that much address space: doubling may still fit.
    }
  }
  grow_capacity(sequence, doubled);
}

// Grows geometrically (reserving just one more would reallocate on every addition).
template <class T>
void reserve_one_more(std::vector<T>& sequence) {
  if (sequence.size() == sequence.capacity()) grow_geometrically(sequence, sequence.size() < 16 ? 16 : sequence.size() + 1);
}

// Room for `count` more elements, growing at least geometrically, so that many small bulk
// additions stay amortised O(1) per element.
template <class T>
void reserve_more(std::vector<T>& sequence, std::size_t count) {
  const std::size_t wanted = sequence.size() + count;
  if (wanted > sequence.capacity()) grow_geometrically(sequence, wanted);
}

}  // namespace velorium::cpp_impl
