// Text of an exported figure built apart and kept only when every number in it is one, so that a coordinate
// that overflows once scaled leaves out its figure instead of spoiling the file.
#pragma once

#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace korvel {

class StagedText {
public:
    StagedText &operator<<(std::string_view text) {
        staged.append(text);
        return *this;
    }
    StagedText &operator<<(char c) {
        staged += c;
        return *this;
    }
    // The shortest text that reads back as the same double.
    StagedText &operator<<(double value) {
        if (!std::isfinite(value)) {
            finite = false;
            value = 0;
        }
        char digits[32];
        staged.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
        return *this;
    }
    StagedText &Integer(long long value) {
        char digits[24];
        staged.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
        return *this;
    }
    StagedText &Hex(unsigned long long value) {
        char digits[24];
        staged.append(digits, std::to_chars(digits, digits + sizeof digits, value, 16).ptr);
        return *this;
    }

    // Appends what was staged to `to` when all its numbers were numbers, and says whether it did; starts
    // the next figure either way.
    bool CommitTo(std::string &to) {
        const bool ok = finite;
        if (ok) to.append(staged);
        staged.clear();
        finite = true;
        return ok;
    }

private:
    std::string staged;
    bool finite = true;
};

}  // namespace korvel
