#include "core/base/catalogue_error.hpp"

#include <cstdarg>
#include <string>

#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"
#include "velorium/velorium.hpp"

namespace velorium {

void throw_catalogue_error(int message_id, ...) {
  va_list args;
  va_start(args, message_id);
  const std::string text = formatStringV(get_message(message_id), args);
  va_end(args);
  throw velorium_exception(-1, text.c_str());
}

}  // namespace velorium
