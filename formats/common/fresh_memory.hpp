// Fresh memory asked for in bulk. Every page a process touches for the first time costs a
// fault: the kernel finds and zeroes a page (and in a virtual machine the host may first have
// to back it). Asking for a whole range at once costs less per page than faulting the pages
// in one by one as they are written.
#pragma once

#include <cstddef>

namespace velorium {

// Makes the pages inside [memory, memory + bytes) present and writable, without changing
// their contents. A hint only: where the system refuses (before Linux 5.14, elsewhere), the
// pages come as they are written.
void populateForWrite(void* memory, std::size_t bytes) noexcept;

}  // namespace velorium
