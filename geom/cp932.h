// The drawing's CP932 (Shift-JIS) byte strings: into UTF-8 for display and JSON, and from the UTF-16 of
// Unicode archive strings.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace korvel {

// Bytes that do not decode become U+FFFD, one per byte, and decoding goes on after them.
std::string Cp932ToUtf8(std::string_view cp932);

// UTF-16LE text (a Unicode archive string) as CP932 bytes. A character with no CP932 form, or half a
// surrogate pair, becomes "?" and is counted in `replaced`.
std::string Utf16ToCp932(std::span<const std::uint8_t> utf16le, std::uint64_t &replaced);

// The code points of UTF-16LE text; an unpaired surrogate gives kUnpairedSurrogate.
inline constexpr char32_t kUnpairedSurrogate = 0xFFFFFFFF;
std::u32string DecodeUtf16(std::span<const std::uint8_t> utf16le);

}  // namespace korvel
