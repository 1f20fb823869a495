// The two lexer stages and the cutting into sections, checked on small texts.
#include "formats/lp/lp_tokens.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "formats/lp/lp_syntax_error.hpp"

namespace velorium {
namespace {

// Tokens of a text written compactly: K<section> N(name) L(label) numbers free [ ] <= / * ^
// S<type> -> NL!
std::string lexText(std::string_view text) {
  LpLineReader lines = LpLineReader::ofText(text);
  LpLexer lexer(lines);
  LpNameTable names;
  std::vector<LpToken> tokens;
  buildLpTokens(lexer, names, tokens);
  std::string out;
  for (const LpToken& token : tokens) {
    if (!out.empty()) out += ' ';
    switch (token.kind) {
      case LpTokenKind::section_keyword: out += "K" + std::to_string(static_cast<int>(token.section)); break;
      case LpTokenKind::name: out += "N(" + std::string(names.text(token.name)) + ")"; break;
      case LpTokenKind::label: out += "L(" + std::string(names.text(token.name)) + ")"; break;
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
        LexCase{"general constraint keywords", "General Constraints\ngeneral constraint\nGENCONS\ng.c.", "K9 K9 K9 K9"},
        LexCase{"a keyword wherever it stands", "Subject To\n c: x + bin <= 3", "K3 L(c) N(x) 1 K6 <= 3"},
        LexCase{"number then name", "Generals\n 3x x1", "K5 3 N(x) N(x1)"},
        LexCase{"names hold blanks in constraints", "Subject To\n 2 x 3 y <= 5", "K3 2 N(x 3 y) <= 5"},
        LexCase{"not in generals", "Generals\n x 3 y", "K5 N(x) 3 N(y)"},
        LexCase{"signs join numbers", "Minimize\n - 3 x - y + z", "K1 -3 N(x) -1 N(y) 1 N(z)"},
        LexCase{"infinities", "Bounds\n -inf <= x <= +Infinity\n y >= -INF", "K4 -inf <= N(x) <= inf N(y) >= -inf"},
        LexCase{"names that begin like numbers", "Generals\n infeasible nancy inf1 Infinityx e5", "K5 N(infeasible) N(nancy) N(inf1) N(Infinityx) N(e5)"},
        LexCase{"nan as a number", "Bounds\n x <= nan", "K4 N(x) <= nan"},
        LexCase{"overflow and underflow", "Bounds\n x <= 1e999\n y >= 1e-999\n z <= 1e999z", "K4 N(x) <= inf N(y) >= 0 N(z) <= N(1e999z)"},
        LexCase{"hexadecimal", "Bounds\n x <= 0x1p3\n y <= 0x", "K4 N(x) <= 8 N(y) <= 0 N(x)"},
        LexCase{"comments", "Minimize ; the cost\n x \\ all of it\n\\ y\n", "K1 N(x)"},
        LexCase{"slash inside a name", "Minimize\n 3.6 B/A + C/A/D\n MN/CR: x/ y x /y [ x^2 ]/2 x/*c*/", "K1 3.6 N(B/A) 1 N(C/A/D) L(MN/CR) N(x) / N(y x) / N(y) [ N(x) ^ 2 ] / 2 N(x)"},
        LexCase{"semicolon inside a word is no comment", "Generals\n x;y", "K5 N(x;y)"},
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
        LexCase{"NL only after =", "General Constraints\n NL : y", "K9 L(NL) N(y)"},
        LexCase{"brackets are words elsewhere", "Generals\n ( x , )", "K5 N(() N(x) N(,) N())"},
        LexCase{"free in bounds", "Bounds\n my var free\n x Free\n a, b free", "K4 N(my var) free N(x) free N(a, b) free"},
        LexCase{"a lone free", "Bounds\n free", "K4 free"},
        LexCase{"free as a word", "Bounds\n x <= free", "K4 N(x) <= free"},
        LexCase{"keyword opens a line", "Bounds\n x <= 3\nGenerals x y", "K4 N(x) <= 3 K5 N(x) N(y)"},
        LexCase{"two-word keyword opens a line", "Generals\n x\nSubject To c: 2 x 3 y <= 1", "K5 N(x) K3 L(c) 2 N(x 3 y) <= 1"},
        LexCase{"keyword only as a whole word", "Bounds\n endless x <= 3", "K4 N(endless x) <= 3"},
        LexCase{"text before the first section", "some words 3\nMinimize\n x", "N(some) N(words) 3 K1 N(x)"},
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
                      LexErrorCase{"NUL byte in a comment", "Minimize \\ a"s + '\0', 1}));

TEST(LpNumbers, ScanTheLongestNumber) {
  struct Case {
    const char* text;
    std::size_t used;
    double value;
  } cases[] = {
      {"12.5e1x", 6, 125}, {"1.", 2, 1},      {".5", 2, 0.5},       {"2e", 1, 2},          {"2e+", 1, 2},
      {"0x1.8p1", 7, 3},   {"0X10", 4, 16},   {"0x-1", 1, 0},       {"0xinf", 1, 0},       {"INF", 3, INFINITY},
      {"infinity", 8, INFINITY}, {"1e400", 5, INFINITY}, {"0.0001e-400", 11, 0}, {"100000e-400", 11, 0},
      {"0x1p99999", 9, INFINITY}, {"x", 0, 0},  {".", 0, 0},          {"-1", 0, 0},
  };
  for (const Case& c : cases) {
    double value = 0;
    EXPECT_EQ(scanLpNumber(c.text, value), c.used) << c.text;
    if (c.used > 0) EXPECT_EQ(value, c.value) << c.text;
  }
  double value = 0;
  EXPECT_EQ(scanLpNumber("NaN", value), 3u);
  EXPECT_TRUE(std::isnan(value));
}

TEST(LpTokens, CarryTheLineOfTheirLastRawToken) {
  LpLineReader lines = LpLineReader::ofText("Subject To\n c1\n :\n x\n <\n =\n 4");
  LpLexer lexer(lines);
  LpNameTable names;
  std::vector<LpToken> tokens;
  buildLpTokens(lexer, names, tokens);
  ASSERT_EQ(tokens.size(), 5u);
  EXPECT_EQ(tokens[0].line, 1u);  // Subject To
  EXPECT_EQ(tokens[1].line, 3u);  // label c1 ends with the colon
  EXPECT_EQ(tokens[2].line, 4u);
  EXPECT_EQ(tokens[3].line, 6u);  // "<=" made of two lines
  EXPECT_EQ(tokens[4].line, 7u);
}

TEST(LpNames, InternedOncePerFile) {
  LpNameTable names;
  EXPECT_EQ(names.intern("x"), 0u);
  EXPECT_EQ(names.intern("y"), 1u);
  EXPECT_EQ(names.intern("x"), 0u);
  std::string longName(200000, 'a');
  EXPECT_EQ(names.intern(longName), 2u);
  for (int i = 0; i < 5000; ++i) names.intern("n" + std::to_string(i));
  EXPECT_EQ(names.intern(longName), 2u);
  EXPECT_EQ(names.text(2), longName);
  EXPECT_EQ(names.intern("n4999"), 5002u);
  EXPECT_EQ(names.text(1), "y");
  EXPECT_EQ(names.size(), 5003u);
}

std::map<LpSection, LpTokenRange> sectionsOf(std::string_view text) {
  LpLineReader lines = LpLineReader::ofText(text);
  LpLexer lexer(lines);
  LpNameTable names;
  std::vector<LpToken> tokens;
  buildLpTokens(lexer, names, tokens);
  return splitLpSections(tokens);
}

TEST(LpSections, CutTheTokenList) {
  auto sections = sectionsOf("ignored 3\nMinimize\n x + y\nSubject To\n c: x <= 2\nBounds\nEnd");
  ASSERT_EQ(sections.size(), 2u);
  EXPECT_EQ(sections[LpSection::minimize].begin, 3u);
  EXPECT_EQ(sections[LpSection::minimize].end, 6u);
  EXPECT_EQ(sections[LpSection::constraints].begin, 7u);
  EXPECT_EQ(sections[LpSection::constraints].end, 11u);
  EXPECT_EQ(sections.count(LpSection::bounds), 0u);
}

TEST(LpSections, EmptySectionMayComeAgain) {
  auto sections = sectionsOf("Minimize\nMaximize\n y\nMinimize\n x");
  EXPECT_EQ(sections.size(), 2u);
  EXPECT_EQ(sections.count(LpSection::minimize), 1u);
  EXPECT_EQ(sections.count(LpSection::maximize), 1u);
}

TEST(LpSections, SectionWithTokensMayNotComeAgain) {
  try {
    sectionsOf("Minimize\n x\nSubject To\n c: x <= 1\nMinimize\n y");
    ADD_FAILURE() << "no error";
  } catch (const LpSyntaxError& error) {
    EXPECT_EQ(error.line(), 5u);
  }
}

}  // namespace
}  // namespace velorium
