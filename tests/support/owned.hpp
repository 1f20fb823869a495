// Ownership of the library's objects in tests: released (never deleted) when the owner goes.
#pragma once

#include <memory>

namespace velorium::test {

struct ReleaseLibraryObject {
  template <class Object>
  void operator()(Object* object) const noexcept {
    object->Release();
  }
};

template <class Object>
using Owned = std::unique_ptr<Object, ReleaseLibraryObject>;

}  // namespace velorium::test
