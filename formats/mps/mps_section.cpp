#include "formats/mps/mps_section.hpp"

#include <array>
#include <string_view>

namespace velorium {

namespace {

// Views, so that comparing a field with each costs no strlen.
constexpr std::array<std::string_view, 25> kKeywords = {
    "NAME",     "OBJSENSE",  "MAX",         "MIN",       "ROWS",       "COLUMNS",  "RHS",
    "BOUNDS",   "RANGES",    "QSECTION",    "QMATRIX",   "QUADOBJ",    "QCMATRIX", "CSECTION",
    "DELAYEDROWS", "MODELCUTS", "INDICATORS", "SETS",     "SOS",        "GENCONS",  "PWLOBJ",
    "PWLNAM",   "PWLCON",    "",            "ENDATA"};

}  // namespace

MpsSection findMpsSection(std::string_view field) {
  // Every keyword is 3 to 11 upper-case letters; most data fields fail this test at once.
  if (field.size() < 3 || field.size() > 11 || field.front() < 'A' || field.front() > 'Z') return MpsSection::None;
  for (std::size_t code = 0; code < kKeywords.size(); ++code) {
    if (field == kKeywords[code] && code != static_cast<std::size_t>(MpsSection::None)) {
      return static_cast<MpsSection>(code);
    }
  }
  return MpsSection::None;
}

const char* mpsSectionKeyword(MpsSection section) {
  auto code = static_cast<std::size_t>(section);
  return code < kKeywords.size() ? kKeywords[code].data() : "";
}

}  // namespace velorium
