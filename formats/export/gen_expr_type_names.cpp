#include "formats/export/gen_expr_type_names.hpp"

#include <map>
#include <string>

namespace velorium {

namespace {
constexpr std::string_view kTypeNames[] = {"CONSTANT", "VARIABLE", "MINUS", "PLUS",  "DIVIDE", "MULTIPLY", "SQRT",
                                           "SQUARE",   "POW",      "EXP",   "LOG",   "LOG2",   "LOG10",    "SIN",
                                           "COS",      "TAN",      "LOGISTIC", "TANH", "SIGNPOW"};
constexpr int kTypeCount = static_cast<int>(std::size(kTypeNames));
}  // namespace

std::string_view genExprTypeName(int type) {
  return type >= 0 && type < kTypeCount ? kTypeNames[type] : std::string_view();
}

std::optional<int> genExprTypeByName(std::string_view name) {
  // Built once, under the runtime's guard for function-local statics; read-only afterwards.
  static const std::map<std::string_view, int> byName = [] {
    std::map<std::string_view, int> map;
    for (int type = 0; type < kTypeCount; ++type) map.emplace(kTypeNames[type], type);
    return map;
  }();
  auto found = byName.find(name);
  if (found == byName.end()) return std::nullopt;
  return found->second;
}

}  // namespace velorium
