// A calculation's identifier is data that the client puts into request targets
// (base + uid + "/status"), whether the service gave it or a caller did: only identifiers that
// cannot change a target's meaning pass.
#pragma once

#include <string>
#include <string_view>

namespace velorium::nimbrova {

// One or more of A-Z, a-z, 0-9, ".", "_" and "-", and neither "." nor "..".
bool is_valid_calc_uid(std::string_view uid);

// The one text that refuses an identifier: "the calculation identifier [UID] is not valid: ..."
// (the identifier's first 64 bytes at most, its control characters shown as "?" or left out).
std::string invalid_calc_uid_text(std::string_view uid);

// Throws std::invalid_argument with that text when `uid` is not valid.
void check_calc_uid(std::string_view uid);

}  // namespace velorium::nimbrova
