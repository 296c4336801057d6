// CP932 (Shift-JIS) from Unicode archive strings: the walk over the text, the same on every platform; each
// platform's table (cp932_table.h) supplies the characters.
#include "geom/cp932.h"

#include "geom/cp932_table.h"

namespace korvel {

std::string Utf16ToCp932(std::span<const std::uint8_t> utf16le, std::uint64_t &replaced) {
    std::string out;
    std::string bytes;
    for (const char32_t c : DecodeUtf16(utf16le)) {
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        bytes.clear();
        // Some tables also give U+0080 and a few private-use characters single bytes (0x80, 0xA0,
        // 0xFD..0xFF) that are no Shift-JIS characters; the only single bytes past ASCII are the half-width
        // katakana 0xA1..0xDF.
        const bool encoded = c != kUnpairedSurrogate && EncodeCp932Character(c, bytes) && !bytes.empty();
        const auto single = encoded ? static_cast<unsigned char>(bytes[0]) : 0;
        if (!encoded || (bytes.size() == 1 && (single < 0xA1 || single > 0xDF))) {
            out += '?';
            ++replaced;
        } else {
            out += bytes;
        }
    }
    return out;
}

}  // namespace korvel
