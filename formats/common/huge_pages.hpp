// Large model arrays that the readers fill, backed by huge pages where the kernel grants them.
#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <vector>

namespace velorium {

// Asks the kernel to back the whole 2 MiB pages inside [data, data + bytes) with huge pages
// when they are first touched. Filling fresh memory page by page costs one fault per 4 KiB,
// which on a virtual machine can cost more than the work that writes it. Only advice: no
// error, nothing changes where the kernel declines, and blocks under 4 MiB are left alone.
void adviseHugePages(void* data, std::size_t bytes) noexcept;

// Makes room for one more element: when `v` is full, its capacity doubles (to at least
// `first` elements) into a block advised as above, so that neither the growing array nor its
// copies fault page by page.
template <class T>
void roomForOneMore(std::vector<T>& v, std::size_t first = 4096) {
  if (v.size() < v.capacity()) return;
  std::vector<T> bigger;
  bigger.reserve(std::max(first, v.capacity() * 2));
  adviseHugePages(bigger.data(), bigger.capacity() * sizeof(T));
  std::move(v.begin(), v.end(), std::back_inserter(bigger));
  v.swap(bigger);
}

}  // namespace velorium
