// The shared numeric and text helpers, on their rounding boundaries and byte ranges.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "geom/cp932.h"
#include "geom/decimal.h"
#include "geom/extended.h"
#include "geom/func.h"

using namespace korvel;

TEST(RoundHalfAway, HalvesGoAwayFromZero) {
    struct Case {
        double x;
        std::int32_t expected;
    };
    const Case cases[] = {
        {0.5, 1},
        {-0.5, -1},
        {2.5, 3},
        {-2.5, -3},
        {2.49, 2},
        {-0.4, 0},
        {1.4999999, 1},
        {-0.0, 0},
        {0.49999999999999994, 0},  // x + 0.5 is 1.0 in double; extended keeps it below 1
        {4294967296.0 + 7, 7},     // the low 32 bits of the 64-bit result
        {NAN, 0},
        {1e300, 0},  // out of range: the processor's "indefinite" value, low bits 0
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(RoundHalfAway(c.x), c.expected);
    }
}

// The quick rounding is nearbyint's, halves to even, at every scale up to where both give 0.
TEST(NearestEven, GivesWhatNearbyintGives) {
    const auto reference = [](Extended v) -> std::int32_t {
        const Extended r = std::nearbyint(v);
        if (!(r > -9223372036854775808.0L && r < 9223372036854775808.0L)) return 0;
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::int64_t>(r)));
    };
    std::vector<Extended> values = {0.0L,           -0.0L,         0.5L,
                                    1.5L,           2.5L,          -0.5L,
                                    -1.5L,          -2.5L,         0.49999999999999999L,
                                    1e9L + 0.5L,    4294967296.5L, 0x1p62L + 0.5L,
                                    0x1p63L - 0.5L, 0x1p63L - 1,   -0x1p63L,
                                    0x1p63L,        1e30L,         -1e30L,
                                    INFINITY,       -INFINITY,     NAN};
    std::mt19937_64 random(7);
    for (int i = 0; i < 10000; i++) {
        const int exponent = static_cast<int>(random() % 70) - 4;
        const Extended v = std::ldexp(static_cast<Extended>(random()) / 0x1p64L, exponent) * (i % 2 ? -1 : 1);
        values.push_back(v);
        values.push_back(std::floor(v) + 0.5L);  // a half
    }
    for (const Extended v : values)
        EXPECT_EQ(NearestEven(v), reference(v)) << static_cast<double>(v);
}

TEST(FormatFixed, RoundsTheEighteenDigitValueHalfAway) {
    struct Case {
        int decimals;
        double value;
        const char *expected;
    };
    const Case cases[] = {
        {10, 1.0 / 3, "0.3333333333"},
        {10, -1e-11, "0.0000000000"},   // rounds to zero: no "-"
        {10, -5e-11, "-0.0000000001"},  // a half goes away from zero
        {10, -0.0, "0.0000000000"},
        {10, 0.00048828125, "0.0004882813"},                        // exact tie: printf would give ...812
        {10, 1000000.0000000003, "1000000.0000000004"},             // ...00034925: a tie at 18 digits
        {10, 8909799.943042375, "8909799.9430423752"},              // ...7514734: the 19th digit lifts the 18th to 5
        {10, 2652276.8197473017, "2652276.8197473018"},             // ...7301749: likewise
        {10, 9.99999999995, "10.0000000000"},                       // carry into a new leading digit
        {10, 1000000000000000.125, "1000000000000000.1200000000"},  // ties to even at 18 digits
        {10, 1e20, "100000000000000000000.0000000000"},
        {10, 1.5000000000000003e18, "1500000000000000260.0000000000"},  // digits past the 18th are 0
        {10, 9.876543219876544e21, "9876543219876543590000.0000000000"},
        {14, 0.00005, "0.00005000000000"},
        {14, 123.45678901234567, "123.45678901234567"},  // 18 digits leave nothing to round
        {0, 2.5, "3"},
        {2, -0.004, "0.00"},
        {3, 1e-300, "0.000"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.decimals << " decimals of " << c.value);
        EXPECT_EQ(FormatFixed(c.decimals, c.value), c.expected);
    }
}

TEST(FormatFixed, NonFiniteValuesGiveTextThatDoesNotParse) {
    EXPECT_EQ(FormatFixed(10, NAN), "NAN");
    EXPECT_EQ(FormatFixed(10, INFINITY), "INF");
    EXPECT_EQ(FormatFixed(10, -INFINITY), "-INF");
    EXPECT_EQ(ParseFloatOrZero(FormatFixed(10, NAN)), 0.0);
}

TEST(ParseFloatOrZero, AcceptsOnlyThePlainDecimalGrammar) {
    struct Case {
        const char *text;
        double expected;
    };
    const Case cases[] = {
        {"1.5", 1.5},
        {"  -2.25", -2.25},
        {"+3", 3},
        {"7.", 7},
        {"1e3", 1000},
        {"1.5E-2", 0.015},
        {"-0.0000000001", -1e-10},
        {"0.1", 0.1},
        {"2.2250738585072014e-308", 2.2250738585072014e-308},
        {"", 0},
        {"1,5", 0},  // a comma is not a decimal point
        {".5", 0},
        {"1e", 0},
        {"1e+", 0},
        {"--1", 0},
        {"1.5 ", 0},
        {" ", 0},
        {"-", 0},
        {"nan", 0},
        {"inf", 0},
        {"INF", 0},
        {"0x10", 0},
        {"1e999", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseFloatOrZero(c.text), c.expected);
    }
    // The nearest double, also for long digit strings.
    EXPECT_EQ(ParseFloatOrZero("9007199254740993"), 9007199254740992.0);
}

TEST(ParseIntOrZero, DecimalAndHexadecimalWithOverflowAsZero) {
    struct Case {
        const char *text;
        std::int32_t expected;
    };
    const Case cases[] = {
        {" 42", 42},
        {"-17", -17},
        {"+5", 5},
        {"$FF", 255},
        {"xff", 255},
        {"0x10", 16},
        {"-$10", -16},
        {"0", 0},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"$FFFFFFFF", -1},  // hexadecimal is a 32-bit pattern
        {"12a", 0},
        {"", 0},
        {"2147483648", 0},
        {"-2147483649", 0},
        {"$100000000", 0},
        {"0x", 0},
        {"$", 0},
        {"99999999999999999999", 0},
        {"1 ", 0},
        {"1.0", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseIntOrZero(c.text), c.expected);
    }
}

TEST(Rotate, TurnsCounterClockwiseAboutTheCentre) {
    EXPECT_NEAR(RotateX(1, 0, 0, 0, std::numbers::pi / 2), 0, 1e-15);
    EXPECT_NEAR(RotateY(1, 0, 0, 0, std::numbers::pi / 2), 1, 1e-15);
    EXPECT_NEAR(RotateX(3, 2, 1, 2, std::numbers::pi), -1, 1e-15);
    // An angle the processor cannot reduce gives sine and cosine 0: the point collapses on the centre.
    EXPECT_EQ(RotateX(5, 7, 1, 2, 1e19), 1);
    EXPECT_EQ(RotateY(5, 7, 1, 2, -1e19), 2);
}

TEST(DirectionAngle, IsInZeroToTwoPi) {
    const double pi = std::numbers::pi;
    EXPECT_EQ(DirectionAngle(-1, 0), pi);
    EXPECT_EQ(DirectionAngle(0, -1), 3 * pi / 2);
    EXPECT_EQ(DirectionAngle(1e-15, 1e-15), 0);
    EXPECT_GT(DirectionAngle(1e-15, -1), 3 * pi / 2);
    EXPECT_LT(DirectionAngle(1e-15, -1), 3 * pi / 2 + 1e-14);
    EXPECT_EQ(DirectionAngle(1, 0), 0);
}

TEST(Sjis, LeadBytesAtTheEdgesOfTheirRanges) {
    struct Case {
        unsigned char b;
        int length;
    };
    const Case cases[] = {{0x7F, 2}, {0x80, 1}, {0x9F, 1}, {0xA0, 2}, {0xDF, 2}, {0xE0, 1}, {0xFD, 1}, {0xFE, 2}};
    for (const Case &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.b));
        EXPECT_EQ(SjisLength(std::string{static_cast<char>(c.b), 'A'}), c.length);
    }
    EXPECT_EQ(SjisLength("\x82\xA0"
                         "A"),
              2);
    EXPECT_EQ(SjisLength("\x82"), 1);  // a lead byte at the end stands alone
    EXPECT_EQ(SjisLength(""), 0);
}

TEST(Sjis, CopyTakesWholeCharacters) {
    const std::string text =
        "\x82\xA0"
        "AB";
    struct Case {
        int start, count;
        std::string expected;
    };
    const Case cases[] = {
        {2, 5, "AB"},
        {4, 1, ""},
        {1, 1, "\x82\xA0"},
        {1, 2,
         "\x82\xA0"
         "A"},
        {3, 1, "B"},
        {0, 3,
         "\x82\xA0"
         "A"},  // start 0 still ends at start + count - 1
        {-5, 7, "\x82\xA0"},
        {2, 0, ""},
        {2, -1, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << "," << c.count);
        EXPECT_EQ(SjisCopy(text, c.start, c.count), c.expected);
    }
    EXPECT_EQ(SjisCopy("", 1, 1), "");
}

TEST(Sjis, SlicingEveryByteValueRejoinsTheInput) {
    std::string all;
    for (int b = 0; b < 256; b++)
        all += static_cast<char>(b);
    std::string rejoined;
    const int n = SjisLength(all);
    for (int i = 1; i <= n; i++)
        rejoined += SjisCopy(all, i, 1);
    EXPECT_EQ(rejoined, all);
}

// Unicode archive strings become Shift-JIS: half-width katakana to their single bytes, ends of the range
// included; what has no CP932 form (or a single byte that is no Shift-JIS character) to "?", counted.
TEST(Cp932, Utf16StringsBecomeShiftJis) {
    struct Case {
        std::u16string text;
        std::string sjis;
        std::uint64_t replaced;
    };
    const Case cases[] = {
        {u"A", "A", 0},
        {u"\uFF61\uFF9F", "\xA1\xDF", 0},  // the ends of the half-width katakana
        {u"\uFF60\uFFA0", "??", 2},        // just outside them
        {u"\u3042\u4E9C", "\x82\xA0\x88\x9F", 0},
        {u"\u0080", "?", 1},
        {u"\U0001F600x", "?x", 1},
        {std::u16string(1, char16_t{0xD800}) + u"y", "?y", 1},  // an unpaired surrogate
    };
    for (const Case &c : cases) {
        std::vector<std::uint8_t> utf16le;
        for (const char16_t unit : c.text) {
            utf16le.push_back(static_cast<std::uint8_t>(unit & 0xFF));
            utf16le.push_back(static_cast<std::uint8_t>(unit >> 8));
        }
        std::uint64_t replaced = 0;
        EXPECT_EQ(Utf16ToCp932(utf16le, replaced), c.sjis) << c.sjis;
        EXPECT_EQ(replaced, c.replaced) << c.sjis;
    }
}

// glibc's printf rounds the exact binary value with ties to even: an independent reference for the
// 18-digit expansion that all fixed-point text starts from.
TEST(Decimal18, MatchesPrintfOnRandomDoubles) {
    std::mt19937_64 random(11);
    for (int i = 0; i < 200000; i++) {
        const double v = std::bit_cast<double>(random());
        if (!std::isfinite(v) || v == 0) continue;
        char text[40];
        std::snprintf(text, sizeof text, "%.17e", std::fabs(v));
        const DecimalDigits d = Decimal18(v);
        std::string expected = std::string(1, text[0]) + std::string(text + 2, 17);
        ASSERT_EQ(std::string(d.digits.data(), static_cast<std::size_t>(d.count)), expected) << text;
        ASSERT_EQ(d.exponent, std::atoi(std::strchr(text, 'e') + 1) + 1) << text;
    }
}

// The fast paths must give exactly what the extended formulas give.
TEST(ExtendedHelpers, FastPathsAgreeWithTheExtendedFormulas) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> unit(-1, 1);
    for (int i = 0; i < 200000; i++) {
        const double scale = std::ldexp(1.0, static_cast<int>(rng() % 70) - 10);
        const double x = unit(rng) * scale;
        const long double v = x >= 0 ? static_cast<long double>(x) + 0.5L : static_cast<long double>(x) - 0.5L;
        const auto expected = static_cast<std::int32_t>(
            static_cast<std::uint32_t>(std::fabs(v) < 9223372036854775808.0L ? static_cast<std::int64_t>(v) : 0));
        ASSERT_EQ(RoundHalfAway(x), expected) << x;
        const long double a = x;
        const SineCosine sc = SinCosE(a);
        ASSERT_EQ(sc.sine, SinE(a)) << x;
        ASSERT_EQ(sc.cosine, CosE(a)) << x;
    }
    for (double half : {0.5, 1.5, 2.5, -0.5, -1.5, 4503599627370495.5, -4503599627370495.5}) {
        const long double v = half >= 0 ? static_cast<long double>(half) + 0.5L : static_cast<long double>(half) - 0.5L;
        EXPECT_EQ(RoundHalfAway(half), static_cast<std::int32_t>(static_cast<std::int64_t>(v))) << half;
    }
    EXPECT_EQ(SinCosE(1e30L).sine, 0.0L);  // beyond 2^63: the processor's range, 0
    EXPECT_TRUE(std::isnan(SinCosE(NAN).cosine));
}
