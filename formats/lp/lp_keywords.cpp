#include "formats/lp/lp_keywords.hpp"

#include <unordered_map>

#include "core/text/text_utils.hpp"

namespace velorium {

namespace {
// Built once while the library loads and never changed afterwards.
const std::unordered_map<std::string_view, LpSection> lpSectionByKeyword = {
    {"minimize", LpSection::minimize},
    {"min", LpSection::minimize},
    {"minimum", LpSection::minimize},
    {"maximize", LpSection::maximize},
    {"max", LpSection::maximize},
    {"maximum", LpSection::maximize},
    {"subject to", LpSection::constraints},
    {"such that", LpSection::constraints},
    {"st", LpSection::constraints},
    {"s.t.", LpSection::constraints},
    {"bounds", LpSection::bounds},
    {"bound", LpSection::bounds},
    {"general", LpSection::generals},
    {"generals", LpSection::generals},
    {"integers", LpSection::generals},
    {"gen", LpSection::generals},
    {"binary", LpSection::binaries},
    {"binaries", LpSection::binaries},
    {"bin", LpSection::binaries},
    {"semi-continuous", LpSection::semi_continuous},
    {"semi", LpSection::semi_continuous},
    {"semis", LpSection::semi_continuous},
    {"sos", LpSection::sos},
    {"general constraints", LpSection::general_constraints},
    {"general constraint", LpSection::general_constraints},
    {"gencons", LpSection::general_constraints},
    {"g.c.", LpSection::general_constraints},
    {"end", LpSection::end},
};
}  // namespace

std::string lpLowerCopy(std::string_view text) {
  std::string lower(text);
  toLowerInPlace(lower.data());
  return lower;
}

LpSection findLpSection(std::string_view lowerCaseText) {
  auto found = lpSectionByKeyword.find(lowerCaseText);
  return found == lpSectionByKeyword.end() ? LpSection::none : found->second;
}

}  // namespace velorium
