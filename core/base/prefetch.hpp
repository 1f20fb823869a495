// Asking the processor for memory ahead of its use.
#pragma once

namespace velorium {

// GCC counts a prefetch as free of side effects, so it may judge a small function that only
// prefetches to be pure and drop every call to it, silently losing the prefetch. The empty
// volatile statement that takes the address keeps the request where it was written.
inline void prefetchForRead(const void* address) noexcept {
  __builtin_prefetch(address, 0);
  asm volatile("" : : "r"(address));
}

inline void prefetchForWrite(const void* address) noexcept {
  __builtin_prefetch(address, 1);
  asm volatile("" : : "r"(address));
}

}  // namespace velorium
