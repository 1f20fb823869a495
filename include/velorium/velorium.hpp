// Velorium object interface: interfaces, enumerations, the library's exception and factories.
#pragma once

#include <stdexcept>

#if defined(VELORIUM_BUILDING_LIBRARY)
#define VELORIUM_API __attribute__((visibility("default")))
#else
#define VELORIUM_API
#endif

namespace velorium {

// The library's exception: a runtime error with an int code (almost always -1). It never
// leaves an interface operation; the Python module throws and catches the same type, so its
// type identity lives in the library (out-of-line destructor).
class VELORIUM_API velorium_exception : public std::runtime_error {
 public:
  velorium_exception(int code, const char* text);
  velorium_exception(const velorium_exception&) = default;
  velorium_exception& operator=(const velorium_exception&) = default;
  ~velorium_exception() override;

  int code() const noexcept { return code_; }

 private:
  int code_;
};

// The process-wide pool of interned names (internal type; reached through get_names_holder).
class VeloriumNamesHolder;

// The pool of names of this process; never null, the same pointer for the whole process.
VELORIUM_API VeloriumNamesHolder* get_names_holder();

}  // namespace velorium
