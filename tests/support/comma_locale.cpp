#include "support/comma_locale.hpp"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace velorium::test {

namespace {
// Builds de_DE.UTF-8 with localedef into a directory of this process; empty on failure.
std::string compiledLocaleDirectory() {
  static const std::string directory = [] {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("velorium-locale-" + std::to_string(::getpid()));
    std::error_code ignored;
    std::filesystem::create_directories(dir, ignored);
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + (dir / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    const bool built = std::system(command.c_str()) == 0;
    // Registered once: the directory goes when the test program ends.
    std::atexit([] {
      std::error_code ignored_at_exit;
      std::filesystem::remove_all(
          std::filesystem::temp_directory_path() / ("velorium-locale-" + std::to_string(::getpid())),
          ignored_at_exit);
    });
    return built ? dir.string() : std::string();
  }();
  return directory;
}
}  // namespace

ScopedCommaLocale::ScopedCommaLocale() {
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
    const std::string dir = compiledLocaleDirectory();
    if (dir.empty()) return;
    ::setenv("LOCPATH", dir.c_str(), 1);
    const bool set = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    ::unsetenv("LOCPATH");
    if (!set) return;
  }
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.1f", 2.5);
  active_ = std::string(probe) == "2,5";
}

ScopedCommaLocale::~ScopedCommaLocale() { std::setlocale(LC_NUMERIC, "C"); }

}  // namespace velorium::test
