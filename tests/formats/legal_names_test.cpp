#include "formats/export/legal_names.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "formats/mps/mps_section.hpp"

namespace velorium {
namespace {

struct LegalCase {
  std::string name;
  std::string written;
};

// How names are written: unchanged when legal, else their legal form.
const LegalCase kLegalCases[] = {
    {"x", "x"},
    {"e5", "e5"},
    {"x#1", "x#1"},
    {"s.t.x", "s.t.x"},
    {"1x", "_1x"},
    {"3", "_3"},
    {".5", "_.5"},
    {".x", "_.x"},
    {".", "_."},
    {"..5", "_..5"},
    {"x.", "x."},
    {"Integer", "_Integer"},
    {"INT", "_INT"},
    {"integers5", "integers5"},
    {"inf", "_inf"},
    {"Infinity", "_Infinity"},
    {"NaN", "_NaN"},
    {"info", "_info"},
    {"0x1", "_0x1"},
    {"Max", "_Max"},
    {"S.T.", "_S.T."},
    {"gencons", "_gencons"},
    {"SEMI-CONTINUOUS", "SEMI_CONTINUOUS"},
    {"semi_continuous", "semi_continuous"},
    {"a b", "a_b"},
    {"x[1]", "x_1_"},
    {"-5", "_5"},
    {"+5", "_5"},
    {"a-b", "a_b"},
    {"a\tb\nc\vd\fe\rf", "a_b_c_d_e_f"},
    {"a\\b:c+d<e>f^g=h/i*j;k", "a_b_c_d_e_f_g_h_i_j_k"},
    {"", "name"},
    {"переменная", "переменная"},
    {"x.y#z", "x.y#z"},
    {"RHS", "_RHS"},
    {"ENDATA", "_ENDATA"},
    {"rhs", "rhs"},
    {"NAME", "_NAME"},
};

TEST(LegalNames, WritesEachNameInItsLegalForm) {
  for (const LegalCase& c : kLegalCases) {
    SCOPED_TRACE(c.name);
    bool unchanged = c.name == c.written;
    EXPECT_EQ(isLegalName(c.name), unchanged);
    EXPECT_EQ(makeLegalName(c.name), c.written);
  }
  EXPECT_EQ(makeLegalName(static_cast<const char*>(nullptr)), "name");
}

TEST(LegalNames, KnowsTheLpKeywordsInAnyCase) {
  EXPECT_EQ(std::size(kLpKeywords), 31u);
  for (std::string_view keyword : kLpKeywords) {
    std::string upper(keyword);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_TRUE(isLpKeyword(keyword)) << keyword;
    EXPECT_TRUE(isLpKeyword(upper)) << upper;
    if (!containsForbiddenNameChar(keyword)) EXPECT_EQ(makeLegalName(keyword), "_" + std::string(keyword));
  }
  for (const char* other : {"", "subject to", "minimise", "ends", "semi-", "s.t", "g.c", "x"}) {
    EXPECT_FALSE(isLpKeyword(other)) << other;
  }
}

// Every section keyword the MPS reader knows, and its integer marker, is no legal name,
// matched exactly.
TEST(LegalNames, KnowsEveryMpsReservedWord) {
  int keywords = 0;
  for (int code = 0; code <= static_cast<int>(MpsSection::EndOfReading); ++code) {
    const std::string keyword = mpsSectionKeyword(static_cast<MpsSection>(code));
    if (keyword.empty()) continue;
    ++keywords;
    EXPECT_TRUE(isMpsReservedWord(keyword)) << keyword;
    EXPECT_FALSE(isLegalName(keyword)) << keyword;
    EXPECT_EQ(makeLegalName(keyword), "_" + keyword);
  }
  EXPECT_EQ(keywords, 24);
  EXPECT_TRUE(isMpsReservedWord("'MARKER'"));
  EXPECT_EQ(makeLegalName("'MARKER'"), "_'MARKER'");
  for (const char* other : {"", "Rows", "ENDATA ", "COLUMN", "x"}) EXPECT_FALSE(isMpsReservedWord(other)) << other;
  for (const char* near : {"MARKER", "'marker'", "'INTORG'", "'MARKER'x"}) EXPECT_TRUE(isLegalName(near)) << near;
}

// The number test stands for strtod: it must agree with it on every first few bytes.
TEST(LegalNames, NumberPrefixAgreesWithStrtod) {
  const char* samples[] = {"1",   "x1",  ".5",   ".",    ".e1", "-.5", "+1",  "-x",   "inf",   "INFinity", "nan",
                           "nAn(1)", "in", "na", "0x",  "0xg", "e5",  " 1",  "\t-2", "_1",  "#1",   "1e",    "i",
                           "-inf", "+",  "",    "-",    "x.5"};
  for (const char* sample : samples) {
    char* end = nullptr;
    std::strtod(sample, &end);
    EXPECT_EQ(startsWithNumber(sample), end != sample) << '"' << sample << '"';
  }
}

TEST(LegalNames, ForbidsExactlyTheListedBytes) {
  for (int byte = 1; byte < 256; ++byte) {
    std::string name = "a";
    name += static_cast<char>(byte);
    bool forbidden = std::string_view(kForbiddenNameChars).find(static_cast<char>(byte)) != std::string_view::npos;
    EXPECT_EQ(containsForbiddenNameChar(name), forbidden) << byte;
  }
  EXPECT_EQ(kForbiddenNameChars.size(), 19u);
}

}  // namespace
}  // namespace velorium
