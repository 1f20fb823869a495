#include "python/classes/object_slabs.hpp"

#include <array>
#include <cstring>
#include <new>
#include <utility>

#include "core/base/handle_memory.hpp"

namespace veloriumpy {

namespace {

using velorium::cpp_impl::HandleMemory;

// Objects are made and freed only under the interpreter's lock, where there is one.
#ifdef Py_GIL_DISABLED
constexpr bool kInterpreterLock = false;
#else
constexpr bool kInterpreterLock = true;
#endif

// A class and the memory of its objects; never destroyed, as objects may go at the
// interpreter's exit after static destructors ran. `spare` is the last object freed, kept for
// the next one made: most objects of these classes made in a loop and not kept (a row built
// and added, a variable looked up) then cost no trip to the slabs.
struct SlabClass {
  PyTypeObject* type = nullptr;
  HandleMemory* memory = nullptr;
  void* spare = nullptr;
};

// Two classes per interpreter; room for a few interpreters of one process, each with its own
// classes (beyond that a class keeps the interpreter's allocation).
constexpr int kSlabClasses = 8;
SlabClass slab_classes[kSlabClasses];

// As PyType_GenericAlloc does for a class without items and outside the collector (the only
// classes registered below). One function per class, so that it finds its memory at once.
template <int Class>
PyObject* allocate_object(PyTypeObject* type, Py_ssize_t) {
  SlabClass& entry = slab_classes[Class];
  void* block = std::exchange(entry.spare, nullptr);
  if (!block) {
    try {
      block = entry.memory->allocate();
    } catch (const std::bad_alloc&) {
      return PyErr_NoMemory();
    }
  }
  std::memset(block, 0, static_cast<std::size_t>(type->tp_basicsize));
  return PyObject_Init(static_cast<PyObject*>(block), type);
}

template <int Class>
void free_object(void* object) {
  SlabClass& entry = slab_classes[Class];
  if (kInterpreterLock && !entry.spare) {
    entry.spare = object;
    return;
  }
  entry.memory->release(object);
}

template <int... Class>
constexpr std::array<allocfunc, kSlabClasses> allocators(std::integer_sequence<int, Class...>) {
  return {allocate_object<Class>...};
}
template <int... Class>
constexpr std::array<freefunc, kSlabClasses> releasers(std::integer_sequence<int, Class...>) {
  return {free_object<Class>...};
}
constexpr auto kAllocate = allocators(std::make_integer_sequence<int, kSlabClasses>());
constexpr auto kFree = releasers(std::make_integer_sequence<int, kSlabClasses>());

}  // namespace

void allocate_objects_from_slabs(PyTypeObject* type) {
  // Objects the collector tracks, or of varying size, keep the interpreter's allocation.
  if ((type->tp_flags & Py_TPFLAGS_HAVE_GC) || type->tp_itemsize != 0 || type->tp_basicsize % 8 != 0) return;
  for (int k = 0; k < kSlabClasses; ++k) {
    SlabClass& entry = slab_classes[k];
    if (entry.type == type) return;
    if (!entry.type) {
      entry.memory = new HandleMemory(static_cast<std::size_t>(type->tp_basicsize),
                                      kInterpreterLock ? HandleMemory::Callers::serialised
                                                       : HandleMemory::Callers::concurrent);
      entry.type = type;
      type->tp_alloc = kAllocate[k];
      type->tp_free = kFree[k];
      return;
    }
  }
}

}  // namespace veloriumpy
