#include "core/text/message_catalogue.hpp"

#include <clocale>

namespace velorium {

const char* const* const currentMessageTable = messagesRussian;
const int messageLanguage = 0;

const char* get_message(int id) {
  // A bad id is a programming error; answer with an empty text rather than read past the table.
  if (id < 0 || id >= kMessageCount) return "";
  return currentMessageTable[id];
}

void apply_message_locale() {
  // Locale names are the platform's: try UTF-8 locales of the language, in order.
  static const char* const russian[] = {"ru_RU.UTF-8", "ru_RU.utf8", nullptr};
  static const char* const english[] = {"en_US.UTF-8", "en_US.utf8", "C.UTF-8", nullptr};
  static const char* const chinese[] = {"zh_CN.UTF-8", "zh_CN.utf8", nullptr};
  const char* const* names = messageLanguage == 1 ? english : messageLanguage == 2 ? chinese : russian;
  for (; *names; ++names) {
    if (std::setlocale(LC_CTYPE, *names)) return;
  }
}

}  // namespace velorium
