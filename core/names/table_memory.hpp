// Memory for large hash and look-up tables: zero-filled, and backed by huge pages where the
// system allows it, because random probes into tables of many megabytes otherwise pay a
// page-table walk on almost every access.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace velorium {

struct TableMemoryDeleter {
  void operator()(void* memory) const noexcept { std::free(memory); }
};

template <class T>
using TableArray = std::unique_ptr<T[], TableMemoryDeleter>;

// `bytes` zero-filled bytes, aligned for huge pages when large; throws std::bad_alloc.
void* allocate_table_bytes(std::size_t bytes);

// `bytes` (a multiple of 2 MiB) aligned to 2 MiB and advised for huge pages, not filled: each
// page is touched first by its user. Freed with std::free (TableArray); throws std::bad_alloc.
void* allocate_huge_page_bytes(std::size_t bytes);

// Asks for huge pages behind the whole 2 MiB pages inside [memory, memory + bytes), so that
// filling a large table that was just allocated takes one page fault per 2 MiB instead of one
// per 4 KiB. Advice only: nothing happens for smaller ranges or where the system declines.
void advise_huge_pages(void* memory, std::size_t bytes) noexcept;

// The smallest buffer, in bytes, that `grow_capacity` asks huge pages for.
inline constexpr std::size_t kHugePageWorthBytes = std::size_t{2} << 20;

// A capacity of at least `capacity` elements of `element_bytes` whose buffer fills whole
// 2 MiB pages once the general allocator's header is counted. The allocator maps a buffer this
// large on its own, and the system places a mapping of whole 2 MiB pages on a 2 MiB boundary,
// so that every page of the buffer can be a huge page, not only those inside it (a buffer of
// 4 MiB placed anywhere had half of its bytes in 4 KiB pages).
std::size_t huge_page_capacity(std::size_t capacity, std::size_t element_bytes) noexcept;

// Asks for huge pages behind a buffer of `huge_page_capacity`: the whole 2 MiB pages it spans
// when it sits at the start of a mapping of its own (the allocator's header just before it),
// those inside it otherwise.
void advise_huge_pages_of_buffer(void* memory, std::size_t bytes) noexcept;

// Reallocates `sequence` to hold at least `capacity` elements. A large buffer is asked for
// huge pages before the elements are moved in: filling it 4 KiB page by page made the page
// faults the main cost of adding a million members one at a time. Small ones grow as usual.
template <class T>
void grow_capacity(std::vector<T>& sequence, std::size_t capacity) {
  if constexpr (std::is_nothrow_move_constructible_v<T>) {
    if (capacity >= kHugePageWorthBytes / sizeof(T)) {
      std::vector<T> grown;
      grown.reserve(huge_page_capacity(capacity, sizeof(T)));
      advise_huge_pages_of_buffer(grown.data(), grown.capacity() * sizeof(T));
      grown.insert(grown.end(), std::make_move_iterator(sequence.begin()), std::make_move_iterator(sequence.end()));
      sequence.swap(grown);
      return;
    }
  }
  sequence.reserve(capacity);
}

// `count` value-initialised elements of a type that needs no destructor.
template <class T>
TableArray<T> allocate_table(std::size_t count) {
  static_assert(std::is_trivially_destructible_v<T>);
  if (count > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
  T* elements = static_cast<T*>(allocate_table_bytes(count * sizeof(T)));
  // The bytes are zero already, which is what value-initialising a trivial type writes: large
  // tables were written twice over.
  if constexpr (!std::is_trivial_v<T>) {
    for (std::size_t i = 0; i < count; ++i) ::new (static_cast<void*>(elements + i)) T();
  }
  return TableArray<T>(elements);
}

}  // namespace velorium
