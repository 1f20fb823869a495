// The two lexer stages and the cutting into sections, checked on small texts.
#include "formats/lp/lp_tokens.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "formats/lp/lp_reader.hpp"
#include "formats/lp/lp_syntax_error.hpp"
#include "core/names/names_holder.hpp"

namespace velorium {
namespace {

// Tokens of a text written compactly: K<section> N(name) L(label) numbers free [ ] <= / * ^
// S<type> -> NL!
std::string lexText(std::string_view text) {
  LpLineReader lines = LpLineReader::ofText(text);
  LpLexer lexer(lines);
  LpColumnIndex columns;
  LpTokenStream tokens(lexer, columns);
  std::string out;
  for (; tokens.peek(0).kind != LpTokenKind::end_of_text; tokens.consume(1)) {
    const LpToken& token = tokens.peek(0);
    if (!out.empty()) out += ' ';
    switch (token.kind) {
      case LpTokenKind::end_of_text: break;
      case LpTokenKind::section_keyword: out += "K" + std::to_string(static_cast<int>(token.section)); break;
      case LpTokenKind::name: out += "N(" + std::string(token.text) + ")"; break;
      case LpTokenKind::label: out += "L(" + std::string(token.text) + ")"; break;
      case LpTokenKind::number: {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%g", token.number);
        out += buffer;
        break;
      }
      case LpTokenKind::free: out += "free"; break;
      case LpTokenKind::open_bracket: out += "["; break;
      case LpTokenKind::close_bracket: out += "]"; break;
      case LpTokenKind::comparison: {
        static const char* const texts[] = {"<=", "<", "=", ">", ">="};
        out += texts[static_cast<int>(token.comparison)];
        break;
      }
      case LpTokenKind::slash: out += "/"; break;
      case LpTokenKind::star: out += "*"; break;
      case LpTokenKind::caret: out += "^"; break;
      case LpTokenKind::sos_type: out += "S" + std::to_string(token.sosType); break;
      case LpTokenKind::arrow: out += "->"; break;
      case LpTokenKind::nl_marker: out += "NL!"; break;
    }
  }
  return out;
}

struct LexCase {
  const char* what;
  std::string text;
  const char* tokens;
};

class LpLexing : public ::testing::TestWithParam<LexCase> {};

TEST_P(LpLexing, GivesTheTokens) {
  EXPECT_EQ(lexText(GetParam().text), GetParam().tokens) << GetParam().what;
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Cases, LpLexing,
    ::testing::Values(
        LexCase{"label and terms", "Minimize\n obj: 3 x + 2 y", "K1 L(obj) 3 N(x) 2 N(y)"},
        LexCase{"keywords in any case", "MINIMIZE\nMaximum\nSubject To\ns.t.\nst\nSuch That\nBounds\nbound", "K1 K2 K3 K3 K3 K3 K4 K4"},
        LexCase{"more keywords", "Generals\nINTEGERS\ngen\nBinary\nbin\nSEMI-CONTINUOUS\nsemis\nSOS\nEnd", "K5 K5 K5 K6 K6 K7 K7 K8 K10"},
        LexCase{"integer sections as other tools write them", "Integer\nINT\n x\nInt x", "K5 K5 N(x) K5 N(x)"},
        LexCase{"general constraint keywords", "General Constraints\ngeneral constraint\nGENCONS\ng.c.", "K9 K9 K9 K9"},
        LexCase{"a keyword wherever it stands", "Subject To\n c: x + bin <= 3", "K3 L(c) N(x) 1 K6 <= 3"},
        LexCase{"number then name", "Generals\n 3 x x1 x.5", "K5 3 N(x) N(x1) N(x.5)"},
        LexCase{"names hold blanks in constraints", "Subject To\n 2 x 3 y <= 5", "K3 2 N(x 3 y) <= 5"},
        LexCase{"not in generals", "Generals\n x 3 y", "K5 N(x) 3 N(y)"},
        LexCase{"signs join numbers", "Minimize\n - 3 x - y + z", "K1 -3 N(x) -1 N(y) 1 N(z)"},
        LexCase{"infinities", "Bounds\n -inf <= x <= +Infinity\n y >= -INF", "K4 -inf <= N(x) <= inf N(y) >= -inf"},
        LexCase{"names that begin like numbers", "Generals\n infeasible nancy inf1 Infinityx e5", "K5 N(infeasible) N(nancy) N(inf1) N(Infinityx) N(e5)"},
        LexCase{"overflow and underflow", "Bounds\n x <= 1e999\n y >= 1e-999", "K4 N(x) <= inf N(y) >= 0"},
        LexCase{"numbers end at operators and blanks", "Subject To\n c: 2.5 x2+3/y-1.e1*z<=1e-1\n", "K3 L(c) 2.5 N(x2) 3 / N(y) -10 * N(z) <= 0.1"},
        LexCase{"comments", "Minimize ; the cost\n x \\ all of it\n\\ y\n", "K1 N(x)"},
        LexCase{"slash inside a name", "Minimize\n 3.6 B/A + C/A/D\n MN/CR: x/ y x /y [ x^2 ]/2 x/*c*/", "K1 3.6 N(B/A) 1 N(C/A/D) L(MN/CR) N(x) / N(y x) / N(y) [ N(x) ^ 2 ] / 2 N(x)"},
        LexCase{"semicolon ends a name and comments out the rest", "Generals\n x;y\n z ; w", "K5 N(x) N(z)"},
        LexCase{"comment cuts a name holding blanks", "Subject To\n c: x + y ; total\n", "K3 L(c) N(x) 1 N(y)"},
        LexCase{"comment after free", "Bounds\n x free ; note\n y free \\ note", "K4 N(x) free N(y) free"},
        LexCase{"malformed numbers inside a block comment", "Minimize /* version 2b, 1,5 and nan */ x", "K1 N(x)"},
        LexCase{"block comment", "Minimize /* a\n b */ x /* open", "K1 N(x)"},
        LexCase{"carriage returns", "Minimize\r\n x\r\n + y\r\n", "K1 N(x) 1 N(y)"},
        LexCase{"byte-order mark", "\xEF\xBB\xBFMinimize\n x", "K1 N(x)"},
        LexCase{"other ASCII whitespace", "Generals\n\v\fx\f y\r", "K5 N(x) N(y)"},
        LexCase{"comparisons", "Subject To\n x <= 1 x < 1 x = 1 x > 1 x >= 1 x =< 1", "K3 N(x) <= 1 N(x) < 1 N(x) = 1 N(x) > 1 N(x) >= 1 N(x) = < 1"},
        LexCase{"quadratic block", "Minimize\n obj: [ 2 x^2 + 4 x * y ]/ 2", "K1 L(obj) [ 2 N(x) ^ 2 4 N(x) * N(y) ] / 2"},
        LexCase{"plus before a bracket", "Minimize\n x + [ y ^ 2 ]", "K1 N(x) [ N(y) ^ 2 ]"},
        LexCase{"indicator", "Subject To\n c1: b = 1 -> 2 x <= 3", "K3 L(c1) N(b) = 1 -> 2 N(x) <= 3"},
        LexCase{"sos types", "SOS\n s: S1:: x:1 y:2\n t: s2::", "K8 L(s) S1 L(x) 1 L(y) 2 L(t) S2"},
        LexCase{"general constraint", "General Constraints\n g : y = NL : ( PLUS , -1 , -1 ) ( VARIABLE , x , 0 )",
                "K9 L(g) N(y) = NL! [ N(PLUS) -1 -1 ] [ N(VARIABLE) N(x) 0 ]"},
        LexCase{"commas and brackets after numbers of a node", "General Constraints\n g : y = NL : ( CONSTANT , 2.5, 0)",
                "K9 L(g) N(y) = NL! [ N(CONSTANT) 2.5 0 ]"},
        LexCase{"NL only after =", "General Constraints\n NL : y", "K9 L(NL) N(y)"},
        LexCase{"brackets are words elsewhere", "Generals\n ( x , )", "K5 N(() N(x) N(,) N())"},
        LexCase{"free in bounds", "Bounds\n my var free\n x Free\n a, b free", "K4 N(my var) free N(x) free N(a, b) free"},
        LexCase{"a lone free", "Bounds\n free", "K4 free"},
        LexCase{"free as a word", "Bounds\n x <= free", "K4 N(x) <= free"},
        LexCase{"keyword opens a line", "Bounds\n x <= 3\nGenerals x y", "K4 N(x) <= 3 K5 N(x) N(y)"},
        LexCase{"two-word keyword opens a line", "Generals\n x\nSubject To c: 2 x 3 y <= 1", "K5 N(x) K3 L(c) 2 N(x 3 y) <= 1"},
        LexCase{"keyword only as a whole word", "Bounds\n endless x <= 3", "K4 N(endless x) <= 3"},
        LexCase{"text before the first section", "some words 3\nMinimize\n x", "N(some) N(words) 3 K1 N(x)"},
        LexCase{"a number run into a letter, which begins a name",
                "Minimize\n obj: 3x + 2y - 4.5z\nSubject To\n c: 2e1x -1e-2y >= 0xy + 0X",
                "K1 L(obj) 3 N(x) 2 N(y) -4.5 N(z) K3 L(c) 20 N(x) -0.01 N(y) >= 0 N(xy) 0 N(X)"},
        LexCase{"a number run into a keyword", "Generals\n x 3bin y", "K5 N(x) 3 K6 N(y)"},
        LexCase{"empty text", "", ""}));

struct LexErrorCase {
  const char* what;
  std::string text;
  LpLineNumber line;
};

class LpLexingErrors : public ::testing::TestWithParam<LexErrorCase> {};

TEST_P(LpLexingErrors, FailOnTheLine) {
  try {
    lexText(GetParam().text);
    ADD_FAILURE() << GetParam().what << ": no error";
  } catch (const LpSyntaxError& error) {
    EXPECT_STREQ(error.what(), "File not existent or illegal file format.");
    EXPECT_EQ(error.line(), GetParam().line) << GetParam().what << ": " << error.reason();
    EXPECT_FALSE(error.reason().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LpLexingErrors,
    ::testing::Values(LexErrorCase{"keyword before a colon", "Minimize\nmax: x", 2},
                      LexErrorCase{"lone colon", "Minimize\n x\n + : y", 3},
                      LexErrorCase{"minus before bracket", "Minimize\n\n x - [ y^2 ]", 3},
                      LexErrorCase{"number before bracket", "Minimize\n 3 [ y^2 ]", 2},
                      LexErrorCase{"bad SOS type", "SOS\n s: S3:: x:1", 2},
                      LexErrorCase{"NUL byte", "Minimize\n x\n y"s + '\0' + "z\n", 3},
                      LexErrorCase{"NUL byte in a comment", "Minimize \\ a"s + '\0', 1},
                      LexErrorCase{"number run into an underscore", "Minimize\n obj: x\n + 3_y", 3},
                      LexErrorCase{"signed number run into an underscore", "Minimize\n obj: x + 2_y", 2},
                      LexErrorCase{"number run into a letter that is no ASCII letter", "Minimize\n obj: 3\xD1\x85", 2},
                      LexErrorCase{"exponent without digits before a name", "Minimize\n obj: 2ex", 2},
                      LexErrorCase{"hexadecimal number with letters", "Minimize\n obj: 0x1F", 2},
                      LexErrorCase{"hexadecimal fraction", "Minimize\n obj: 0X.8p1 y", 2},
                      LexErrorCase{"decimal comma", "Bounds\n x <= 1,5", 2},
                      LexErrorCase{"exponent without digits", "Bounds\n x <= 1e", 2},
                      LexErrorCase{"two points", "Minimize\n obj: 1.2.3 x", 2},
                      LexErrorCase{"hexadecimal", "Bounds\n x <= 0x1p3", 2},
                      LexErrorCase{"overflow run into a name", "Bounds\n x <= 1e999z", 2},
                      LexErrorCase{"comma after a number outside general constraints", "Generals\n x\nSOS\n s: S1:: x:1,", 4},
                      LexErrorCase{"NaN", "Bounds\n x <= nan", 2},
                      LexErrorCase{"signed NaN", "Minimize\n\n - NaN x", 3}));

TEST(LpNumbers, ScanTheLongestDecimal) {
  struct Case {
    const char* text;
    std::size_t used;
    double value;
  } cases[] = {
      {"12.5e1x", 6, 125},   {"1.", 2, 1},          {".5", 2, 0.5},         {"2e", 1, 2},         {"2e+", 1, 2},
      {"2E-2", 4, 0.02},     {"0x1.8p1", 1, 0},     {"0X10", 1, 0},         {"INF", 0, 0},        {"nan", 0, 0},
      {"1e400", 5, INFINITY}, {"0.0001e-400", 11, 0}, {"100000e-400", 11, 0}, {"1e99999999999999", 16, INFINITY},
      {"00000000000000000000000000000001.5", 34, 1.5}, {"x", 0, 0}, {".", 0, 0}, {".e5", 0, 0}, {"-1", 0, 0},
  };
  for (const Case& c : cases) {
    double value = -7;
    EXPECT_EQ(scanLpDecimal(c.text, value), c.used) << c.text;
    if (c.used > 0) EXPECT_EQ(value, c.value) << c.text;
  }
}

// The quick path for short numbers must round exactly as the full conversion does.
TEST(LpNumbers, ReadEveryDigitExactly) {
  std::mt19937_64 random(7);
  char text[40];
  for (int i = 0; i < 20000; ++i) {
    double wanted;
    std::uint64_t bits = random();
    std::memcpy(&wanted, &bits, sizeof wanted);
    if (!std::isfinite(wanted)) continue;
    wanted = std::fabs(wanted);
    const int digits = 1 + static_cast<int>(random() % 17);
    std::snprintf(text, sizeof text, i % 2 ? "%.*g" : "%.*e", digits - (i % 2 ? 0 : 1), wanted);
    double value = -1;
    ASSERT_EQ(scanLpDecimal(text, value), std::strlen(text)) << text;
    EXPECT_EQ(value, std::strtod(text, nullptr)) << text;
  }
  // Midpoints between two doubles and values a hair off one, which a rounding to 64 bits
  // first would move onto the midpoint.
  for (const char* text : {"0.1", "0.3", "9007199254740993", "9007199254740992.5", "123456789012345678", "1e22", "1e23",
                           "4.9406564584124654e-324", "1.7976931348623157e308", "2.2250738585072011e-308",
                           "90071992547409930e-1", "18014398509481986", "18014398509481987", "1801439850948198.7e1",
                           "9007199254740993.0000001", "9007199254740992.9999999", "900719925474099300000e-5",
                           "0.9007199254740993", "9.007199254740993e-22", "9007199254740993e22", "7.637832775255088210e+08",
                           "5.010592463914982800e+05", "1.479580930844517331e-03", "6.463832585803969355"}) {
    double value = -1;
    scanLpDecimal(text, value);
    EXPECT_EQ(value, std::strtod(text, nullptr)) << text;
  }
}

// Numbers read from lines go a faster way, eight digits at a time; they come out as exactly.
TEST(LpNumbers, NumbersInLinesReadExactly) {
  std::mt19937_64 random(11);
  std::vector<std::string> texts;
  std::string text = "Subject To\n";
  char number[40];
  for (int i = 0; i < 4000; ++i) {
    double wanted = std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 120) - 100);
    const int digits = 1 + static_cast<int>(random() % 19);
    std::snprintf(number, sizeof number, i % 3 == 0 ? "%.*e" : "%.*g", i % 3 == 0 ? digits - 1 : digits, wanted);
    if (i % 5 == 0) std::snprintf(number, sizeof number, "%llu", static_cast<unsigned long long>(random() >> (random() % 64)));
    if (std::strtod(number, nullptr) == 0) std::snprintf(number, sizeof number, "%d", i + 1);  // a zero term is dropped
    texts.emplace_back(number);
    // Alone on its line, after a sign, and before more text on the line.
    text += " c" + std::to_string(i) + ": " + (i % 2 ? "- " : "-") + texts.back() + " x + y <= " + texts.back() + (i % 7 ? "\n" : " ");
  }
  auto model = parseLpText(text);
  ASSERT_EQ(model->rows.size(), texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const double wanted = std::strtod(texts[i].c_str(), nullptr);
    EXPECT_EQ(model->rows[i].upper, wanted) << texts[i];
    EXPECT_EQ(model->rows[i].expression.linear_terms.at(0).coefficient, -wanted) << texts[i];
  }
}

TEST(LpTokens, CarryTheLineOfTheirLastRawToken) {
  LpLineReader lines = LpLineReader::ofText("Subject To\n c1\n :\n x\n <\n =\n 4");
  LpLexer lexer(lines);
  LpColumnIndex columns;
  LpTokenStream tokens(lexer, columns);
  EXPECT_EQ(tokens.peek(0).line, 1u);  // Subject To
  EXPECT_EQ(tokens.peek(1).line, 3u);  // label c1 ends with the colon
  EXPECT_EQ(tokens.peek(1).text, "c1");
  EXPECT_EQ(tokens.peek(2).line, 4u);
  EXPECT_EQ(tokens.peek(3).line, 6u);  // "<=" made of two lines
  EXPECT_EQ(tokens.peek(4).line, 7u);
  EXPECT_EQ(tokens.peek(5).kind, LpTokenKind::end_of_text);
  EXPECT_EQ(tokens.peek(7).kind, LpTokenKind::end_of_text);
  tokens.consume(3);
  EXPECT_EQ(tokens.lastLine(), 4u);
  tokens.consume(5);  // never past the end of the text
  EXPECT_EQ(tokens.peek(0).kind, LpTokenKind::end_of_text);
  EXPECT_EQ(tokens.lastLine(), 7u);
}

// A long text goes through the stream's ring many times over; names copied out of their
// lines stay intact however far ahead the lexer has read.
TEST(LpTokens, NamesSurviveTheirLines) {
  std::string text = "Generals\n";
  for (int i = 0; i < 3000; ++i) text += " name_" + std::to_string(i) + (i % 3 == 0 ? "\n" : "");
  LpLineReader lines = LpLineReader::ofText(text);
  LpLexer lexer(lines);
  LpColumnIndex columns;
  LpTokenStream tokens(lexer, columns);
  tokens.consume(1);
  for (int i = 0; i < 3000; ++i) {
    const bool inText = i + LpTokenStream::kLookahead - 1 < 3000;
    ASSERT_EQ(tokens.peek(LpTokenStream::kLookahead - 1).kind, inText ? LpTokenKind::name : LpTokenKind::end_of_text);
    ASSERT_EQ(tokens.peek(0).text, "name_" + std::to_string(i));
    tokens.consume(1);
  }
  EXPECT_EQ(tokens.peek(0).kind, LpTokenKind::end_of_text);
}

// Names are found by their whole text (across several growths of the table); names of up to
// 8 bytes are compared by their bytes, longer ones through the pool. Columns are numbered in
// the order of insertion.
TEST(LpColumnIndex, FindsEachNameItsColumn) {
  std::vector<std::string> names = {"x", "x1", "abcdefgh", "abcdefghi", "abcdefghj", "abcdefgh\xC3\xA9", std::string(300, 'n'),
                                    std::string(300, 'n') + "o", std::string(255, 'm'), std::string(256, 'm')};
  for (int i = 0; i < 5000; ++i) names.push_back("var" + std::to_string(i));
  LpColumnIndex index;
  VeloriumNamesHolder& pool = names_pool();
  for (std::size_t i = 0; i < names.size(); ++i) {
    const LpColumnIndex::Key key = LpColumnIndex::keyOf(names[i]);
    ASSERT_EQ(index.find(names[i], key), LpColumnIndex::kMissing) << names[i];
    ASSERT_EQ(index.insert(pool.name_view(static_cast<std::int32_t>(pool.find_or_add_name(names[i]))), key), static_cast<std::int32_t>(i));
  }
  EXPECT_EQ(index.size(), names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    // The key of a name read from a line, with bytes of any value behind it, is the same.
    std::string padded = names[i] + "\x7F\x7F\x7F\x7F\x7F\x7F\x7F\x7F";
    const LpColumnIndex::Key key = LpColumnIndex::keyOfReadable(padded.data(), names[i].size());
    EXPECT_EQ(index.find(names[i], key), static_cast<std::int32_t>(i)) << names[i];
  }
  for (const std::string& missing : std::vector<std::string>{"", "abcdefg", "abcdefghk", std::string(299, 'n'), std::string(257, 'm'), "var5000"}) {
    EXPECT_EQ(index.find(missing, LpColumnIndex::keyOf(missing)), LpColumnIndex::kMissing) << missing;
  }
}

}  // namespace
}  // namespace velorium
