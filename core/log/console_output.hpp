// Log text on the process's standard output.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace velorium {

// Most characters (code points) of one line shown on a terminal.
inline constexpr std::size_t kConsoleLineLimit = 4095;

// Writes a UTF-8 text to standard output. On a terminal every line is cut to
// kConsoleLineLimit characters; to a file or a pipe the bytes go unchanged. Output the
// program already buffered in stdout goes first. Failures are ignored, and a closed pipe does
// not raise SIGPIPE. Safe to call from any thread; concurrent texts do not interleave.
void writeConsoleText(const char* text);

namespace console_detail {

// Cuts every line of `text` (the part before each line feed, and the rest after the last one)
// to at most `limit` characters. A character is a UTF-8 lead byte with the continuation bytes
// after it, so no character is split; line feeds are kept.
std::string cutLinesToCharacters(std::string_view text, std::size_t limit);

// The write call used by writeAll; ::write in production.
using WriteFunction = ssize_t (*)(int fd, const void* data, std::size_t size);

// Writes all `size` bytes, retrying short writes and interrupted calls; stops at the first
// error or when nothing can be written. Returns the number of bytes written.
std::size_t writeAll(int fd, const char* data, std::size_t size, WriteFunction write_function);

}  // namespace console_detail

}  // namespace velorium
