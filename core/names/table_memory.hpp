// Memory for large hash and look-up tables: zero-filled, and backed by huge pages where the
// system allows it, because random probes into tables of many megabytes otherwise pay a
// page-table walk on almost every access.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>

namespace velorium {

struct TableMemoryDeleter {
  void operator()(void* memory) const noexcept { std::free(memory); }
};

template <class T>
using TableArray = std::unique_ptr<T[], TableMemoryDeleter>;

// `bytes` zero-filled bytes, aligned for huge pages when large; throws std::bad_alloc.
void* allocate_table_bytes(std::size_t bytes);

// Asks for huge pages behind the whole 2 MiB pages inside [memory, memory + bytes), so that
// filling a large table that was just allocated takes one page fault per 2 MiB instead of one
// per 4 KiB. Advice only: nothing happens for smaller ranges or where the system declines.
void advise_huge_pages(void* memory, std::size_t bytes) noexcept;

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
