// Script operands: stored values scaled, rounded to a fixed number of decimals, and written as text.
#include "script/operands.h"

#include <charconv>
#include <cmath>

#include "geom/decimal.h"
#include "geom/extended.h"

namespace korvel {

double RoundDecimals(double v, int decimals) {
    if (!std::isfinite(v)) return 0.0;  // the text of a non-finite value does not parse
    DecimalDigits d = Decimal18(v);
    RoundHalfAwayAt(d, d.exponent + decimals);
    if (d.count == 0) return 0.0;
    // The same decimal as the fixed text, written as digits and a power of ten.
    char text[40];
    char *p = std::copy(d.digits.begin(), d.digits.begin() + d.count, text);
    *p++ = 'e';
    p = std::to_chars(p, text + sizeof text, d.exponent - d.count).ptr;
    double value = 0.0;
    if (std::from_chars(text, p, value).ec != std::errc()) return 0.0;
    return std::signbit(v) ? -value : value;
}

double ScaledX(const ScriptTransform &t, double x) { return RoundDecimals(ToDouble((Ext(x) - t.x0) * t.s), 10); }
double ScaledY(const ScriptTransform &t, double y) { return RoundDecimals(ToDouble((Ext(y) - t.y0) * t.s), 10); }
double ScaledLength(const ScriptTransform &t, double v) { return RoundDecimals(ToDouble(Ext(v) * t.s), 10); }
double RoundedAngle(double v) { return RoundDecimals(v, 14); }

double ScaledProduct(const ScriptTransform &t, double radius, Extended factor) {
    return RoundDecimals(ToDouble(Ext(radius) * factor * t.s), 10);
}

void AppendOperand(std::string &out, double v) {
    if (!std::isfinite(v)) {
        out += NonFiniteText(v);
        return;
    }
    DecimalDigits d = Decimal18(v);
    if (d.count == 0) {
        out += '0';
        return;
    }
    RoundHalfAwayAt(d, 15);
    TrimZeros(d);
    if (v < 0) out += '-';
    const char *digits = d.digits.data();
    const int e = d.exponent;  // the value is 0.d1d2... x 10^e
    if (e >= -3 && e <= 15) {
        if (e <= 0) {
            out += "0.";
            out.append(static_cast<std::size_t>(-e), '0');
            out.append(digits, static_cast<std::size_t>(d.count));
        } else if (d.count <= e) {
            out.append(digits, static_cast<std::size_t>(d.count));
            out.append(static_cast<std::size_t>(e - d.count), '0');
        } else {
            out.append(digits, static_cast<std::size_t>(e));
            out += '.';
            out.append(digits + e, static_cast<std::size_t>(d.count - e));
        }
        return;
    }
    out += digits[0];
    if (d.count > 1) {
        out += '.';
        out.append(digits + 1, static_cast<std::size_t>(d.count - 1));
    }
    out += 'E';
    char exponent[8];
    out.append(exponent, std::to_chars(exponent, exponent + sizeof exponent, e - 1).ptr);
}

}  // namespace korvel
