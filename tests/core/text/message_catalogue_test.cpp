#include "core/text/message_catalogue.hpp"

#include <gtest/gtest.h>
#include <langinfo.h>

#include <clocale>
#include <string>
#include <string_view>
#include <vector>

namespace velorium {
namespace {

struct Language {
  const char* name;
  const char* const* table;
};
const Language kTranslations[] = {{"Russian", messagesRussian}, {"Chinese", messagesChinese}};

// The printf conversions of a text, in order, "%%" included. A '%' that starts no
// valid conversion gives "<bad>", so a stray percent sign in one language shows up.
std::vector<std::string> conversions(std::string_view text) {
  std::vector<std::string> found;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    std::size_t j = i + 1;
    auto skip = [&](std::string_view chars) {
      while (j < text.size() && chars.find(text[j]) != std::string_view::npos) ++j;
    };
    if (j < text.size() && text[j] == '%') {
      found.emplace_back("%%");
      i = j;
      continue;
    }
    skip("-+ #0");
    skip("0123456789*");
    if (j < text.size() && text[j] == '.') {
      ++j;
      skip("0123456789*");
    }
    skip("hljztL");
    if (j < text.size() && std::string_view("diouxXeEfFgGaAcspn").find(text[j]) != std::string_view::npos) {
      found.emplace_back(text.substr(i, j - i + 1));
      i = j;
    } else {
      found.emplace_back("<bad>");
    }
  }
  return found;
}

// Line feeds and blanks at the start and at the end of a text; a run of blanks counts as one.
std::pair<std::string, std::string> edges(std::string_view text) {
  auto squeeze = [](std::string_view run) {
    std::string out;
    for (char c : run) {
      if (c == ' ' && !out.empty() && out.back() == ' ') continue;
      out += c;
    }
    return out;
  };
  std::size_t lead = text.find_first_not_of("\n ");
  if (lead == std::string_view::npos) return {squeeze(text), squeeze(text)};
  std::size_t trail = text.find_last_not_of("\n ") + 1;
  return {squeeze(text.substr(0, lead)), squeeze(text.substr(trail))};
}

bool isValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

bool hasAsciiLetter(std::string_view text) {
  for (char c : text) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  }
  return false;
}

// Cyrillic letters are two-byte sequences with the lead byte 0xD0 or 0xD1.
bool hasCyrillic(std::string_view text) {
  for (char c : text) {
    unsigned char b = static_cast<unsigned char>(c);
    if (b == 0xD0 || b == 0xD1) return true;
  }
  return false;
}

// CJK ideographs (U+4E00..U+9FFF) are three-byte sequences with the lead byte 0xE4..0xE9.
bool hasHan(std::string_view text) {
  for (char c : text) {
    unsigned char b = static_cast<unsigned char>(c);
    if (b >= 0xE4 && b <= 0xE9) return true;
  }
  return false;
}

TEST(ConversionParser, FindsEverySpecificationInOrder) {
  EXPECT_EQ(conversions("%s %-15s |%8lli |%7.1f s %% %zu %c%.17g"),
            (std::vector<std::string>{"%s", "%-15s", "%8lli", "%7.1f", "%%", "%zu", "%c", "%.17g"}));
  EXPECT_EQ(conversions("100%, 50%"), (std::vector<std::string>{"<bad>", "<bad>"}));
  EXPECT_EQ(conversions("no placeholders {}"), std::vector<std::string>{});
}

TEST(MessageCatalogue, TablesAreIndexAligned) {
  for (const char* const* table : {messagesRussian, messagesEnglish, messagesChinese}) {
    EXPECT_EQ(table[kMessageCount], nullptr);
  }
  for (int id = 0; id < kMessageCount; ++id) {
    SCOPED_TRACE(id);
    ASSERT_NE(messagesEnglish[id], nullptr);
    for (const Language& language : kTranslations) {
      ASSERT_NE(language.table[id], nullptr) << language.name;
      // An id that English leaves unused is unused in every language, and the reverse.
      EXPECT_EQ(*language.table[id] == '\0', *messagesEnglish[id] == '\0') << language.name;
    }
  }
}

TEST(MessageCatalogue, EveryLanguageTakesTheSameConversionsInTheSameOrder) {
  for (int id = 0; id < kMessageCount; ++id) {
    for (const Language& language : kTranslations) {
      EXPECT_EQ(conversions(language.table[id]), conversions(messagesEnglish[id]))
          << language.name << " message " << id << ": " << language.table[id];
    }
  }
}

TEST(MessageCatalogue, LineFeedsAndBlanksAtTheEdgesMatchEnglish) {
  for (int id = 0; id < kMessageCount; ++id) {
    for (const Language& language : kTranslations) {
      EXPECT_EQ(edges(language.table[id]), edges(messagesEnglish[id]))
          << language.name << " message " << id << ": [" << language.table[id] << "]";
    }
  }
}

TEST(MessageCatalogue, TextsAreUtf8InTheirOwnLanguage) {
  for (int id = 0; id < kMessageCount; ++id) {
    SCOPED_TRACE(id);
    EXPECT_TRUE(isValidUtf8(messagesEnglish[id]));
    EXPECT_TRUE(isValidUtf8(messagesRussian[id]));
    EXPECT_TRUE(isValidUtf8(messagesChinese[id]));
    if (!hasAsciiLetter(messagesEnglish[id])) continue;
    EXPECT_TRUE(hasCyrillic(messagesRussian[id])) << "untranslated Russian: " << messagesRussian[id];
    EXPECT_TRUE(hasHan(messagesChinese[id])) << "untranslated Chinese: " << messagesChinese[id];
  }
}

TEST(MessageCatalogue, RussianTextsShownElsewhereAreExact) {
  struct Quoted {
    int id;
    const char* text;
  };
  const Quoted quoted[] = {
    {69, "Невозможно открыть файл %s\n"},
    {71, "ПРЕДУПРЕЖДЕНИЕ: "},
    {72, "ОШИБКА: "},
    {102, "Неверное значение для параметра [%s] - [%s]\n"},
    {109, "Ядро velorium не инициализировано"},
    {110, "Неверный индекс объекта [%i]"},
    {111, "Объект с индексом [%i] удален"},
    {112, "Невозможно задать range для ограничения без заданных границ"},
    {115, "Недопустимые границы переменной: верхняя граница [%f] меньше нижней границы [%f]"},
    {126, "Имя переменной не может начинаться с символа [%c]"},
    {135, "Ограничение с именем [%s] отсутствует"},
    {136, "Переменная с именем [%s] отсутствует"},
    {137, "Ограничение не может начинаться с пробела"},
    {138, "Количество коэффициентов линейной части должно быть равно кол-ву переменных"},
    {141, "Ошибка конвертации элемента с индексом %zu, значение \"%s\""},
    {142, "Размеры массивов нижних и верхних границ не совпадают."},
    {143, "Размеры массивов индексов и верхних границ не совпадают."},
    {144, "Размеры массивов индексов и нижних границ не совпадают."},
    {145, "Ожидается двумерная матрица"},
    {146, "Кол-во типов переменных должно соответствовать кол-ву переменных"},
    {147, "Невозможно сконвертировать var_types в velorium::variable_type"},
    {148, "Кол-во коэффициентов переменных в ЦФ должно соответствовать кол-ву переменных"},
    {149, "Количество значений в правой части должно совпадать с количеством ограничений"},
    {150, "Невозможно сконвертировать правую часть ограничений в double"},
    {151, "Количество значений senses должно совпадать с количеством ограничений"},
    {152, "Невозможно сконвертировать senses в velorium::constraint_sense"},
    {153, "Невозможно сконвертировать коэффициенты в double"},
    {154, "Невалидный объект матрицы. Ожидается валидный объект scipy.sparse.csr_matrix или numpy.array"},
    {155, "Нет данных для ограничения, невозможно добавить пустое ограничение"},
    {157, "Матрица, задающая квадратичное выражение, должна быть квадратной"},
    {158, "Количество переменных должно быть положительным"},
    {159, "Количество переменных в матрице должно быть равно количеству переменных в модели"},
    {160, "Невозможно сконвертировать lower_bounds в double или массив double"},
    {161, "Кол-во верхних границ должно соответствовать кол-ву переменных"},
    {162, "Невозможно сконвертировать upper_bounds в double или массив double"},
    {163, "Невозможно сконвертировать линейные коэффициенты в double или массив double"},
    {164, "Кол-во нижних границ должно соответствовать кол-ву переменных"},
    {165, "Отмена вычислений. Может занять до 30 сек."},
    {166, " Превышено время ожидания.\n"},
    {167, "Ожидание начала расчета ."},
    {168, "\nОшибка: Невалидный ключ X_API_KEY!\n"},
    {169, "\nОшибка: Переменная окружения X_API_KEY не установлена!\n"},
    {170, "\nОшибка: "},
    {171, " успешно\n"},
    {172, "Начало загрузки модели . . ."},
    {173, "Подготовка начального решения к загрузке "},
    {174, "Загрузка начального решения в Nimbrova  "},
    {175, "Подготовка модели к загрузке  "},
    {176, "Загрузка модели в Nimbrova   "},
    {177, "Отправка запроса на расчет . . ."},
    {178, "\nОшибка сети.\n"},
    {179, "Расчет не завершен. Невозможно получить результат.\n"},
    {180, "Текущий статус : "},
    {364, "Невозможно запустить облачный расчет - %s\n"},
    {365, "Невозможно запустить облачный расчет - ошибка обращения к серверу\n"},
    {366, "Ошибка открытия файла "},
    {367, "Локальное решение моделей не предусмотрено в данной версии."},
    {388, "Невозможно открыть файл "},
    {389, "Dual values недоступны для данной модели"},
    {390, "Reduced costs недоступны для данной модели"},
    {391, "Невалидный объект выражения"},
    {392, "Ошибка записи решения в файл [%s]"},
    {394, "Переменная не принадлежит модели"},
    {397, "Ограничение не принадлежит модели"},
    {399, "Ошибка получения лога удаленных расчетов: %s\n"},
    {402, "Невалидный объект ограничения"},
    {404, "Неверный индекс выражения [%i]"},
    {405, "Невозможно добавить выражение из другой модели"},
    {407, "Невозможно добавить удаленную переменную"},
    {408, "Ошибка получения параметра [%s]"},
    {409, "Ошибка изменения параметра [%s]"},
    {458, "Действие не применимо к выражению типа '%s'\n"},
    {459, "Операция не удалась\n"},
    {461, "Недопустимое значение индекса - %i\n"},
    {462, "Ограничение с именем '%s' не существует\n"},
    {496, "При сохранении LP-файла переименованы переменные: "},
    {497, "При сохранении LP-файла переименованы ограничения: "},
    {498, " и ещё %zu переименований"},
    {518, "Найден численно неточный кандидат: нарушения превышают заданные допуски"},
  };
  for (const Quoted& q : quoted) {
    EXPECT_STREQ(messagesRussian[q.id], q.text) << "message " << q.id;
  }
}

TEST(MessageCatalogue, GetMessageReadsRussian) {
  EXPECT_EQ(currentMessageTable, messagesRussian);
  EXPECT_EQ(messageLanguage, 0);
  EXPECT_STREQ(get_message(71), "ПРЕДУПРЕЖДЕНИЕ: ");
  EXPECT_STREQ(get_message(367), "Локальное решение моделей не предусмотрено в данной версии.");
  EXPECT_STREQ(get_message(0), messagesRussian[0]);
  EXPECT_STREQ(get_message(518), messagesRussian[518]);
}

TEST(MessageCatalogue, GetMessageOfUnusedOrBadIdIsEmpty) {
  for (int id : {1, 85, 375, 501, -1, kMessageCount, 100000}) {
    const char* text = get_message(id);
    ASSERT_NE(text, nullptr) << id;
    EXPECT_STREQ(text, "") << id;
  }
}

TEST(MessageCatalogue, ApplyingTheLocaleKeepsUtf8Text) {
  const std::string saved = std::setlocale(LC_CTYPE, nullptr);
  if (!std::setlocale(LC_CTYPE, "C.UTF-8")) GTEST_SKIP() << "no C.UTF-8 locale";
  apply_message_locale();
  // Either a Russian UTF-8 locale took over or the call failed and left C.UTF-8; never another code set.
  EXPECT_STREQ(nl_langinfo(CODESET), "UTF-8");
  std::setlocale(LC_CTYPE, saved.c_str());
}

}  // namespace
}  // namespace velorium
