// What a strict DXF reader checks first, for the tests and the fuzz target: pairs of a group code and a
// value, every section opened and closed once in order and tables and blocks closed, every handle unique,
// no number that is not one, and the file ended by EOF. Returns what is wrong, or nothing.
#pragma once

#include <charconv>
#include <cmath>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace korvel::test {

inline std::optional<std::string> DxfProblem(std::string_view dxf) {
    std::set<std::string> handles;
    std::string section, pendingType;
    bool inTable = false, inBlock = false, ended = false;
    std::size_t pos = 0, line = 0;
    const auto next = [&](std::string_view &out) {
        if (pos >= dxf.size()) return false;
        const std::size_t end = dxf.find('\n', pos);
        if (end == std::string_view::npos) return false;
        out = dxf.substr(pos, end - pos);
        pos = end + 1;
        line++;
        return true;
    };
    std::string_view codeText, value;
    while (next(codeText)) {
        if (ended) return "text after EOF at line " + std::to_string(line);
        const std::size_t first = codeText.find_first_not_of(' ');
        if (first == std::string_view::npos) return "an empty group code at line " + std::to_string(line);
        int code = 0;
        const auto [end, ec] = std::from_chars(codeText.data() + first, codeText.data() + codeText.size(), code);
        if (ec != std::errc() || end != codeText.data() + codeText.size())
            return "no group code at line " + std::to_string(line) + ": " + std::string(codeText);
        if (!next(value)) return "a group code without a value at line " + std::to_string(line);
        const bool real = (code >= 10 && code <= 59) || (code >= 110 && code <= 149) || (code >= 210 && code <= 239) ||
                          (code >= 1010 && code <= 1059);
        if (real) {
            double number = 0;
            const auto [vend, vec] = std::from_chars(value.data(), value.data() + value.size(), number);
            if (vec != std::errc() || vend != value.data() + value.size() || !std::isfinite(number))
                return "not a number at line " + std::to_string(line) + ": " + std::string(value);
        }
        if ((code == 5 || code == 105) && !handles.insert(std::string(value)).second)
            return "handle " + std::string(value) + " twice";
        if (code == 2 && pendingType == "SECTION") section = value;
        pendingType.clear();
        if (code != 0) continue;
        pendingType = value;
        if (value == "SECTION") {
            if (!section.empty()) return "a section inside " + section;
        } else if (value == "ENDSEC") {
            if (section.empty() || inTable || inBlock) return "ENDSEC out of place at line " + std::to_string(line);
            section.clear();
        } else if (value == "TABLE") {
            if (section != "TABLES" || inTable) return "TABLE out of place at line " + std::to_string(line);
            inTable = true;
        } else if (value == "ENDTAB") {
            if (!inTable) return "ENDTAB without TABLE at line " + std::to_string(line);
            inTable = false;
        } else if (value == "BLOCK") {
            if (section != "BLOCKS" || inBlock) return "BLOCK out of place at line " + std::to_string(line);
            inBlock = true;
        } else if (value == "ENDBLK") {
            if (!inBlock) return "ENDBLK without BLOCK at line " + std::to_string(line);
            inBlock = false;
        } else if (value == "EOF") {
            if (!section.empty()) return "EOF inside " + section;
            ended = true;
        } else if (section.empty()) {
            return std::string(value) + " outside any section at line " + std::to_string(line);
        }
    }
    if (pos != dxf.size()) return std::string("a last line without its end");
    if (!ended) return std::string("no EOF");
    return std::nullopt;
}

}  // namespace korvel::test
