// What each platform's CP932 table supplies (iconv on POSIX systems, code page 932 on Windows); the rest of
// the CP932 handling is written once, in geom/cp932.cpp.
#pragma once

#include <string>

namespace korvel {

// Appends one character's own CP932 bytes to `out`; false, appending nothing, when it has none (no best fit).
bool EncodeCp932Character(char32_t character, std::string &out);

}  // namespace korvel
