// One node of a general expression tree, flattened into a sequence.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

namespace velorium {

// The payload is 8 bytes: a constant's value as a double; a variable's store index as an
// int32 followed by four zero bytes; all zero for an operator.
struct ExprNodeRecord {
  std::int32_t type = 0;     // a gen_expr_type value, 0 to 18
  std::int32_t parent = -1;  // position of the parent node in the same sequence; -1 for the root
  std::array<unsigned char, 8> payload{};

  static constexpr std::int32_t kConstantType = 0;
  static constexpr std::int32_t kVariableType = 1;

  static ExprNodeRecord constant(double value, std::int32_t parent) {
    ExprNodeRecord node{kConstantType, parent, {}};
    std::memcpy(node.payload.data(), &value, sizeof value);
    return node;
  }
  static ExprNodeRecord variable(std::int32_t store_index, std::int32_t parent) {
    ExprNodeRecord node{kVariableType, parent, {}};
    std::memcpy(node.payload.data(), &store_index, sizeof store_index);
    return node;
  }
  static ExprNodeRecord operation(std::int32_t type, std::int32_t parent) { return {type, parent, {}}; }

  double constant_value() const {
    double value;
    std::memcpy(&value, payload.data(), sizeof value);
    return value;
  }
  std::int32_t variable_index() const {
    std::int32_t index;
    std::memcpy(&index, payload.data(), sizeof index);
    return index;
  }
};

}  // namespace velorium
