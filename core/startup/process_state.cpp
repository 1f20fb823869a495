// The one place that defines the library's process-wide objects and their order.
#include "core/startup/process_state.hpp"

#include <atomic>

#include "cloud/client_process_state.hpp"
#include "core/base/catalogue_error.hpp"
#include "core/base/kernel.hpp"
#include "core/capi/log_callback_table.hpp"
#include "core/names/names_holder.hpp"
#include "core/text/message_catalogue.hpp"
#include "formats/lp/lp_keywords.hpp"
#include "velorium/velorium.hpp"

namespace velorium::startup {
namespace {

// Written only while the library loads or unloads, on the thread that does it.
constinit StartupStep built_order[kStartupStepCount] = {};
constinit std::size_t built_count = 0;
constinit std::atomic<bool> torn_down[kStartupStepCount] = {};
constinit std::atomic<TeardownObserver> teardown_observer{nullptr};

constexpr std::size_t index_of(StartupStep step) { return static_cast<std::size_t>(step); }

// Runs the previous step's accessor before anything else of a step is built.
struct PreviousStep {
  explicit PreviousStep(void (*build_previous)()) {
    if (build_previous != nullptr) build_previous();
  }
};

// Tells the test observer that a step's object is gone.
struct TeardownNotice {
  StartupStep step;
  ~TeardownNotice() {
    if (TeardownObserver observer = teardown_observer.load(std::memory_order_acquire)) observer(step);
  }
};

// The object of one step. Members are built in order, so the previous step is complete
// (and its destruction registered) before this object's construction begins; the runtime
// destroys the steps in the reverse order of their completion.
template <StartupStep Step, class T>
struct StepHolder {
  explicit StepHolder(void (*build_previous)()) : previous(build_previous) {
    if (built_count < kStartupStepCount) built_order[built_count++] = Step;
  }
  ~StepHolder() {
    // Marked before the object goes, so an accessor never hands out a dying object.
    torn_down[index_of(Step)].store(true, std::memory_order_release);
  }
  StepHolder(const StepHolder&) = delete;
  StepHolder& operator=(const StepHolder&) = delete;

  PreviousStep previous;
  TeardownNotice notice{Step};  // destroyed after `object`
  T object;
};

template <StartupStep Step, class T>
T* step_object(void (*build_previous)()) {
  if (torn_down[index_of(Step)].load(std::memory_order_acquire)) return nullptr;
  static StepHolder<Step, T> holder(build_previous);
  return &holder.object;
}

// 1. Only registers the destruction of the core object, which appears at first use.
struct KernelCleanup {
  ~KernelCleanup() { cpp_impl::close_kernel(); }
};
void build_kernel_cleanup() { step_object<StartupStep::kernel_cleanup, KernelCleanup>(nullptr); }

// 4. Sets the locale; nothing to undo.
struct CtypeLocale {
  CtypeLocale() { apply_message_locale(); }
};
void build_ctype_locale() {
  step_object<StartupStep::ctype_locale, CtypeLocale>([] { get_names_holder(); });
}

}  // namespace
}  // namespace velorium::startup

// 2.
velorium::capi::LogCallbackTable* velorium::capi::log_callback_table() noexcept {
  using namespace velorium::startup;
  return step_object<StartupStep::log_callback_table, LogCallbackTable>(&build_kernel_cleanup);
}

// 3.
velorium::VeloriumNamesHolder* velorium::get_names_holder() {
  using namespace velorium::startup;
  return step_object<StartupStep::names_pool, VeloriumNamesHolder>([] { capi::log_callback_table(); });
}

velorium::VeloriumNamesHolder& velorium::names_pool() {
  VeloriumNamesHolder* pool = get_names_holder();
  if (pool == nullptr) throw_catalogue_error(109);
  return *pool;
}

// 4 is build_ctype_locale above. 5.
const velorium::LpSectionKeywordTable* velorium::lpSectionKeywordTable() noexcept {
  using namespace velorium::startup;
  return step_object<StartupStep::lp_section_keywords, LpSectionKeywordTable>(&build_ctype_locale);
}

// 6.
velorium::nimbrova::ClientProcessState* velorium::nimbrova::client_process_state() noexcept {
  using namespace velorium::startup;
  return step_object<StartupStep::client_state, ClientProcessState>([] { lpSectionKeywordTable(); });
}

namespace velorium::startup {

void build_process_state() { nimbrova::client_process_state(); }

std::size_t built_step_count() noexcept { return built_count; }

StartupStep built_step(std::size_t position) noexcept {
  return position < built_count ? built_order[position] : StartupStep::kernel_cleanup;
}

void set_teardown_observer_for_testing(TeardownObserver observer) noexcept {
  teardown_observer.store(observer, std::memory_order_release);
}

namespace {
// Everything is built while the library loads, so that no model pays for it and the first
// name interned gets id 0 whoever interns it.
[[maybe_unused]] const bool built_at_load = (build_process_state(), true);
}  // namespace

}  // namespace velorium::startup
