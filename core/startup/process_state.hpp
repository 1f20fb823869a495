// The library's process-wide objects: built in one fixed order while the library loads, torn
// down in the reverse order when it is unloaded or the process ends.
//
// Each object is reached through its own accessor (declared beside its type) and all of them
// are defined in process_state.cpp. Building one builds every object before it first, so the
// order holds whoever asks first, and the runtime destroys them in the reverse order of their
// completion. An accessor answers null once its object is gone: code that runs after the
// library's teardown (a model released by a host's late exit handler) must find nothing
// rather than touch a destroyed object.
//
// Loading starts no thread, opens no file (beyond what setting a locale reads and closes)
// and contacts no service.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velorium::startup {

// The objects in the order in which they are built.
enum class StartupStep : std::uint8_t {
  // Registers the destruction of the core object (which itself appears at first use), so
  // that it goes last.
  kernel_cleanup,
  // The function interface's table from model to log-callback adapter, with its mutex.
  log_callback_table,
  // The pool of names.
  names_pool,
  // The character-type locale of the message language ("Russian", as a UTF-8 locale; a
  // failure is ignored). Its teardown restores nothing.
  ctype_locale,
  // The LP reader's table of section keywords.
  lp_section_keywords,
  // The calculation client's process-wide state.
  client_state,
};
inline constexpr std::size_t kStartupStepCount = 6;

// Builds every object not built yet, in order. The library does this while it loads.
void build_process_state();

// The steps completed so far, in the order in which they completed (for tests).
std::size_t built_step_count() noexcept;
StartupStep built_step(std::size_t position) noexcept;

// Test seam: called with each step as its object is destroyed (on the thread that unloads
// the library). Null removes the observer.
using TeardownObserver = void (*)(StartupStep step);
void set_teardown_observer_for_testing(TeardownObserver observer) noexcept;

}  // namespace velorium::startup
