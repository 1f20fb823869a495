#include "python/wrappers/interface_value.hpp"

#include "core/text/message_catalogue.hpp"

namespace velorium {

namespace {
constexpr int kOperationFailed = 459;
}

void release_interface(IReleasable* object) noexcept {
  if (object) object->Release();
}

void throw_missing_object() { throw velorium_exception(-1, get_message(kOperationFailed)); }

void check_error(const IErrorInfo* object) {
  if (!object) throw_missing_object();
  const int code = object->GetErrorCode();
  if (code != 0) throw velorium_exception(code, object->GetErrorText());
}

}  // namespace velorium
