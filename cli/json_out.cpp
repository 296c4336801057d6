// A small streaming JSON writer for the command line's output.
#include "cli/json_out.h"

#include <charconv>
#include <cmath>

#include "geom/cp932.h"
#include "geom/utf8.h"

namespace korvel {

void JsonOut::BeforeValue() {
    if (!afterKey && needComma) buffer += ',';
    afterKey = false;
    needComma = true;
    if (buffer.size() >= (1 << 16)) Flush();
}

void JsonOut::BeginObject() {
    BeforeValue();
    buffer += '{';
    needComma = false;
}

void JsonOut::EndObject() {
    buffer += '}';
    needComma = true;
}

void JsonOut::BeginArray() {
    BeforeValue();
    buffer += '[';
    needComma = false;
}

void JsonOut::EndArray() {
    buffer += ']';
    needComma = true;
}

void JsonOut::Key(std::string_view name) {
    String(name);
    buffer += ':';
    afterKey = true;
}

void JsonOut::Number(double value) {
    if (std::isnan(value)) return String("nan");
    if (std::isinf(value)) return String(value > 0 ? "inf" : "-inf");
    BeforeValue();
    char text[32];
    const auto res = std::to_chars(text, text + sizeof text, value);
    buffer.append(text, res.ptr);
}

void JsonOut::Integer(std::int64_t value) {
    BeforeValue();
    buffer += std::to_string(value);
}

void JsonOut::Bool(bool value) {
    BeforeValue();
    buffer += value ? "true" : "false";
}

void JsonOut::String(std::string_view utf8) {
    // JSON is UTF-8 always: other bytes are read as CP932, the drawings' own encoding, where U+FFFD stands
    // for what does not decode.
    if (!IsUtf8(utf8)) return String(Cp932ToUtf8(utf8));
    BeforeValue();
    buffer += '"';
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            buffer += '\\';
            buffer += c;
        } else if (u < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", u);
            buffer += esc;
        } else {
            buffer += c;
        }
    }
    buffer += '"';
}

bool JsonOut::Flush() {
    if (!buffer.empty() && std::fwrite(buffer.data(), 1, buffer.size(), out) != buffer.size()) failed = true;
    buffer.clear();
    if (std::fflush(out) != 0) failed = true;
    return !failed;
}

}  // namespace korvel
