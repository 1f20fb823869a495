/* Imports veloriumpy into an interpreter whose version text is the one given on the command
   line, and prints the outcome: "imported", or the ImportError's text.
   Usage: version_probe MODULE_DIR VERSION_TEXT */
#define PY_SSIZE_T_CLEAN
#include <Python.h>
#include <stdio.h>

static const char* reported_version = PY_VERSION;

/* Takes the place of the interpreter's own for every module loaded into this program. */
const char* Py_GetVersion(void) { return reported_version; }

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: version_probe MODULE_DIR VERSION_TEXT\n");
    return 2;
  }
  Py_Initialize();
  reported_version = argv[2];
  PyObject* folder = PyUnicode_FromString(argv[1]);
  PyList_Insert(PySys_GetObject("path"), 0, folder);
  Py_DECREF(folder);
  PyObject* module = PyImport_ImportModule("veloriumpy");
  if (module) {
    puts("imported");
    return 0;
  }
  PyObject *type, *value, *trace;
  PyErr_Fetch(&type, &value, &trace);
  PyErr_NormalizeException(&type, &value, &trace);
  PyObject* text = PyObject_Str(value);
  printf("%s: %s\n", ((PyTypeObject*)type)->tp_name, text ? PyUnicode_AsUTF8(text) : "?");
  return 1;
}
