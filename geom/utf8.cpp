// UTF-8 text character by character.
#include "geom/utf8.h"

#include <cstdint>
#include <cstdio>
#include <optional>

namespace korvel {

namespace {

struct Decoded {
    char32_t c;
    std::size_t bytes;
};

// The character at `at`, or nothing where the bytes there are not well-formed UTF-8.
std::optional<Decoded> DecodeAt(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return Decoded{lead, 1};
    const std::size_t bytes = lead >= 0xC2 && lead <= 0xDF   ? 2
                              : lead >= 0xE0 && lead <= 0xEF ? 3
                              : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                             : 0;
    if (bytes == 0 || at + bytes > text.size()) return std::nullopt;
    char32_t c = lead & (0xFF >> (bytes + 1));
    for (std::size_t i = 1; i < bytes; i++) {
        if ((byte(at + i) & 0xC0) != 0x80) return std::nullopt;
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    const char32_t smallest = bytes == 2 ? 0x80 : bytes == 3 ? 0x800 : 0x10000;
    if (c < smallest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    return Decoded{c, bytes};
}

// The lower-case letter of an upper-case one, as the file systems of Windows pair them.
char32_t LowerOf(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 0x20;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;     // Latin-1: À..Þ but ×
    if (c >= 0x100 && c <= 0x137 && c != 0x130) return c | 1;     // Ā..ķ in pairs (İ stays)
    if (c >= 0x139 && c <= 0x148) return c % 2 == 1 ? c + 1 : c;  // Ĺ..ň
    if (c >= 0x14A && c <= 0x177) return c | 1;                   // Ŋ..ŷ
    if (c == 0x178) return 0xFF;                                  // Ÿ
    if (c == 0x179 || c == 0x17B || c == 0x17D) return c + 1;     // Ź Ż Ž
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;  // Greek capitals
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;                // Cyrillic А..Я
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;                // Ѐ..Џ, Ё among them
    if (c >= 0x2160 && c <= 0x216F) return c + 0x10;              // Roman numerals Ⅰ..Ⅿ
    if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;              // full-width Ａ..Ｚ
    return c;
}

}  // namespace

void AppendUtf8(char32_t c, std::string &out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::optional<Decoded> d = DecodeAt(text, i);
        if (!d) return false;
        i += d->bytes;
    }
    return true;
}

std::string CaseFolded(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        const std::optional<Decoded> d = DecodeAt(name, i);
        if (!d) {
            out += name[i++];
            continue;
        }
        AppendUtf8(LowerOf(d->c), out);
        i += d->bytes;
    }
    return out;
}

std::string ControlsEscaped(std::string_view text, std::string_view alsoEscaped) {
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", u);
            out += escaped;
        } else {
            if (alsoEscaped.find(c) != std::string_view::npos) out += '\\';
            out += c;
        }
    }
    return out;
}

}  // namespace korvel
