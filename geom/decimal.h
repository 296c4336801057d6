// Decimal digits of a double: the exact value rounded to 18 significant digits, then re-rounded.
#pragma once

#include <array>
#include <string>

namespace korvel {

// A non-negative value 0.d1d2...dn x 10^exponent; digits are ASCII; zero has count 0.
struct DecimalDigits {
    std::array<char, 19> digits{};
    int count = 0;
    int exponent = 0;
};

// The magnitude of a finite double, rounded to 18 significant digits (nearest, ties to even).
DecimalDigits Decimal18(double value);

// The shortest digits that read back as the same double (finite values; zero has count 0).
DecimalDigits ShortestDigits(double value);

// The nearest double to the digits (the sign is the caller's); 0 when out of range.
double NearestDouble(const DecimalDigits &d);

// Rounds `d` half away from zero so that only the first `keep` digits remain (keep may be <= 0:
// then the result is 0 or one unit at that place). Trailing zeros are kept.
void RoundHalfAwayAt(DecimalDigits &d, int keep);

// Drops trailing zero digits.
void TrimZeros(DecimalDigits &d);

// The text of a non-finite value, as the script's number formatting writes it.
const char *NonFiniteText(double value);

}  // namespace korvel
