#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "formats/lp/lp_reader.hpp"
#include "formats/mps/mps_read_helper.hpp"
#include "support/catalogue_failure.hpp"

namespace velorium {
namespace {

using mps_test::readMpsText;

// Line 1 "ROWS", 2 " N obj", 3 " L c1", 4 "COLUMNS", 5 " x obj 1 c1 1", 6 " y c1 1".
const std::string kHead = "ROWS\n N obj\n L c1\nCOLUMNS\n x obj 1 c1 1\n y c1 1\n";
const std::string kGenHead = kHead + "GENCONS\n NL g\n    x\n";  // lines 7 to 9

struct Malformed {
  const char* what;
  std::string text;
  std::string message;  // the failure's own text, without the level prefix; "@" stands for the path
  int line;             // the line named by the failure; 0 when none is named
};

// `text` with its "@" replaced by the path of the file read.
std::string withPath(std::string text, const std::string& path) {
  const std::size_t at = text.find('@');
  if (at != std::string::npos) text.replace(at, 1, path);
  return text;
}

std::string withNul() {
  std::string text = kHead + " z c1 1\nENDATA\n";
  text[text.find(" z") + 1] = '\0';
  return text;
}

const std::vector<Malformed>& malformedFiles() {
  static const std::vector<Malformed> cases = {
      // The section loop and refused sections.
      {"no ENDATA", kHead, "MPS файл @ закончился без строки ENDATA\n", 0},
      {"empty file", "", "MPS файл @ закончился без строки ENDATA\n", 0},
      {"end inside ROWS", "ROWS\n N obj\n", "Непредвиденный выход в процессе разбора секции ROWS MPS файла\n", 0},
      {"SOS", kHead + "SOS\n S1 SOS s1 1\nENDATA\n", "SOS не поддерживаются Velorium\n", 7},
      {"SETS", kHead + "SETS\nENDATA\n", "SOS не поддерживаются Velorium\n", 7},
      {"CSECTION", kHead + "CSECTION k 0 QUAD\nENDATA\n", "Конусы (Cones) не поддерживаются Velorium\n", 7},
      {"DELAYEDROWS", kHead + "DELAYEDROWS\nENDATA\n", "MPS парсер не может прочитать секцию DELAYEDROWS\n", 7},
      {"MODELCUTS", kHead + "MODELCUTS\nENDATA\n", "MPS парсер не может прочитать секцию MODELCUTS\n", 7},
      {"PWLOBJ", kHead + "PWLOBJ\nENDATA\n", "MPS парсер не может прочитать секцию PWLOBJ\n", 7},
      {"PWLNAM", kHead + "PWLNAM\nENDATA\n", "MPS парсер не может прочитать секцию PWLNAM\n", 7},
      {"PWLCON", kHead + "PWLCON\nENDATA\n", "MPS парсер не может прочитать секцию PWLCON\n", 7},
      {"NUL byte", withNul(), "Нулевой байт в строке MPS файла\n", 7},
      // OBJSENSE.
      {"unknown sense on the keyword line", "OBJSENSE MAXIMUM\n" + kHead + "ENDATA\n",
       "Неизвестное направление оптимизации \"MAXIMUM\" в секции OBJSENSE\n", 1},
      {"unknown sense line", "OBJSENSE\n    UP\n" + kHead + "ENDATA\n",
       "Неизвестное направление оптимизации \"UP\" в секции OBJSENSE\n", 2},
      // ROWS.
      {"duplicate row", "ROWS\n N obj\n L c1\n G c1\nENDATA\n", "Линейные ограничения имеют одинаковые имена \"c1\"\n", 4},
      {"row named like the objective", "ROWS\n N obj\n L obj\nENDATA\n", "Линейные ограничения имеют одинаковые имена \"obj\"\n", 3},
      {"unknown row type", "ROWS\n N obj\n X c1\nENDATA\n", "В разделе ROWS MPS файла найдена сущность типа \"X\"\n", 3},
      {"lower-case row type", "ROWS\n N obj\n l c1\nENDATA\n", "В разделе ROWS MPS файла найдена сущность типа \"l\"\n", 3},
      {"ROWS line with one field", "ROWS\n N\nENDATA\n", "Неверный формат строки в разделе ROWS\n", 2},
      // COLUMNS.
      {"COLUMNS line with six fields", kHead + " z obj 1 c1 1 c1\nENDATA\n", "Ошибка в секции COLUMNS MPS файла\n", 7},
      {"COLUMNS line with one field", kHead + " z\nENDATA\n", "Ошибка в секции COLUMNS MPS файла\n", 7},
      {"continuation without a column", "ROWS\n N obj\nCOLUMNS\n obj 1\nENDATA\n", "Ошибка в секции COLUMNS MPS файла\n", 4},
      {"INTEND without INTORG", kHead + " M 'MARKER' 'INTEND'\nENDATA\n",
       "Ошибка интегрального маркера в секции COLUMNS MPS файла\n", 7},
      {"INTORG twice", kHead + " M 'MARKER' 'INTORG'\n M 'MARKER' 'INTORG'\nENDATA\n",
       "Ошибка интегрального маркера в секции COLUMNS MPS файла\n", 8},
      {"misspelt marker", kHead + " M 'MARKER' INTORG\nENDATA\n", "Ошибка интегрального маркера в секции COLUMNS MPS файла\n", 7},
      {"interrupted column", kHead + " x c1 2\nENDATA\n", "Повторение описания переменной [x]\n", 7},
      {"two objective entries", kHead.substr(0, kHead.size() - 8) + " x obj 2\nENDATA\n",
       "Столбец \"x\" уже присутствует в строке \"obj\" в секции COLUMNS MPS файла\n", 6},
      {"two entries for one row", "ROWS\n N obj\n L c1\nCOLUMNS\n x c1 1 c1 2\nENDATA\n",
       "Столбец \"x\" уже присутствует в строке \"c1\" в секции COLUMNS MPS файла\n", 5},
      {"COLUMNS value no number", kHead + " z c1 1.5x\nENDATA\n", "Поле \"1.5x\" не является числом\n", 7},
      {"COLUMNS value with a comma", kHead + " z c1 1,5\nENDATA\n", "Поле \"1,5\" не является числом\n", 7},
      {"COLUMNS value NaN", kHead + " z c1 nan\nENDATA\n", "Значение NaN в поле \"nan\" раздела COLUMNS недопустимо\n", 7},
      {"objective coefficient NaN", kHead + " z obj -NaN\nENDATA\n",
       "Значение NaN в поле \"-NaN\" раздела COLUMNS недопустимо\n", 7},
      {"COLUMNS value infinite", kHead + " z obj 1 c1 -inf\nENDATA\n",
       "Бесконечное значение в поле \"-inf\" раздела COLUMNS недопустимо\n", 7},
      {"COLUMNS value beyond the double range", kHead + " z c1 1e999\nENDATA\n",
       "Бесконечное значение в поле \"1e999\" раздела COLUMNS недопустимо\n", 7},
      // RHS and RANGES.
      {"RHS on an unknown row", kHead + "RHS\n RHS c9 1\nENDATA\n", "Ссылка на несуществующее ограничение \"c9\" в разделе RHS\n", 8},
      {"RHS line with one field", kHead + "RHS\n RHS\nENDATA\n", "Неверный формат строки в разделе RHS\n", 8},
      {"RHS value no number", kHead + "RHS\n RHS c1 four\nENDATA\n", "Поле \"four\" не является числом\n", 8},
      {"RHS value NaN", kHead + "RHS\n RHS c1 NAN\nENDATA\n", "Значение NaN в поле \"NAN\" раздела RHS недопустимо\n", 8},
      {"RHS infinite on the objective", kHead + "RHS\n RHS obj Infinity\nENDATA\n",
       "Бесконечная константа целевой функции в поле \"Infinity\" раздела RHS недопустима\n", 8},
      {"RANGES on the objective", kHead + "RANGES\n R obj 1\nENDATA\n",
       "Ссылка на несуществующее ограничение \"obj\" в разделе RANGES\n", 8},
      {"RANGES on an unknown row", kHead + "RANGES\n R c9 1\nENDATA\n",
       "Ссылка на несуществующее ограничение \"c9\" в разделе RANGES\n", 8},
      {"second range for a row", kHead + "RANGES\n R c1 1\nRANGES\n R c1 2\nENDATA\n",
       "Ограничение \"c1\" получает второй диапазон в разделе RANGES\n", 10},
      {"RANGES line with six fields", kHead + "RANGES\n R c1 1 c1 2 c1\nENDATA\n", "Неверный формат строки в разделе RANGES\n", 8},
      {"RANGES value no number", kHead + "RANGES\n R c1 -\nENDATA\n", "Поле \"-\" не является числом\n", 8},
      {"RANGES value NaN", kHead + "RANGES\n R c1 nan\nENDATA\n", "Значение NaN в поле \"nan\" раздела RANGES недопустимо\n", 8},
      // An infinite right-hand side and an infinite range leave the row a bound of no value,
      // found at the later of the two lines.
      {"infinite range after an infinite right-hand side", kHead + "RHS\n RHS c1 inf\nRANGES\n R c1 -inf\nENDATA\n",
       "Правая часть inf и диапазон -inf не задают границ ограничения \"c1\"\n", 10},
      {"infinite right-hand side after an infinite range", kHead + "RANGES\n R c1 inf\nRHS\n RHS c1 inf\nENDATA\n",
       "Правая часть inf и диапазон inf не задают границ ограничения \"c1\"\n", 10},
      // BOUNDS.
      {"BOUNDS line with one field", kHead + "BOUNDS\n UP\nENDATA\n",
       "Записи в секции BOUNDS MPS файла имеют недостаточное количество столбцов\n", 8},
      {"BOUNDS value type without value", kHead + "BOUNDS\n UP x\nENDATA\n",
       "Записи в секции BOUNDS MPS файла имеют недостаточное количество столбцов\n", 8},
      {"BOUNDS unknown column", kHead + "BOUNDS\n UP B q 1\nENDATA\n",
       "Записи в секции BOUNDS MPS ссылаются на несуществующую переменную q\n", 8},
      {"BOUNDS missing value", kHead + "BOUNDS\n UP B x\nENDATA\n", "Для записи UP не указана граница в разделе BOUNDS\n", 8},
      {"BOUNDS unknown type", kHead + "BOUNDS\n XX B x 1\nENDATA\n", "Записи в секции BOUNDS MPS файла имеет тип \"XX\"\n", 8},
      {"BOUNDS lower-case type", kHead + "BOUNDS\n up B x 1\nENDATA\n", "Записи в секции BOUNDS MPS файла имеет тип \"up\"\n", 8},
      {"BOUNDS value no number", kHead + "BOUNDS\n UP B x 1e\nENDATA\n", "Поле \"1e\" не является числом\n", 8},
      {"BOUNDS value NaN", kHead + "BOUNDS\n LO B x nan\nENDATA\n", "Значение NaN в поле \"nan\" раздела BOUNDS недопустимо\n", 8},
      {"BOUNDS value NaN, vector name left out", kHead + "BOUNDS\n FX x NaN\nENDATA\n",
       "Значение NaN в поле \"NaN\" раздела BOUNDS недопустимо\n", 8},
      // Quadratic sections.
      {"QMATRIX zero", kHead + "QMATRIX\n x y 0\nENDATA\n", "Нулевой коеффициент в разделе QMATRIX\n", 8},
      {"QMATRIX four fields", kHead + "QMATRIX\n x y 1 2\nENDATA\n", "Неверный формат строки в разделе QMATRIX\n", 8},
      {"QUADOBJ unknown column", kHead + "QUADOBJ\n x q 1\nENDATA\n",
       "Ссылка на несуществующую переменную q в разделе QUADOBJ\n", 8},
      {"QUADOBJ value no number", kHead + "QUADOBJ\n x y one\nENDATA\n", "Поле \"one\" не является числом\n", 8},
      {"QMATRIX value NaN", kHead + "QMATRIX\n x y nan\nENDATA\n", "Значение NaN в поле \"nan\" раздела QMATRIX недопустимо\n", 8},
      {"QCMATRIX value infinite", kHead + "QCMATRIX c1\n x x inf\nENDATA\n",
       "Бесконечное значение в поле \"inf\" раздела QCMATRIX недопустимо\n", 8},
      {"QCMATRIX without a row", kHead + "QCMATRIX\n x y 1\nENDATA\n", "В заголовке раздела QCMATRIX не указано ограничение\n", 7},
      {"QSECTION with an unknown row", kHead + "QSECTION c9\n x y 1\nENDATA\n",
       "Ссылка на несуществующее ограничение \"c9\" в разделе QSECTION\n", 7},
      // INDICATORS.
      {"INDICATORS first field", kHead + "INDICATORS\n IS c1 x 1\nENDATA\n", "Ошибка в секции INDICATORS MPS файла\n", 8},
      {"INDICATORS three fields", kHead + "INDICATORS\n IF c1 x\nENDATA\n", "Ошибка в секции INDICATORS MPS файла\n", 8},
      {"INDICATORS on the objective", kHead + "INDICATORS\n IF obj x 1\nENDATA\n",
       "Ссылка не несуществующее ограничение obj в секции INDICATORS MPS файла\n", 8},
      {"INDICATORS unknown column", kHead + "INDICATORS\n IF c1 q 1\nENDATA\n",
       "Ссылка не несуществующую переменную q в секции INDICATORS MPS файла\n", 8},
      {"INDICATORS value no number", kHead + "INDICATORS\n IF c1 x yes\nENDATA\n", "Поле \"yes\" не является числом\n", 8},
      {"INDICATORS value NaN", kHead + "INDICATORS\n IF c1 x nan\nENDATA\n",
       "Значение NaN в поле \"nan\" раздела INDICATORS недопустимо\n", 8},
      // GENCONS.
      {"GENCONS two fields not NL", kHead + "GENCONS\n NX g\nENDATA\n", "Неверный формат строки в разделе GENCONS\n", 8},
      {"GENCONS result before NL", kHead + "GENCONS\n    x\nENDATA\n", "Неожиданная строка 'x' в разделе GENCONS\n", 8},
      {"GENCONS unknown result", kHead + "GENCONS\n NL g\n    q\nENDATA\n", "Неизвестная переменная 'q' в разделе GENCONS\n", 9},
      {"GENCONS node before result", kHead + "GENCONS\n NL g\n    PLUS -1 -1\nENDATA\n",
       "Неожиданная строка '    PLUS -1 -1' в разделе GENCONS\n", 9},
      {"GENCONS unknown node type", kGenHead + "    plus -1 -1\nENDATA\n", "Неожиданная строка 'plus' в разделе GENCONS\n", 10},
      {"GENCONS parent too large", kGenHead + "    PLUS -1 -1\n    VARIABLE x 0\n    CONSTANT 2 3\nENDATA\n",
       "Неожиданный parent index 3 в разделе GENCONS\n", 12},
      {"GENCONS root with a parent", kGenHead + "    PLUS 0 0\nENDATA\n", "Неожиданный parent index 0 в разделе GENCONS\n", 10},
      {"GENCONS second root", kGenHead + "    PLUS -1 -1\n    CONSTANT 2 -1\nENDATA\n",
       "Неожиданный parent index -1 в разделе GENCONS\n", 11},
      {"GENCONS parent below -1", kGenHead + "    PLUS -1 -2\nENDATA\n", "Неожиданный parent index -2 в разделе GENCONS\n", 10},
      {"GENCONS parent beyond 64 bits", kGenHead + "    PLUS -1 99999999999999999999999\nENDATA\n",
       "Поле \"99999999999999999999999\" не является числом\n", 10},
      {"GENCONS parent beyond 32 bits", kGenHead + "    PLUS -1 -1\n    CONSTANT 1 4294967296\nENDATA\n",
       "Неожиданный parent index 4294967296 в разделе GENCONS\n", 11},
      {"GENCONS parent no integer", kGenHead + "    PLUS -1 0.0\nENDATA\n", "Поле \"0.0\" не является числом\n", 10},
      {"GENCONS full parent", kGenHead + "    EXP -1 -1\n    CONSTANT 1 0\n    CONSTANT 2 0\nENDATA\n",
       "У узла 0 общего ограничения g нет места для ещё одного потомка в разделе GENCONS\n", 12},
      {"GENCONS unknown variable node", kGenHead + "    VARIABLE q -1\nENDATA\n",
       "Неизвестная переменная 'q' в разделе GENCONS\n", 10},
      {"GENCONS constant no number", kGenHead + "    CONSTANT two -1\nENDATA\n", "Поле \"two\" не является числом\n", 10},
      {"GENCONS constant NaN", kGenHead + "    CONSTANT nan -1\nENDATA\n",
       "Значение NaN в поле \"nan\" раздела GENCONS недопустимо\n", 10},
      {"GENCONS constant infinite", kGenHead + "    CONSTANT -inf -1\nENDATA\n",
       "Бесконечное значение в поле \"-inf\" раздела GENCONS недопустимо\n", 10},
      {"GENCONS four fields", kGenHead + "    CONSTANT 2 -1 extra\nENDATA\n",
       "Неожиданная строка '    CONSTANT 2 -1 extra' в разделе GENCONS\n", 10},
  };
  return cases;
}

TEST(MpsReaderErrorsTest, EveryMalformedFileFailsWithItsMessage) {
  for (const Malformed& c : malformedFiles()) {
    auto read = readMpsText(c.text);
    EXPECT_FALSE(read.model) << c.what;
    ASSERT_FALSE(read.messages.empty()) << c.what;
    // The failure's own text, as an error (or, for a duplicate row name, as a warning).
    bool found = false;
    for (const mps_test::LoggedText& m : read.messages) {
      std::string prefix = m.level == 4 ? "ПРЕДУПРЕЖДЕНИЕ: " : "ОШИБКА: ";
      if (m.text == prefix + withPath(c.message, read.path)) found = true;
    }
    EXPECT_TRUE(found) << c.what << "\n" << read.log;
    std::string note = "ОШИБКА: Место ошибки: строка " + std::to_string(c.line) + " MPS файла " + read.path + "\n";
    if (c.line > 0) {
      EXPECT_EQ(read.messages.back().text, note) << c.what << "\n" << read.log;
    } else {
      EXPECT_EQ(read.log.find("Место ошибки"), std::string::npos) << c.what << "\n" << read.log;
    }
  }
}

// COLUMNS work is queued and completed a few steps later; messages still follow the lines.
TEST(MpsReaderErrorsTest, ColumnsMessagesComeInLineOrder) {
  std::string columns = "ROWS\n N obj\n L c1\n L c2\nCOLUMNS\n";  // lines 1 to 5
  for (int i = 0; i < 3; ++i) columns += " a" + std::to_string(i) + " c1 1 c2 1\n";  // lines 6 to 8
  struct Case {
    std::string tail;
    std::vector<std::string> messages;
  };
  const std::vector<Case> cases = {
      // A warning, then a failure two lines later; nothing after the failure.
      {" b c1 1 nosuch 1\n b c2 1\n a0 c1 1\n b nosuch2 1\nENDATA\n",
       {"ПРЕДУПРЕЖДЕНИЕ: Столбец \"b\" ссылается на несуществующую строку \"nosuch\" в секции COLUMNS MPS файла\n",
        "ОШИБКА: Повторение описания переменной [a0]\n", "ОШИБКА: Место ошибки: строка 11 MPS файла @\n"}},
      // A repeated pair fails before a malformed value on the next line is even reported.
      {" b c1 1 c1 2\n b c2 x\nENDATA\n",
       {"ОШИБКА: Столбец \"b\" уже присутствует в строке \"c1\" в секции COLUMNS MPS файла\n",
        "ОШИБКА: Место ошибки: строка 9 MPS файла @\n"}},
      // A warning queued before a malformed value comes first.
      {" b nosuch 1\n b c2 x\nENDATA\n",
       {"ПРЕДУПРЕЖДЕНИЕ: Столбец \"b\" ссылается на несуществующую строку \"nosuch\" в секции COLUMNS MPS файла\n",
        "ОШИБКА: Поле \"x\" не является числом\n", "ОШИБКА: Место ошибки: строка 10 MPS файла @\n"}},
      // The end of the section completes what was queued: the warning, then the next section's failure.
      {" b nosuch 1\nRHS\n RHS c9 1\nENDATA\n",
       {"ПРЕДУПРЕЖДЕНИЕ: Столбец \"b\" ссылается на несуществующую строку \"nosuch\" в секции COLUMNS MPS файла\n",
        "ОШИБКА: Ссылка на несуществующее ограничение \"c9\" в разделе RHS\n", "ОШИБКА: Место ошибки: строка 11 MPS файла @\n"}},
  };
  for (const Case& c : cases) {
    auto read = readMpsText(columns + c.tail);
    EXPECT_FALSE(read.model) << c.tail;
    std::vector<std::string> texts;
    for (const mps_test::LoggedText& m : read.messages) texts.push_back(m.text);
    std::vector<std::string> expected;
    for (const std::string& message : c.messages) expected.push_back(withPath(message, read.path));
    EXPECT_EQ(texts, expected) << c.tail;
  }
}

// ROWS lines are completed some lines after they are read: a repeated name still fails at
// its own line, before anything that a later line holds is reported.
TEST(MpsReaderErrorsTest, RowsMessagesComeInLineOrder) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"ROWS\n N obj\n L a\n G a\n X b\nENDATA\n",
       {"ПРЕДУПРЕЖДЕНИЕ: Линейные ограничения имеют одинаковые имена \"a\"\n", "ОШИБКА: Место ошибки: строка 4 MPS файла @\n"}},
      {"ROWS\n N obj\n L a\n E obj\n L\nENDATA\n",
       {"ПРЕДУПРЕЖДЕНИЕ: Линейные ограничения имеют одинаковые имена \"obj\"\n", "ОШИБКА: Место ошибки: строка 4 MPS файла @\n"}},
      {"ROWS\n N obj\n L a\n L b\n X c\n L a\nENDATA\n",
       {"ОШИБКА: В разделе ROWS MPS файла найдена сущность типа \"X\"\n", "ОШИБКА: Место ошибки: строка 5 MPS файла @\n"}},
      {"ROWS\n N obj\n L a\n L a\n",
       {"ПРЕДУПРЕЖДЕНИЕ: Линейные ограничения имеют одинаковые имена \"a\"\n", "ОШИБКА: Место ошибки: строка 4 MPS файла @\n"}},
  };
  for (const auto& [text, messages] : cases) {
    auto read = readMpsText(text);
    EXPECT_FALSE(read.model) << text;
    std::vector<std::string> texts;
    for (const mps_test::LoggedText& m : read.messages) texts.push_back(m.text);
    std::vector<std::string> expected;
    for (const std::string& message : messages) expected.push_back(withPath(message, read.path));
    EXPECT_EQ(texts, expected) << text;
  }
}

// A file that cannot be opened is one error line, the LP reader's: catalogue message 69 with the
// path and the system's reason.
TEST(MpsReaderErrorsTest, AFileThatCannotBeOpenedIsLoggedAsTheLpReaderLogsIt) {
  mps_test::ScratchDir dir;
  for (const auto& [path, error] : {std::pair{dir.file("missing.mps"), ENOENT}, std::pair{dir.path().string(), EISDIR}}) {
    SCOPED_TRACE(path);
    auto read = mps_test::readMpsPath(path);
    EXPECT_FALSE(read.model);
    ASSERT_EQ(read.messages.size(), 1u) << read.log;
    EXPECT_EQ(read.messages[0].level, kLogLevelError);
    EXPECT_EQ(read.messages[0].text, velorium::testing::catalogue_text(72) +
                                         velorium::testing::catalogue_line(69, path.c_str()) + ": " +
                                         std::strerror(error) + "\n");
    test::LogCapture lp_log;
    std::shared_ptr<Model> lp_model;
    EXPECT_EQ(readLpModelFile(lp_log.options(), path, lp_model), 1);
    ASSERT_EQ(lp_log.texts().size(), 1u);
    EXPECT_EQ(lp_log.texts()[0].text, read.messages[0].text);
  }
}

}  // namespace
}  // namespace velorium
