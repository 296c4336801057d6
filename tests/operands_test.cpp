// Script operands: the decimal rounding and the 15-digit text that every command line uses.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "geom/decimal.h"
#include "geom/func.h"
#include "script/operands.h"

using namespace korvel;

namespace {
std::string Operand(double v) {
    std::string s;
    AppendOperand(s, v);
    return s;
}
}  // namespace

TEST(AppendOperand, FifteenDigitsFixedOrScientific) {
    struct Case {
        double value;
        const char *expected;
    };
    const Case cases[] = {
        {0.5, "0.5"},
        {0.0001, "0.0001"},
        {12.25, "12.25"},
        {100, "100"},
        {-1.5, "-1.5"},
        {0.000015, "1.5E-5"},
        {0.00005, "5E-5"},
        {1e15, "1E15"},
        {1.25e16, "1.25E16"},
        {1e-10, "1E-10"},
        {0.0, "0"},
        {-0.0, "0"},
        {999999999999999.9, "1E15"},  // the exponent after rounding decides the notation
        {0.000099999999999999999, "0.0001"},
        {123456789012345.67, "123456789012346"},
        {193.6788761970775, "193.678876197078"},  // ...0774999: 18 digits make the 16th a 5, which goes up
        {86129952.01298365, "86129952.0129837"},
        {0.30000000000000004, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {-2.5e-7, "-2.5E-7"},
        {1.7976931348623157e308, "1.79769313486232E308"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(Operand(c.value), c.expected);
    }
}

// Random values of every magnitude, raw bit patterns, and values a few steps from the midpoints
// where rounding turns (the text-free path must hand those to the exact one).
std::vector<double> OperandInputs() {
    std::mt19937_64 random(42);
    std::uniform_int_distribution<int> exponent(-16, 20);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<std::int64_t> units(0, 100000000000000);
    std::vector<double> values;
    for (int i = 0; i < 100000; i++) {
        values.push_back(mantissa(random) * std::pow(10.0, exponent(random)));
        values.push_back(std::bit_cast<double>(random()));
        for (const double unit : {1e-10, 1e-14}) {
            double v = (static_cast<double>(units(random) % (i % 2 ? 100000 : 100000000000000)) + 0.5) * unit;
            for (int step = 0; step < i % 4; step++)
                v = std::nextafter(v, i % 3 ? 1e300 : -1e300);
            values.push_back(i % 5 ? v : -v);
        }
    }
    return values;
}

TEST(RoundDecimals, AgreesWithFormattingAndParsingBack) {
    for (const double v : OperandInputs()) {
        for (const int decimals : {10, 14}) {
            const double expected = ParseFloatOrZero(FormatFixed(decimals, v));
            const double got = RoundDecimals(v, decimals);
            ASSERT_EQ(std::bit_cast<std::uint64_t>(got), std::bit_cast<std::uint64_t>(expected))
                << decimals << " decimals of " << v;
        }
    }
}

// The digits and exponent that an operand's text shows.
std::pair<std::string, int> DigitsOfText(const std::string &text) {
    std::string digits;
    int exponent = 0, pointAt = -1;
    std::size_t i = text[0] == '-' ? 1 : 0;
    for (; i < text.size() && text[i] != 'E'; i++) {
        if (text[i] == '.') pointAt = static_cast<int>(digits.size());
        else digits += text[i];
    }
    if (pointAt < 0) pointAt = static_cast<int>(digits.size());
    if (i < text.size()) exponent = std::stoi(text.substr(i + 1));
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) return {"", 0};
    const int e = pointAt - static_cast<int>(first) + exponent;
    digits = digits.substr(first);
    digits.erase(digits.find_last_not_of('0') + 1);
    return {digits, e};
}

TEST(AppendOperand, ShowsTheExactValueRoundedTo18ThenTo15Digits) {
    for (const double input : OperandInputs()) {
        for (const double v : {input, RoundDecimals(input, 10), RoundDecimals(input, 14)}) {
            if (!std::isfinite(v) || v == 0) continue;
            DecimalDigits d = Decimal18(v);
            RoundHalfAwayAt(d, 15);
            TrimZeros(d);
            const std::pair<std::string, int> expected{std::string(d.digits.data(), static_cast<std::size_t>(d.count)),
                                                       d.exponent};
            ASSERT_EQ(DigitsOfText(Operand(v)), expected) << Operand(v) << " for " << v;
        }
    }
}

TEST(ScaledValues, RoundToTenDecimalsAndFourteenForAngles) {
    EXPECT_EQ(ScaledX(ScriptTransform{0, 0, 1}, -0.00000000004), 0.0);
    EXPECT_EQ(Operand(ScaledX(ScriptTransform{0, 0, 1}, -0.00000000004)), "0");
    EXPECT_EQ(Operand(ScaledY(ScriptTransform{0, 1, 1}, 1.00005)), "5E-5");
    EXPECT_EQ(Operand(ScaledLength(ScriptTransform{0, 0, 1}, 0.00005)), "5E-5");
    EXPECT_EQ(RoundedAngle(1.234567890123456789), 1.23456789012346);
    EXPECT_EQ(ScaledX(ScriptTransform{0, 0, 1}, NAN), 0.0);  // non-finite values become 0
    EXPECT_EQ(ScaledX(ScriptTransform{0, 0, 1e300}, 1e300), 0.0);
}
