#include "velorium/velorium.hpp"

namespace velorium {

// The key functions of the interface bases: defined here, in the library, and nowhere else.
IReleasable::~IReleasable() = default;
IErrorInfo::~IErrorInfo() = default;
INamedObject::~INamedObject() = default;

}  // namespace velorium
