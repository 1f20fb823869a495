#include "python/inputs/input_errors.hpp"

#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"
#include "velorium/velorium.hpp"

namespace veloriumpy {

void raise_input_error(InputMessage id) { throw velorium::velorium_exception(-1, velorium::get_message(id)); }

void raise_list_item_error(std::size_t index, const std::string& item_text) {
  const std::string text = velorium::formatString(velorium::get_message(kListItemNotConverted), index, item_text.c_str());
  throw velorium::velorium_exception(-1, text.c_str());
}

}  // namespace veloriumpy
