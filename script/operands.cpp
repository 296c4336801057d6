// Script operands: stored values scaled, rounded to a fixed number of decimals, and written as text.
#include "script/operands.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "geom/decimal.h"
#include "geom/error_bounds.h"
#include "geom/extended.h"

namespace korvel {

namespace {

constexpr double kPowersOfTen[] = {1e0, 1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7, 1e8,
                                   1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16};

// Rounding v at `decimals` places for the common case, without any text: v x 10^decimals is formed in
// extended precision (relative error 2^-64) and must lie more than 0.01 away from a midpoint, which is
// more than the shift of rounding v to 18 digits first (at most 0.005 here, as v x 10^decimals < 2^52).
// The result is the nearest double to the rounded integer over 10^decimals, one correctly rounded
// division of two exact doubles.
bool RoundWithoutText(double v, int decimals, double &rounded) {
    if (decimals < 0 || decimals > 16) return false;
    // First in doubles: below 2^44 the double product lies within 2^-9 of the extended one, so when it
    // is more than 0.0125 from a midpoint the extended one is more than 0.01 from it, on the same side.
    const double quick = std::fabs(v) * kPowersOfTen[decimals];
    if (quick < 0x1p44) {
        const auto whole = static_cast<std::uint64_t>(quick);
        const double fraction = quick - static_cast<double>(whole);  // exact
        if (std::fabs(fraction - 0.5) > kRoundingMidpointMargin) {
            const std::uint64_t units = whole + (fraction > 0.5 ? 1 : 0);
            rounded = static_cast<double>(units) / kPowersOfTen[decimals];
            if (std::signbit(v) && units != 0) rounded = -rounded;
            return true;
        }
    }
    const Extended scaled = Ext(std::fabs(v)) * kPowersOfTen[decimals];
    if (!(scaled < 4503599627370496.0L)) return false;  // 2^52; also false for NaN
    const Extended whole = std::floor(scaled);
    const Extended fraction = scaled - whole;
    if (std::fabs(fraction - 0.5L) <= 0.01L) return false;
    const auto units = static_cast<std::uint64_t>(whole) + (fraction > 0.5L ? 1 : 0);
    rounded = static_cast<double>(units) / kPowersOfTen[decimals];
    if (std::signbit(v) && units != 0) rounded = -rounded;
    return true;
}

// The digits of a magnitude that is the nearest double to a decimal of at most 15 significant digits
// with at most 14 decimals (below 10) or 10 (below 10^5), as rounded coordinates and angles are. Such
// a decimal is also what rounding the exact value to 18 and then 15 digits gives, since the double
// lies within 0.12 units of the decimal's 15th digit.
bool ShortDecimalDigits(double magnitude, DecimalDigits &d) {
    const int decimals = magnitude < 10 ? 14 : magnitude < 1e5 ? 10 : -1;
    if (decimals < 0) return false;
    // Any whole number of units below 10^15 that gives the magnitude back is the decimal: two such
    // decimals lie farther apart than a double's spacing. The double product rounded is nearly always
    // it; otherwise the extended product decides.
    const auto fits = [&](std::uint64_t units) {
        return units < 1000000000000000u && static_cast<double>(units) / kPowersOfTen[decimals] == magnitude;
    };
    const double product = magnitude * kPowersOfTen[decimals];
    auto units = static_cast<std::uint64_t>(product < 1e15 ? product + 0.5 : 0);
    if (!fits(units)) units = static_cast<std::uint64_t>(std::llround(Ext(magnitude) * kPowersOfTen[decimals]));
    if (!fits(units)) return false;
    d.count = static_cast<int>(std::to_chars(d.digits.data(), d.digits.data() + d.digits.size(), units).ptr -
                               d.digits.data());
    d.exponent = d.count - decimals;
    return true;
}

// Writes the digits as the operand's text: fixed notation for exponents from -3 to 15, else scientific.
char *WriteDigits(char *at, const DecimalDigits &d, bool negative) {
    if (negative) *at++ = '-';
    const char *digits = d.digits.data();
    const auto count = static_cast<std::size_t>(d.count);
    const int e = d.exponent;  // the value is 0.d1d2... x 10^e
    if (e >= -3 && e <= 15) {
        if (e <= 0) {
            at = std::copy_n("0.000", 2 - e, at);
            return std::copy_n(digits, count, at);
        }
        const auto whole = static_cast<std::size_t>(e);
        if (count <= whole) return std::fill_n(std::copy_n(digits, count, at), whole - count, '0');
        at = std::copy_n(digits, whole, at);
        *at++ = '.';
        return std::copy_n(digits + whole, count - whole, at);
    }
    *at++ = digits[0];
    if (count > 1) {
        *at++ = '.';
        at = std::copy_n(digits + 1, count - 1, at);
    }
    *at++ = 'E';
    return std::to_chars(at, at + 8, e - 1).ptr;
}

}  // namespace

double RoundDecimals(double v, int decimals) {
    if (!std::isfinite(v)) return 0.0;  // the text of a non-finite value does not parse
    double rounded;
    if (RoundWithoutText(v, decimals, rounded)) return rounded;
    DecimalDigits d = Decimal18(v);
    RoundHalfAwayAt(d, d.exponent + decimals);
    TrimZeros(d);
    const double value = NearestDouble(d);  // the same decimal as the fixed text
    return std::signbit(v) && value != 0 ? -value : value;
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
    if (v == 0) {
        out += '0';
        return;
    }
    DecimalDigits d;
    if (!ShortDecimalDigits(std::fabs(v), d)) {
        // Shortest digits of 15 or fewer are the rounded ones for the same reason; otherwise round the
        // exact value.
        d = ShortestDigits(v);
        if (d.count > 15) {
            d = Decimal18(v);
            RoundHalfAwayAt(d, 15);
        }
    }
    TrimZeros(d);
    // Sign, "0.000", 15 digits and a point, or a signed three-digit exponent: far below this.
    char text[40];
    out.append(text, WriteDigits(text, d, v < 0));
}

}  // namespace korvel
