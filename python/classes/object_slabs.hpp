// Where the Python objects of the classes that programs keep by the million (Variable,
// Constraint) live.
#pragma once

#include <Python.h>

namespace veloriumpy {

// From now on the objects of exactly `type` (a class of the module, before any object of it
// exists) come from slabs of their own, in huge pages once there are many, instead of from the
// interpreter's small-object arenas: those take fresh memory 4 KiB at a time, and on a
// virtual machine the first touch of each such page costs microseconds, a large share of
// building a model of millions of members. Slabs go back to the system once their objects are
// all gone. Subclasses keep the interpreter's allocation (theirs is set when they are made),
// and so does a class the slabs cannot hold (one the collector tracks, or of varying size).
void allocate_objects_from_slabs(PyTypeObject* type);

}  // namespace veloriumpy
