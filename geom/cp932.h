// Turns the drawing's CP932 (Shift-JIS) byte strings into UTF-8 for display and JSON.
#pragma once

#include <string>
#include <string_view>

namespace korvel {

// Bytes that do not decode become U+FFFD, one per byte, and decoding goes on after them.
std::string Cp932ToUtf8(std::string_view cp932);

}  // namespace korvel
