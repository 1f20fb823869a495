// The model's log file and log callback.
#include <exception>
#include <string>

#include "core/base/catalogue_error.hpp"
#include "core/log/log_file.hpp"
#include "core/model/model_impl.hpp"

namespace velorium::cpp_impl {

void ModelImpl::SetLogFile(const char* log_file) {
  guarded([&] {
    if (!log_file) throw_catalogue_error(409, "log_file");
    setLogFile(options, std::string(log_file));
  });
}

void ModelImpl::SetLogCallback(ILogCallback* callback) {
  guarded([&] {
    log_callback = callback;
    VeloriumLogOptions& log = options.log_options;
    if (callback) {
      log.log_hook = &ModelImpl::log_trampoline;
      log.log_hook_user = this;
      options.output_flag = true;
    } else {
      log.log_hook = nullptr;
      log.log_hook_user = nullptr;
      options.output_flag = !options.log_file.empty() || options.log_to_console;
    }
  });
}

void ModelImpl::log_trampoline(int, const char* text, void* user) noexcept {
  auto* model = static_cast<ModelImpl*>(user);
  if (!model || !model->log_callback || !text) return;
  try {
    model->log_callback->LogMessage(text);
  } catch (...) {
    // A receiver that throws loses its line; logging never fails the operation that logs.
  }
}

}  // namespace velorium::cpp_impl
