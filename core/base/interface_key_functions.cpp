#include "velorium/velorium.hpp"

namespace velorium {

// The key functions of the interfaces: defined here, in the library, and nowhere else.
IReleasable::~IReleasable() = default;
IErrorInfo::~IErrorInfo() = default;
INamedObject::~INamedObject() = default;
IVariable::~IVariable() = default;

}  // namespace velorium
