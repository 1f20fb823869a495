#include "python/classes/object_slabs.hpp"

#include <cstring>
#include <new>
#include <stdexcept>

#include "core/base/handle_memory.hpp"

namespace veloriumpy {

namespace {

using velorium::cpp_impl::HandleMemory;

// A class and the memory of its objects; never destroyed, as objects may go at the
// interpreter's exit after static destructors ran.
struct SlabClass {
  PyTypeObject* type = nullptr;
  HandleMemory* memory = nullptr;
};

constexpr int kSlabClasses = 4;
SlabClass slab_classes[kSlabClasses];

HandleMemory* memory_of(PyTypeObject* type) noexcept {
  for (const SlabClass& entry : slab_classes) {
    if (entry.type == type) return entry.memory;
  }
  return nullptr;
}

// As PyType_GenericAlloc does for a class without items and outside the collector (the only
// classes registered below).
PyObject* allocate_object(PyTypeObject* type, Py_ssize_t) {
  void* block;
  try {
    block = memory_of(type)->allocate();
  } catch (const std::bad_alloc&) {
    return PyErr_NoMemory();
  }
  std::memset(block, 0, static_cast<std::size_t>(type->tp_basicsize));
  return PyObject_Init(static_cast<PyObject*>(block), type);
}

void free_object(void* object) {
  memory_of(Py_TYPE(static_cast<PyObject*>(object)))->release(object);
}

}  // namespace

void allocate_objects_from_slabs(PyTypeObject* type) {
  if ((type->tp_flags & Py_TPFLAGS_HAVE_GC) || type->tp_itemsize != 0 || type->tp_basicsize % 8 != 0) {
    throw std::logic_error("a class whose objects the slabs cannot hold");
  }
  for (SlabClass& entry : slab_classes) {
    if (entry.type == type) return;
    if (!entry.type) {
      entry.memory = new HandleMemory(static_cast<std::size_t>(type->tp_basicsize));
      entry.type = type;
      type->tp_alloc = allocate_object;
      type->tp_free = free_object;
      return;
    }
  }
  throw std::logic_error("too many classes for the slabs");
}

}  // namespace veloriumpy
