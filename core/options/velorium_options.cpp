#include "core/options/velorium_options.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <stdexcept>
#include <unordered_set>

#include "core/log/log_file.hpp"

namespace velorium {

namespace {

// A stream of the copy's own on the file behind `source`, positioned at its end like the
// source; the standard streams are shared as they are, since no options object closes them.
std::FILE* openOwnStreamOnSameFile(std::FILE* source) {
  if (source == nullptr || source == stdout || source == stderr) return source;
  std::fflush(source);
  int fd = ::fileno(source);
  if (fd < 0) return nullptr;
  int own_fd = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (own_fd < 0) return nullptr;
  std::FILE* own = ::fdopen(own_fd, "a");
  if (own == nullptr) ::close(own_fd);
  return own;
}

// Set when the registry is destroyed at the library's teardown: an options object that
// outlives it (in a model released by a host's late exit handler) then finds no option.
constinit std::atomic<bool> registry_torn_down{false};

struct ProcessOptionRegistry {
  explicit ProcessOptionRegistry(const VeloriumOptions& first) : registry(buildOptionRegistry(first)) {}
  ~ProcessOptionRegistry() { registry_torn_down.store(true, std::memory_order_release); }
  const OptionRegistry registry;
};

const OptionRegistry* processOptionRegistry(const VeloriumOptions& first) {
  if (registry_torn_down.load(std::memory_order_acquire)) return nullptr;
  // Built at the first registration and destroyed first at teardown, as the last of the
  // process-wide objects to appear. A throw leaves the static unbuilt, so the next
  // registration tries again.
  static const ProcessOptionRegistry process_registry(first);
  return &process_registry.registry;
}

}  // namespace

VeloriumOptions::VeloriumOptions() {
  registerOptions(*this);
  linkLogOptions(*this);
}

VeloriumOptions::VeloriumOptions(const VeloriumOptions& other) {
  registerOptions(*this);
  VeloriumOptionsStruct::operator=(other);
  linkLogOptions(*this);
  log_options.log_stream = openOwnStreamOnSameFile(other.log_options.log_stream);
}

VeloriumOptions::~VeloriumOptions() {
  replaceLogFile(log_options, "");
  records.clear();
}

void linkLogOptions(VeloriumOptions& options) {
  options.log_options.output_flag = &options.output_flag;
  options.log_options.log_to_console = &options.log_to_console;
  options.log_options.log_display_systime = &options.log_display_systime;
}

void attachOptionRegistry(VeloriumOptions& options) { options.registry = processOptionRegistry(options); }

OptionRegistry buildOptionRegistry(const VeloriumOptions& options) {
  OptionRegistry registry;
  std::unordered_set<const void*> fields;
  for (std::size_t index = 0; index < options.records.size(); ++index) {
    const OptionRecord& record = *options.records[index];
    if (!fields.insert(record.valuePointer()).second) {
      throw std::invalid_argument("Several options with the same address");
    }
    if (!registry.emplace(record.name, static_cast<int>(index)).second) {
      throw std::invalid_argument("Several options with the same name");
    }
  }
  return registry;
}

int find_option_index(const VeloriumOptions& options, std::string_view name) {
  if (options.registry == nullptr || registry_torn_down.load(std::memory_order_acquire)) return -1;
  auto found = options.registry->find(name);
  if (found == options.registry->end()) return -1;
  if (found->second < 0 || static_cast<std::size_t>(found->second) >= options.records.size()) return -1;
  return found->second;
}

}  // namespace velorium
