#include "velorium/velorium.hpp"

namespace velorium {

velorium_exception::velorium_exception(int code, const char* text)
    : std::runtime_error(text ? text : ""), code_(code) {}

// Out of line on purpose: this is the class's key function, so its typeinfo and vtable are
// emitted once, in the library, and shared by every module that catches the exception.
velorium_exception::~velorium_exception() = default;

}  // namespace velorium
