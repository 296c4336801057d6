// CP932 decoding on Windows, through the system's own code page 932 table.
#include <windows.h>

#include "geom/cp932.h"

namespace korvel {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Appends the UTF-8 of `bytes` when they are all valid CP932; false, appending nothing, otherwise.
bool Decode(std::string_view bytes, std::string &out) {
    if (bytes.empty()) return true;
    const int size = static_cast<int>(bytes.size());
    const int count = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (count <= 0) return false;
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), count);
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), count, nullptr, 0, nullptr, nullptr);
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(length));
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), count, out.data() + start, length, nullptr, nullptr);
    return true;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
    std::string out;
    if (cp932.size() < 0x7FFFFFFF && Decode(cp932, out)) return out;
    // Character by character, so that a byte that does not decode is marked and decoding goes on after it.
    std::size_t at = 0;
    while (at < cp932.size()) {
        const bool lead = IsDBCSLeadByteEx(932, static_cast<BYTE>(cp932[at]));
        const std::size_t width = std::min<std::size_t>(lead ? 2 : 1, cp932.size() - at);
        if (Decode(cp932.substr(at, width), out)) {
            at += width;
        } else {
            out += kReplacement;
            ++at;
        }
    }
    return out;
}

std::string Utf16ToCp932(std::span<const std::uint8_t> utf16le, std::uint64_t &replaced) {
    std::string out;
    for (const char32_t c : DecodeUtf16(utf16le)) {
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        wchar_t wide[2];
        int units = 1;
        if (c >= 0x10000 && c != kUnpairedSurrogate) {
            wide[0] = static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            wide[1] = static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
            units = 2;
        } else {
            wide[0] = static_cast<wchar_t>(c);
        }
        char bytes[8];
        BOOL usedDefault = FALSE;
        // No best-fit: a character without its own CP932 form is replaced, and counted, not guessed.
        const int length = c == kUnpairedSurrogate ? 0
                                                   : WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide, units, bytes,
                                                                         sizeof bytes, "?", &usedDefault);
        // Windows' table also gives U+0080 and a few private-use characters single bytes (0x80, 0xA0,
        // 0xFD..0xFF) that are no Shift-JIS characters; the only single bytes past ASCII are the
        // half-width katakana 0xA1..0xDF.
        const auto single = static_cast<unsigned char>(bytes[0]);
        const bool notShiftJis = length == 1 && (single < 0xA1 || single > 0xDF);
        if (length <= 0 || usedDefault || notShiftJis) {
            out += '?';
            ++replaced;
        } else {
            out.append(bytes, static_cast<std::size_t>(length));
        }
    }
    return out;
}

}  // namespace korvel
