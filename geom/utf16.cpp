// UTF-16LE decoding, shared by the platforms' CP932 encoders.
#include "geom/cp932.h"

namespace korvel {

std::u32string DecodeUtf16(std::span<const std::uint8_t> utf16le) {
    std::u32string out;
    out.reserve(utf16le.size() / 2);
    const std::size_t units = utf16le.size() / 2;
    const auto unit = [&](std::size_t i) -> char32_t { return utf16le[2 * i] | (char32_t{utf16le[2 * i + 1]} << 8); };
    for (std::size_t i = 0; i < units; ++i) {
        const char32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
            out += 0x10000 + ((u - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            out += kUnpairedSurrogate;
        } else {
            out += u;
        }
    }
    return out;
}

}  // namespace korvel
