#include "core/text/text_utils.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/text/message_catalogue.hpp"

namespace velorium {
namespace {

constexpr std::size_t kLimit = 4095;

std::string repeated(std::size_t count) { return std::string(count, 'a'); }

TEST(FormatString, FillsPlaceholders) {
  EXPECT_EQ(formatString("%s = [%d] %.1f %zu%%", "x", -3, 2.25, std::size_t{7}), "x = [-3] 2.2 7%");
  EXPECT_EQ(formatString(""), "");
  EXPECT_EQ(formatString(get_message(69), "модель.lp"), "Невозможно открыть файл модель.lp\n");
  EXPECT_EQ(formatString(get_message(498), std::size_t{2}), " и ещё 2 переименований");
}

TEST(FormatString, CutsLongOutputAtTheLimit) {
  // Compared with == so that a failure does not print kilobytes of text.
  EXPECT_TRUE(formatString("%s", repeated(5000).c_str()) == repeated(kLimit));
  EXPECT_TRUE(formatString("%s", repeated(kLimit).c_str()) == repeated(kLimit));
  EXPECT_TRUE(formatString("%s", repeated(kLimit - 1).c_str()) == repeated(kLimit - 1));
  EXPECT_TRUE(formatString("%s!", repeated(kLimit).c_str()) == repeated(kLimit));
}

TEST(FormatString, NeverSplitsAUtf8Character) {
  struct Case {
    std::size_t prefix;
    const char* character;
    std::size_t expected;
  };
  const Case cases[] = {
      {kLimit - 1, "я", kLimit - 1},          // two bytes crossing the limit: dropped
      {kLimit - 2, "я", kLimit},              // two bytes ending on the limit: kept
      {kLimit - 1, "中", kLimit - 1},         // three bytes, one inside
      {kLimit - 2, "中", kLimit - 2},         // three bytes, two inside
      {kLimit - 3, "中", kLimit},             // three bytes ending on the limit
      {kLimit - 3, "\xF0\x9F\x98\x80", kLimit - 3},  // four bytes, three inside
      {kLimit - 4, "\xF0\x9F\x98\x80", kLimit},      // four bytes ending on the limit
  };
  for (const Case& c : cases) {
    std::string text = repeated(c.prefix) + c.character + "tail";
    std::string result = formatString("%s", text.c_str());
    EXPECT_EQ(result.size(), c.expected) << "prefix " << c.prefix << " + " << c.character;
    EXPECT_TRUE(result == text.substr(0, c.expected)) << "prefix " << c.prefix << " + " << c.character;
  }
  // Two-byte letters throughout: an odd limit falls inside a letter, which is dropped whole.
  std::string cyrillic;
  while (cyrillic.size() < 5000) cyrillic += "ж";
  std::string cut = formatString("%s", cyrillic.c_str());
  EXPECT_EQ(cut.size(), kLimit - 1);
  EXPECT_TRUE(cut == cyrillic.substr(0, kLimit - 1));
  // With one ASCII byte in front the letters end exactly on the limit and all of them stay.
  EXPECT_EQ(formatString("a%s", cyrillic.c_str()).size(), kLimit);
}

TEST(FormatString, NulProducedByTheFormatEndsTheResult) {
  EXPECT_EQ(formatString("ab%cde", 0), "ab");
  EXPECT_EQ(formatString("%c%s", 0, repeated(5000).c_str()), "");
  EXPECT_TRUE(formatString("%s%c%s", repeated(100).c_str(), 0, repeated(5000).c_str()) == repeated(100));
}

TEST(ReplaceAll, ReplacesEveryOccurrenceLeftToRight) {
  struct Case {
    std::string text, from, to, expected;
  };
  const std::vector<Case> cases = {
      {"line 1\nline 2\n", "\n", "\n> ", "line 1\n> line 2\n> "},
      {"no match here", "\n", "\n> ", "no match here"},
      {"text", "", "x", "text"},
      {"aaa", "a", "aa", "aaaaaa"},   // inserted text is never searched again
      {"aaaa", "aa", "b", "bb"},      // occurrences do not overlap
      {"aaa", "aa", "b", "ba"},
      {"", "a", "b", ""},
      {"привет мир", "мир", "world", "привет world"},
      {"x-y-z", "-", "", "xyz"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(replaceAll(c.text, c.from, c.to), c.expected) << "[" << c.text << "] [" << c.from << "]";
  }
}

TEST(TrimChars, RemovesSetCharactersAtBothEnds) {
  struct Case {
    std::string text, set, expected;
  };
  const std::vector<Case> cases = {
      {"\t a b\r\n", kWhitespaceChars, "a b"},
      {" \t\n\v\f\r", kWhitespaceChars, ""},
      {"", kWhitespaceChars, ""},
      {"  inner  blanks  ", kWhitespaceChars, "inner  blanks"},
      {"xxaxbxx", "x", "axb"},
      {"  kept  ", "", "  kept  "},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    std::string& result = trimChars(text, c.set);
    EXPECT_EQ(&result, &text);
    EXPECT_EQ(text, c.expected) << "[" << c.text << "]";
  }
}

TEST(TrimSpaces, RemovesBlanksOnly) {
  EXPECT_EQ(trimSpaces("  a b  "), "a b");
  EXPECT_EQ(trimSpaces("\t a \t"), "\t a \t");
  EXPECT_EQ(trimSpaces(" \tname "), "\tname");
  EXPECT_EQ(trimSpaces("    "), "");
  EXPECT_EQ(trimSpaces(""), "");
}

TEST(CaseChanges, TouchAsciiLettersOnly) {
  EXPECT_EQ(toUpperCopy(".mps"), ".MPS");
  EXPECT_EQ(toUpperCopy("модель_v1.lp"), "модель_V1.LP");

  const std::string cyrillic = "ИМЯ_Переменной_ЁЖ";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s_MaxRow", cyrillic.c_str());
  toLowerInPlace(buffer);
  EXPECT_EQ(std::string(buffer), cyrillic + "_maxrow");
}

TEST(Cp1251, CyrillicRoundTrip) {
  const std::string utf8 = "Привет, мир! Ёё Жж";
  const std::string cp1251 = convertUtf8ToCp1251(utf8);
  EXPECT_EQ(cp1251.size(), 18u);  // one byte per character
  EXPECT_EQ(static_cast<unsigned char>(cp1251[0]), 0xCF);   // П
  EXPECT_EQ(static_cast<unsigned char>(cp1251[13]), 0xA8);  // Ё
  EXPECT_EQ(static_cast<unsigned char>(cp1251[14]), 0xB8);  // ё
  EXPECT_EQ(convertCp1251ToUtf8(cp1251), utf8);
}

TEST(Cp1251, SkipsWhatCannotBeConverted) {
  EXPECT_EQ(convertUtf8ToCp1251("a中b"), "ab");
  EXPECT_EQ(convertUtf8ToCp1251("a\xFF" "b\xD0"), "ab");  // broken UTF-8 input
  EXPECT_EQ(convertUtf8ToCp1251(""), "");
}

}  // namespace
}  // namespace velorium
