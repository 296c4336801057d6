#include "tests/support/scripts.h"

#include <array>

namespace korvel::test {

namespace {

constexpr std::array<const char *, 4> kOptionNames = {"colors", "layers", "hatching", "solids"};

ConvertOptions OptionsOfBits(int bits) { return {(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0}; }

}  // namespace

std::string OptionSetName(const ConvertOptions &options) {
    const bool chosen[4] = {options.colors, options.layers, options.hatching, options.solids};
    std::string name;
    for (int i = 0; i < 4; ++i)
        if (chosen[i]) name += (name.empty() ? "" : "-") + std::string(kOptionNames[i]);
    if (name.empty()) return "none";
    return name == "colors-layers-hatching-solids" ? "all" : name;
}

std::optional<ConvertOptions> OptionSetNamed(const std::string &name) {
    for (int bits = 0; bits < 16; ++bits)
        if (OptionSetName(OptionsOfBits(bits)) == name) return OptionsOfBits(bits);
    return std::nullopt;
}

std::string FirstDifference(const std::string &actual, const std::string &expected) {
    if (actual == expected) return {};
    std::size_t line = 1, start = 0, i = 0;
    while (i < actual.size() && i < expected.size() && actual[i] == expected[i]) {
        if (actual[i] == '\n') {
            ++line;
            start = i + 1;
        }
        ++i;
    }
    const auto lineAt = [start](const std::string &text) {
        return start >= text.size() ? std::string("(end)") : text.substr(start, text.find('\n', start) - start);
    };
    return "line " + std::to_string(line) + ": got \"" + lineAt(actual) + "\", expected \"" + lineAt(expected) + "\"";
}

}  // namespace korvel::test
