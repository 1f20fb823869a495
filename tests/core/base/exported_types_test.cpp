// The shared library must export the type identity of its interfaces and exception (so that
// run-time casts and catching work in a separately built module) and nothing of its internal
// classes.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

namespace {

class SharedLibrary {
 public:
  SharedLibrary() : handle_(dlopen(VELORIUM_CORE_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL)) {}
  ~SharedLibrary() {
    if (handle_) dlclose(handle_);
  }
  bool loaded() const { return handle_ != nullptr; }
  bool exports(const std::string& symbol) const { return dlsym(handle_, symbol.c_str()) != nullptr; }

 private:
  void* handle_;
};

TEST(ExportedTypes, InterfacesAndExceptionCarryOneTypeIdentity) {
  SharedLibrary library;
  ASSERT_TRUE(library.loaded()) << dlerror();
  for (const char* type : {"N8velorium18velorium_exceptionE", "N8velorium11IReleasableE", "N8velorium10IErrorInfoE",
                           "N8velorium12INamedObjectE", "N8velorium9IVariableE"}) {
    EXPECT_TRUE(library.exports(std::string("_ZTI") + type)) << "typeinfo of " << type;
    EXPECT_TRUE(library.exports(std::string("_ZTV") + type)) << "vtable of " << type;
  }
  EXPECT_TRUE(library.exports("_ZN8velorium16get_names_holderEv"));
}

TEST(ExportedTypes, InternalClassesStayHidden) {
  SharedLibrary library;
  ASSERT_TRUE(library.loaded()) << dlerror();
  EXPECT_FALSE(library.exports("_ZN8velorium8cpp_impl20get_or_create_kernelEv"));
  EXPECT_FALSE(library.exports("_ZN8velorium19VeloriumNamesHolder17find_or_add_nameESt17basic_string_viewIcSt11char_traitsIcEE"));
  EXPECT_FALSE(library.exports("_ZN8velorium21throw_catalogue_errorEiz"));
}

}  // namespace
