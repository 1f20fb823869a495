// The refusals of the module's own input checks: catalogue messages 141 to 164 (and 505 for a
// number that is not finite), each thrown as velorium_exception with code -1 and the text in
// force, which reaches Python as VeloriumException.
#pragma once

#include <cstddef>
#include <string>

namespace veloriumpy {

// The catalogue ids of the input checks, named after what they refuse.
enum InputMessage : int {
  kListItemNotConverted = 141,
  kIndexLowerBoundSizes = 144,
  kIndexUpperBoundSizes = 143,
  kNotTwoDimensional = 145,
  kVariableTypesCount = 146,
  kVariableTypesNotConverted = 147,
  kObjectiveCoefficientsCount = 148,
  kRightHandSidesCount = 149,
  kRightHandSidesNotConverted = 150,
  kSensesCount = 151,
  kSensesNotConverted = 152,
  kCoefficientsNotConverted = 153,
  kInvalidMatrix = 154,
  kEmptyConstraint = 155,
  kMatrixNotSquare = 157,
  kVariableCountNotPositive = 158,
  kMatrixColumnsNotVariables = 159,
  kLowerBoundsNotConverted = 160,
  kUpperBoundsCount = 161,
  kUpperBoundsNotConverted = 162,
  kLinearCoefficientsNotConverted = 163,
  kLowerBoundsCount = 164,
  kNonFiniteValue = 505,
};

[[noreturn]] void raise_input_error(InputMessage id);

// Message 141: the zero-based index of the list item and its text.
[[noreturn]] void raise_list_item_error(std::size_t index, const std::string& item_text);

}  // namespace veloriumpy
