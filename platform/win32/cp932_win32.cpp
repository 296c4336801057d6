// The CP932 table on Windows: the system's own code page 932, for decoding and for characters.
#include <windows.h>

#include "geom/cp932.h"
#include "geom/cp932_table.h"

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

bool EncodeCp932Character(char32_t character, std::string &out) {
    wchar_t wide[2];
    int units = 1;
    if (character >= 0x10000) {
        wide[0] = static_cast<wchar_t>(0xD800 + ((character - 0x10000) >> 10));
        wide[1] = static_cast<wchar_t>(0xDC00 + ((character - 0x10000) & 0x3FF));
        units = 2;
    } else {
        wide[0] = static_cast<wchar_t>(character);
    }
    char bytes[8];
    BOOL usedDefault = FALSE;
    // No best-fit: a character without its own CP932 form is replaced, and counted, not guessed.
    const int length =
        WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide, units, bytes, sizeof bytes, "?", &usedDefault);
    if (length <= 0 || usedDefault) return false;
    out.append(bytes, static_cast<std::size_t>(length));
    return true;
}

}  // namespace korvel
