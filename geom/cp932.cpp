// Turns the drawing's CP932 (Shift-JIS) byte strings into UTF-8 for display and JSON.
#include "geom/cp932.h"

#include <iconv.h>

#include <cerrno>

namespace korvel {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool IsAscii(std::string_view s) {
    for (const char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

class Converter {
public:
    Converter() : cd(iconv_open("UTF-8", "CP932")) {}
    ~Converter() {
        if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    std::string Convert(std::string_view in) {
        std::string out;
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            // Without a CP932 table keep the ASCII and mark the rest.
            for (const char c : in)
                out += static_cast<unsigned char>(c) < 0x80 ? std::string(1, c) : kReplacement;
            return out;
        }
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char *src = const_cast<char *>(in.data());
        std::size_t srcLeft = in.size();
        char buffer[256];
        while (srcLeft > 0) {
            char *dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (rc != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
            // EILSEQ or an incomplete character at the end: mark one byte and go on after it.
            out += kReplacement;
            src++;
            srcLeft--;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t cd;
};

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
    if (IsAscii(cp932)) return std::string(cp932);
    thread_local Converter converter;
    return converter.Convert(cp932);
}

}  // namespace korvel
