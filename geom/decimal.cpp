// Decimal digits of a double: the exact value rounded to 18 significant digits, then re-rounded.
#include "geom/decimal.h"

#include <charconv>
#include <cmath>

namespace korvel {

DecimalDigits Decimal18(double value) {
    DecimalDigits d;
    if (value == 0 || !std::isfinite(value)) return d;
    // to_chars with a precision rounds the exact binary value, ties to even, like glibc's printf.
    char text[40];
    const auto res = std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific, 17);
    // Layout: "d.ddddddddddddddddde+XX"; the text is not NUL-terminated.
    d.digits[0] = text[0];
    for (int i = 0; i < 17; i++) d.digits[i + 1] = text[2 + i];
    d.count = 18;
    const char *exponent = text + 20;
    if (*exponent == '+') exponent++;
    int scientific = 0;
    std::from_chars(exponent, res.ptr, scientific);
    d.exponent = scientific + 1;
    return d;
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
    while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
    if (i >= 0) {
        d.digits[i]++;
        return;
    }
    // All kept digits were 9 (or none were kept): the value gains a leading 1.
    for (int j = d.count; j > 0; j--) d.digits[j] = d.digits[j - 1];
    d.digits[0] = '1';
    d.count++;
    d.exponent++;
}

void TrimZeros(DecimalDigits &d) {
    while (d.count > 0 && d.digits[d.count - 1] == '0') d.count--;
}

const char *NonFiniteText(double value) {
    if (std::isnan(value)) return "NAN";
    return value > 0 ? "INF" : "-INF";
}

}  // namespace korvel
