#include "core/general/gen_expr_type_info.hpp"

#include <array>

namespace velorium {

namespace {

struct TypeInfo {
  int arity;
  const char* display_name;
};

// Indexed by the enumeration's value.
constexpr std::array<TypeInfo, 19> kTypes{{
    {0, "Constant"},
    {0, "Variable"},
    {2, "Minus"},
    {-1, "Plus"},
    {2, "Divide"},
    {-1, "Multiply"},
    {1, "SquareRoot"},
    {1, "Sqr"},
    {2, "Pow"},
    {1, "Exp"},
    {1, "Log"},
    {1, "Log2"},
    {1, "Log10"},
    {1, "Sin"},
    {1, "Cos"},
    {1, "Tan"},
    {1, "Logistic"},
    {1, "Tanh"},
    {2, "SignPow"},
}};

}  // namespace

bool is_gen_expr_type(int value) noexcept { return value >= 0 && value < static_cast<int>(kTypes.size()); }

int gen_expr_arity(gen_expr_type type) noexcept {
  const int value = static_cast<int>(type);
  return is_gen_expr_type(value) ? kTypes[static_cast<std::size_t>(value)].arity : 0;
}

const char* gen_expr_display_name(gen_expr_type type) noexcept {
  const int value = static_cast<int>(type);
  return is_gen_expr_type(value) ? kTypes[static_cast<std::size_t>(value)].display_name : "";
}

}  // namespace velorium
