// A small streaming JSON writer for the command line's output.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace korvel {

// Writes through a buffer to a FILE; commas between members are placed automatically.
class JsonOut {
public:
    explicit JsonOut(std::FILE *out) : out(out) {}
    ~JsonOut() { Flush(); }
    JsonOut(const JsonOut &) = delete;
    JsonOut &operator=(const JsonOut &) = delete;

    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    void Key(std::string_view name);
    void Number(double value);  // shortest round-trip form; "nan", "inf", "-inf" as strings
    void Integer(std::int64_t value);
    void Bool(bool value);
    void String(std::string_view utf8);  // bytes that are not UTF-8 read as CP932
    void Newline() { buffer += '\n'; }

    // False when any write failed.
    bool Flush();

private:
    void BeforeValue();

    std::FILE *out;
    std::string buffer;
    bool needComma = false;
    bool afterKey = false;
    bool failed = false;
};

}  // namespace korvel
