// Decimal digits of a double: the exact value rounded to 18 significant digits, then re-rounded.
#include "geom/decimal.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace korvel {

namespace {

// Reads to_chars' scientific form "d[.ddd]e[+-]XX" (not NUL-terminated).
DecimalDigits FromScientific(const char *text, const char *end) {
    DecimalDigits d;
    const char *p = std::find(text, end, 'e');
    d.digits[0] = text[0];
    int count = 1;
    if (p - text > 2) {  // "d.ddd": the digits after the point
        std::copy(text + 2, p, d.digits.begin() + 1);
        count += static_cast<int>(p - text - 2);
    }
    d.count = count;
    if (p < end && p[1] == '+') p++;
    int scientific = 0;
    std::from_chars(p + 1, end, scientific);
    d.exponent = scientific + 1;
    return d;
}

}  // namespace

DecimalDigits Decimal18(double value) {
    if (value == 0 || !std::isfinite(value)) return {};
    // to_chars with a precision rounds the exact binary value, ties to even, like glibc's printf.
    char text[40];
    const auto res = std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific, 17);
    return FromScientific(text, res.ptr);
}

DecimalDigits ShortestDigits(double value) {
    if (value == 0 || !std::isfinite(value)) return {};
    char text[40];
    const auto res = std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific);
    return FromScientific(text, res.ptr);
}

double NearestDouble(const DecimalDigits &d) {
    if (d.count == 0) return 0.0;
    std::uint64_t mantissa = 0;
    for (int i = 0; i < d.count; i++)
        mantissa = mantissa * 10 + static_cast<unsigned>(d.digits[i] - '0');
    const int power = d.exponent - d.count;  // the value is mantissa x 10^power
    // Both factors exact and one correctly rounded operation: the nearest double (Clinger's fast path).
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (mantissa <= (std::uint64_t{1} << 53) && power >= -22 && power <= 22) {
        const auto m = static_cast<double>(mantissa);
        return power < 0 ? m / kPowers[-power] : m * kPowers[power];
    }
    char text[48];
    char *p = std::copy(d.digits.begin(), d.digits.begin() + d.count, text);
    *p++ = 'e';
    p = std::to_chars(p, text + sizeof text, power).ptr;
    double value = 0.0;
    if (std::from_chars(text, p, value).ec != std::errc()) return 0.0;
    return value;
}

void RoundHalfAwayAt(DecimalDigits &d, int keep) {
    if (d.count == 0 || keep >= d.count) return;
    if (keep < 0) {
        d.count = 0;  // the first dropped digit is an implicit zero
        return;
    }
    const bool up = d.digits[keep] >= '5';
    d.count = keep;
    if (!up) {
        if (d.count == 0) d.exponent = 0;
        return;
    }
    int i = keep - 1;
    while (i >= 0 && d.digits[i] == '9')
        d.digits[i--] = '0';
    if (i >= 0) {
        d.digits[i]++;
        return;
    }
    // All kept digits were 9 (or none were kept): the value gains a leading 1.
    for (int j = d.count; j > 0; j--)
        d.digits[j] = d.digits[j - 1];
    d.digits[0] = '1';
    d.count++;
    d.exponent++;
}

void TrimZeros(DecimalDigits &d) {
    while (d.count > 0 && d.digits[d.count - 1] == '0')
        d.count--;
}

const char *NonFiniteText(double value) {
    if (std::isnan(value)) return "NAN";
    return value > 0 ? "INF" : "-INF";
}

}  // namespace korvel
