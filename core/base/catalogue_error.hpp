// Failures with a catalogue text, as thrown inside the library.
#pragma once

namespace velorium {

// Throws velorium_exception with code -1 and the catalogue text of `message_id` filled in
// with the printf-style arguments.
[[noreturn]] void throw_catalogue_error(int message_id, ...);

}  // namespace velorium
