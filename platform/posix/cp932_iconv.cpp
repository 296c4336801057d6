// The CP932 table through iconv: the drawing's strings into UTF-8, and characters into CP932.
#include <iconv.h>

#include <cerrno>

#include "geom/cp932.h"
#include "geom/cp932_table.h"
#include "geom/utf8.h"

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
    Converter(const char *to, const char *from) : cd(iconv_open(to, from)) {}
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
        // As long as the input, which most text is, rather than twice that by doubling.
        out.reserve(in.size());
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

    // One character's UTF-8 bytes as CP932; false when it has no CP932 form.
    bool ConvertOne(const std::string &utf8, std::string &out) {
        if (cd == reinterpret_cast<iconv_t>(-1)) return false;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char *src = const_cast<char *>(utf8.data());
        std::size_t srcLeft = utf8.size();
        char buffer[8];
        char *dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1) || srcLeft != 0) return false;
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        return true;
    }

private:
    iconv_t cd;
};

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
    if (IsAscii(cp932)) return std::string(cp932);
    thread_local Converter converter("UTF-8", "CP932");
    return converter.Convert(cp932);
}

bool EncodeCp932Character(char32_t character, std::string &out) {
    thread_local Converter encoder("CP932", "UTF-8");
    std::string utf8;
    AppendUtf8(character, utf8);
    return encoder.ConvertOne(utf8, out);
}

}  // namespace korvel
