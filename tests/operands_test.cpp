// Script operands: the decimal rounding and the 15-digit text that every command line uses.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>
#include <string>

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
    struct Case { double value; const char *expected; };
    const Case cases[] = {
        {0.5, "0.5"}, {0.0001, "0.0001"}, {12.25, "12.25"}, {100, "100"}, {-1.5, "-1.5"},
        {0.000015, "1.5E-5"}, {0.00005, "5E-5"}, {1e15, "1E15"}, {1.25e16, "1.25E16"}, {1e-10, "1E-10"},
        {0.0, "0"}, {-0.0, "0"},
        {999999999999999.9, "1E15"},      // the exponent after rounding decides the notation
        {0.000099999999999999999, "0.0001"},
        {123456789012345.67, "123456789012346"},
        {193.6788761970775, "193.678876197078"},    // ...0774999: 18 digits make the 16th a 5, which goes up
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

TEST(RoundDecimals, AgreesWithFormattingAndParsingBack) {
    std::mt19937_64 random(42);
    std::uniform_int_distribution<int> exponent(-16, 20);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    for (int i = 0; i < 200000; i++) {
        const double v = i % 4 == 0 ? std::bit_cast<double>(random()) : mantissa(random) * std::pow(10.0, exponent(random));
        for (const int decimals : {10, 14}) {
            const double expected = ParseFloatOrZero(FormatFixed(decimals, v));
            const double got = RoundDecimals(v, decimals);
            ASSERT_EQ(std::bit_cast<std::uint64_t>(got), std::bit_cast<std::uint64_t>(expected))
                << decimals << " decimals of " << v;
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
