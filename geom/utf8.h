// UTF-8 text character by character: checking it, and folding letter case as Windows compares file names.
#pragma once

#include <string>
#include <string_view>

namespace korvel {

// A code point (below U+110000) as UTF-8, after `out`'s bytes.
void AppendUtf8(char32_t c, std::string &out);

// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsUtf8(std::string_view text);

// The character Windows treats as the same letter in a file name, in lower case: ASCII, Latin-1 and
// Latin Extended-A, Greek, Cyrillic, Roman numerals and full-width Latin letters, which covers every letter
// CP932 can name. Anything else, and bytes that are not UTF-8, stay as they are.
std::string CaseFolded(std::string_view name);

// Text for a terminal: control characters (escape sequences among them) as \xNN, so that a file's name
// can neither break a line nor act on the terminal; the characters in `alsoEscaped` behind a backslash.
std::string ControlsEscaped(std::string_view text, std::string_view alsoEscaped = {});

}  // namespace korvel
