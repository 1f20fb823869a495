// Section keywords of the MPS format.
#pragma once

#include <string_view>

namespace velorium {

// Codes of the section keywords; None marks a line that is no keyword, EndOfReading the end
// of a reading that failed.
enum class MpsSection : int {
  Name = 0,
  ObjSense = 1,
  Max = 2,
  Min = 3,
  Rows = 4,
  Columns = 5,
  Rhs = 6,
  Bounds = 7,
  Ranges = 8,
  QSection = 9,
  QMatrix = 10,
  QuadObj = 11,
  QcMatrix = 12,
  CSection = 13,
  DelayedRows = 14,
  ModelCuts = 15,
  Indicators = 16,
  Sets = 17,
  Sos = 18,
  GenCons = 19,
  PwlObj = 20,
  PwlNam = 21,
  PwlCon = 22,
  None = 23,
  EndData = 24,
  EndOfReading = 25,
};

// The section whose keyword `field` is (exactly, case-sensitively); None for any other text.
MpsSection findMpsSection(std::string_view field);

// The keyword of a section, "" for None and EndOfReading.
const char* mpsSectionKeyword(MpsSection section);

}  // namespace velorium
