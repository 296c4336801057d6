// Script text for test expectations: each full-width space (Shift-JIS 0x81 0x40) shown as "_".
#pragma once

#include <string>
#include <string_view>

namespace korvel::test {

inline std::string Readable(std::string_view script) {
    std::string out;
    for (std::size_t i = 0; i < script.size(); i++) {
        if (script.substr(i, 2) == "\x81\x40") {
            out += '_';
            i++;
        } else {
            out += script[i];
        }
    }
    return out;
}

}  // namespace korvel::test
