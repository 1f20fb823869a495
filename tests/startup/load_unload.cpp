// Loads and unloads libvelorium_core in a fresh process, as a host program that dlopens it:
// loading starts no thread and leaves no file open, the pool of names is empty until the
// first name is interned (which then gets id 0), the character-type locale of the message
// language is set when the system has it, and unloading really unmaps the library, so that
// loading it again builds its state anew.
//
//   velorium_load_unload LIBRARY
#include <dirent.h>
#include <dlfcn.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "core/names/names_holder.hpp"
#include "velorium/velorium.h"

namespace {

int failures = 0;

void check(bool condition, const char* what) {
  std::printf("%s: %s\n", condition ? "ok" : "FAILED", what);
  if (!condition) ++failures;
}

// Entries of a /proc directory (the descriptor that reads it counts every time alike).
int countEntries(const char* directory) {
  DIR* dir = opendir(directory);
  if (dir == nullptr) return -1;
  int count = 0;
  while (dirent* entry = readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) ++count;
  }
  closedir(dir);
  return count;
}

struct ProcessFootprint {
  int threads = countEntries("/proc/self/task");
  int files = countEntries("/proc/self/fd");
  bool operator==(const ProcessFootprint&) const = default;
};

// Compiles ru_RU.UTF-8 into a private folder and points the runtime at it, so that the
// library's locale step can succeed on a machine without installed locales; empty when
// localedef cannot do it.
std::string prepareRussianLocale() {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("velorium-load-locale-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string command = "localedef -i ru_RU -f UTF-8 '" + (dir / "ru_RU.UTF-8").string() + "' >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) {
    std::filesystem::remove_all(dir);
    return {};
  }
  ::setenv("LOCPATH", dir.c_str(), 1);
  return dir.string();
}

using GetNamesHolder = velorium::VeloriumNamesHolder* (*)();

// Interns a first name through the function interface, when the model factory is there.
void internThroughFunctionInterface(void* library, velorium::VeloriumNamesHolder* pool) {
  auto create = reinterpret_cast<decltype(&Model_Create)>(dlsym(library, "Model_Create"));
  if (create == nullptr) {
    std::printf("skipped: Model_Create is not exported yet, no name interned through it\n");
    return;
  }
  auto add_variable = reinterpret_cast<decltype(&Model_AddVariable)>(dlsym(library, "Model_AddVariable"));
  auto release_variable = reinterpret_cast<decltype(&Variable_Release)>(dlsym(library, "Variable_Release"));
  auto release_model = reinterpret_cast<decltype(&Model_Release)>(dlsym(library, "Model_Release"));
  check(add_variable && release_variable && release_model, "the function interface is exported");
  if (!add_variable || !release_variable || !release_model) return;

  VeloriumModel* model = create();
  check(model != nullptr, "Model_Create makes a model");
  if (model == nullptr) return;
  release_variable(add_variable(model, 0.0, 1.0, 0.0, 0, "first_name_of_the_process"));
  check(pool->size() >= 1 && pool->names_holder_get(0) != nullptr, "the first name interned got id 0");
  bool found = false;
  for (std::uint32_t id = 0; id < pool->size(); ++id) {
    const char* text = pool->names_holder_get(static_cast<std::int32_t>(id));
    found = found || (text != nullptr && std::strcmp(text, "first_name_of_the_process") == 0);
  }
  check(found, "the variable's name is in the pool");
  // A view of the objective: it registers the model's terms with the process-wide term
  // look-ups, which must go with the library.
  auto get_objective = reinterpret_cast<decltype(&Model_GetObjective)>(dlsym(library, "Model_GetObjective"));
  auto release_expression =
      reinterpret_cast<decltype(&LinearExpression_Release)>(dlsym(library, "LinearExpression_Release"));
  if (get_objective && release_expression) release_expression(get_objective(model));
  release_model(model);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s LIBRARY\n", argv[0]);
    return 2;
  }
  const char* path = argv[1];
  const std::string locale_dir = prepareRussianLocale();
  const std::string ctype_before = std::setlocale(LC_CTYPE, nullptr);

  const ProcessFootprint before;
  void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    std::fprintf(stderr, "dlopen failed: %s\n", dlerror());
    return 1;
  }
  const ProcessFootprint loaded;
  check(loaded.threads == before.threads, "loading starts no thread");
  check(loaded.files == before.files, "loading leaves no file open");

  const std::string ctype_loaded = std::setlocale(LC_CTYPE, nullptr);
  if (locale_dir.empty()) {
    check(ctype_loaded == ctype_before, "without a Russian locale the character-type locale stays");
  } else {
    check(ctype_loaded.rfind("ru_RU", 0) == 0 && ctype_loaded.find("UTF-8") != std::string::npos,
          "loading sets the Russian UTF-8 character-type locale");
  }

  auto get_names_holder = reinterpret_cast<GetNamesHolder>(dlsym(library, "_ZN8velorium16get_names_holderEv"));
  check(get_names_holder != nullptr, "velorium::get_names_holder is exported");
  if (get_names_holder != nullptr) {
    velorium::VeloriumNamesHolder* pool = get_names_holder();
    check(pool != nullptr && pool == get_names_holder(), "the pool is one object, built at load");
    if (pool != nullptr) {
      check(pool->size() == 0, "no name is interned at load: the first gets id 0");
      internThroughFunctionInterface(library, pool);
    }
  }

  check(dlclose(library) == 0, "dlclose succeeds");
  const ProcessFootprint unloaded;
  check(unloaded.threads == before.threads, "unloading leaves no thread");
  check(unloaded.files == before.files, "unloading leaves no file open");
  check(dlopen(path, RTLD_NOW | RTLD_NOLOAD) == nullptr, "dlclose unmaps the library");

  // Loaded again, the library builds its state again from nothing.
  void* again = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  check(again != nullptr, "the library loads again");
  if (again != nullptr) {
    auto get_again = reinterpret_cast<GetNamesHolder>(dlsym(again, "_ZN8velorium16get_names_holderEv"));
    check(get_again != nullptr && get_again() != nullptr && get_again()->size() == 0,
          "a reloaded library has a fresh, empty pool");
    dlclose(again);
  }

  if (!locale_dir.empty()) std::filesystem::remove_all(locale_dir);
  std::printf("%d failed\n", failures);
  return failures == 0 ? 0 : 1;
}
