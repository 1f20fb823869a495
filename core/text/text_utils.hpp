// Small text utilities shared by the whole library.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

namespace velorium {

// printf-style formatting; output longer than 4095 bytes is cut at the last whole UTF-8
// character within 4095 bytes. A NUL produced by the format ends the result.
std::string formatString(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string formatStringV(const char* format, va_list args);

// Replaces every occurrence of `from`, left to right, never searching inserted text.
// An empty `from` returns the text unchanged.
std::string replaceAll(std::string text, const std::string& from, const std::string& to);

// ASCII-only case changes; every other byte (so every byte of a UTF-8 sequence) stays.
constexpr char toLowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
void toLowerInPlace(char* text);
std::string toUpperCopy(std::string text);

// The six ASCII whitespace characters: tab, line feed, vertical tab, form feed, carriage
// return, blank.
inline constexpr const char* kWhitespaceChars = "\t\n\v\f\r ";

// Removes the bytes of `set` from both ends of `text`, in place.
std::string& trimChars(std::string& text, const std::string& set);
// Drops leading and trailing blanks (0x20 only).
std::string_view trimSpaces(std::string_view text);

// Conversion between UTF-8 and windows-1251; characters that cannot be converted are skipped.
std::string convertUtf8ToCp1251(const std::string& text);
std::string convertCp1251ToUtf8(const std::string& text);

}  // namespace velorium
