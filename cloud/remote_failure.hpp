// How a remote operation that failed tells why, alike in its client log and in its result: the
// catalogue text that the log shows, then the reason.
#pragma once

#include <string>
#include <string_view>

namespace velorium::nimbrova {

// Catalogue message `message` without its line feeds and blanks at either end, then `reason`
// (without control characters and final line feeds): after ": ", or after a blank when the
// message ends with ":" or "." ("Ошибка: Http result : 404", "Ошибка сети. connecting: Connection
// refused"). The message alone when there is no reason.
std::string failure_text(int message, std::string_view reason);

}  // namespace velorium::nimbrova
