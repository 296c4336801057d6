// Func_: the small numeric and text helpers that every part of Korvel shares.
#include "geom/func.h"

#include <charconv>
#include <cmath>
#include <numbers>
#include <utility>

#include "geom/decimal.h"
#include "geom/extended.h"

namespace korvel {

namespace {

// x86's truncating conversion yields 0x8000000000000000 for values out of range, whose low 32 bits are 0.
std::int64_t TruncateToInt64(Extended v) {
    if (!(v > -9223372036854775808.0L && v < 9223372036854775808.0L)) return INT64_MIN;
    return static_cast<std::int64_t>(v);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t SkipBlanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        i++;
    return i;
}

}  // namespace

std::int32_t RoundHalfAway(double x) {
    // Below 2^52 the extended sum x + 0.5 is exact, so its truncation is the truncation of x moved by
    // one when the fraction reaches a half: the same integer without the slow extended conversion.
    if (std::fabs(x) < 4503599627370496.0) {
        const auto whole = static_cast<std::int64_t>(x);
        const double fraction = x - static_cast<double>(whole);
        const std::int64_t r = whole + (fraction >= 0.5 ? 1 : fraction <= -0.5 ? -1 : 0);
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(r));
    }
    const Extended v = x >= 0 ? Ext(x) + 0.5L : Ext(x) - 0.5L;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(TruncateToInt64(v)));
}

void SwapValues(double &a, double &b) { std::swap(a, b); }

std::string FormatFixed(int decimals, double value) {
    if (!std::isfinite(value)) return NonFiniteText(value);
    if (decimals < 0) decimals = 0;
    DecimalDigits d = Decimal18(value);
    RoundHalfAwayAt(d, d.exponent + decimals);

    std::string out;
    out.reserve(static_cast<std::size_t>(std::max(d.exponent, 1) + decimals + 3));
    if (std::signbit(value) && d.count > 0) out += '-';
    auto digitAt = [&](int i) { return i >= 0 && i < d.count ? d.digits[i] : '0'; };
    // Digit i of `d` stands at 10^(exponent - 1 - i).
    if (d.count == 0 || d.exponent <= 0) {
        out += '0';
    } else {
        for (int i = 0; i < d.exponent; i++)
            out += digitAt(i);
    }
    if (decimals > 0) {
        out += '.';
        const int first = d.count == 0 ? 0 : d.exponent;
        for (int k = 0; k < decimals; k++)
            out += d.count == 0 ? '0' : digitAt(first + k);
    }
    return out;
}

double RotateX(double x, double y, double cx, double cy, double angle) {
    return ToDouble(Ext(cx) + CosE(angle) * (Ext(x) - cx) - SinE(angle) * (Ext(y) - cy));
}

double RotateY(double x, double y, double cx, double cy, double angle) {
    return ToDouble(Ext(cy) + SinE(angle) * (Ext(x) - cx) + CosE(angle) * (Ext(y) - cy));
}

double DirectionAngle(double dx, double dy) {
    if (std::fabs(dx) < 1e-14 && std::fabs(dy) < 1e-14) return 0;
    Extended a = std::atan2(Ext(dy), Ext(dx));
    if (a < 0) a += 2 * std::numbers::pi_v<Extended>;
    return ToDouble(a);
}

std::int32_t ParseIntOrZero(std::string_view text) {
    std::size_t i = SkipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        i++;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return 0;
    std::uint64_t magnitude = 0;
    for (; i < text.size(); i++) {
        const char c = text[i];
        int digit;
        if (IsDigit(c)) digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return 0;
        magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (magnitude > 0xFFFFFFFFu) return 0;
    }
    if (base == 16) {
        // Hexadecimal is a 32-bit pattern: $FFFFFFFF is -1.
        const auto bits = static_cast<std::int32_t>(static_cast<std::uint32_t>(magnitude));
        return negative ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(bits)) : bits;
    }
    if (negative) return magnitude > 0x80000000u ? 0 : static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude));
    return magnitude > 0x7FFFFFFFu ? 0 : static_cast<std::int32_t>(magnitude);
}

double ParseFloatOrZero(std::string_view text) {
    std::size_t i = SkipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t start = i;
    auto digits = [&] {
        const std::size_t from = i;
        while (i < text.size() && IsDigit(text[i]))
            i++;
        return i - from;
    };
    if (digits() == 0) return 0.0;
    if (i < text.size() && text[i] == '.') {
        i++;
        digits();
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        i++;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) i++;
        if (digits() == 0) return 0.0;
    }
    if (i != text.size()) return 0.0;
    double value = 0.0;
    const auto res = std::from_chars(text.data() + start, text.data() + i, value);
    if (res.ec != std::errc() || res.ptr != text.data() + i) return 0.0;
    return negative ? -value : value;
}

bool IsSjisLeadByte(unsigned char b) { return (b >= 0x80 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFD); }

std::size_t SjisCharBytes(std::string_view text, std::size_t p) {
    return IsSjisLeadByte(static_cast<unsigned char>(text[p])) && p + 1 < text.size() ? 2 : 1;
}

int SjisLength(std::string_view text) {
    int n = 0;
    for (std::size_t p = 0; p < text.size(); p += SjisCharBytes(text, p))
        n++;
    return n;
}

std::string SjisCopy(std::string_view text, int start, int count) {
    const int n = SjisLength(text);
    if (n < start || count <= 0 || n == 0) return {};
    const long long last = std::min<long long>(static_cast<long long>(start) + count - 1, n);
    std::string out;
    std::size_t p = 0;
    for (long long i = 1; i <= last; i++) {
        const std::size_t len = SjisCharBytes(text, p);
        if (i >= start) out.append(text.substr(p, len));
        p += len;
    }
    return out;
}

}  // namespace korvel
