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
    // The double product's nearest integer, when it gives the magnitude back, is the extended one's too:
    // the product then lies within 0.1 of it. Otherwise the extended product decides.
    const auto fits = [&](std::uint64_t units) {
        return units < 1000000000000000u && static_cast<double>(units) / kPowersOfTen[decimals] == magnitude;
    };
    auto units = static_cast<std::uint64_t>(std::llround(magnitude * kPowersOfTen[decimals]));
    if (!fits(units)) units = static_cast<std::uint64_t>(std::llround(Ext(magnitude) * kPowersOfTen[decimals]));
    if (!fits(units)) return false;
    char text[20];
    const char *end = std::to_chars(text, text + sizeof text, units).ptr;
    d.count = static_cast<int>(end - text);
    std::copy(static_cast<const char *>(text), end, d.digits.begin());
    d.exponent = d.count - decimals;
    return true;
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
