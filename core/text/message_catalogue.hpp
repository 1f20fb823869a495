// The message catalogue: numbered texts in three index-aligned languages (Russian in force).
#pragma once

namespace velorium {

// Ids 0..518 hold texts ("" where an id is unused); index 519 is a null pointer.
inline constexpr int kMessageCount = 519;
inline constexpr int kMessageTableSize = 520;

extern const char* const messagesRussian[kMessageTableSize];
extern const char* const messagesEnglish[kMessageTableSize];
extern const char* const messagesChinese[kMessageTableSize];

// The table lookups read, and the language it belongs to (0 Russian, 1 English, 2 Chinese).
// Both are fixed after load: Russian is the language in force.
extern const char* const* const currentMessageTable;
extern const int messageLanguage;

// Text of message `id` (0..518) in the language in force; valid for the life of the process.
// Ids outside that range give "".
const char* get_message(int id);

// Sets the character-type locale that belongs to the message language. Only UTF-8 locales
// are tried; a failure is ignored and the process never switches to a non-UTF-8 locale.
void apply_message_locale();

}  // namespace velorium
