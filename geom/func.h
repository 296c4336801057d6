// Func_: the small numeric and text helpers that every part of Korvel shares.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace korvel {

// Rounds to the nearest integer, halves away from zero; the low 32 bits of the 64-bit result.
std::int32_t RoundHalfAway(double x);

void SwapValues(double &a, double &b);

// Fixed-point text with exactly `decimals` digits after the point. The exact value is first rounded to
// 18 significant digits (ties to even), then at the last decimal half away from zero; digits past the
// 18th significant one are 0; a result that rounds to zero has no sign.
std::string FormatFixed(int decimals, double value);

double RotateX(double x, double y, double cx, double cy, double angle);
double RotateY(double x, double y, double cx, double cy, double angle);

// Direction of (dx, dy) in [0, 2*pi); 0 for a vector shorter than 1e-14 in both components.
double DirectionAngle(double dx, double dy);

// Leading blanks, optional sign, decimal digits, or hexadecimal after "$", "x" or "0x". Anything
// else, and overflow of 32 bits, gives 0.
std::int32_t ParseIntOrZero(std::string_view text);

// Leading blanks, optional sign, digits, optional fraction, optional exponent; "." is the decimal point
// whatever the locale. The nearest double, or 0.0 for anything outside that grammar or out of range.
double ParseFloatOrZero(std::string_view text);

// Shift-JIS characters. Lead bytes include 0x80 and 0xFD on purpose (strict Shift-JIS stops at 0x81
// and 0xFC): the character counts must match the drawings' own.
bool IsSjisLeadByte(unsigned char b);
int SjisLength(std::string_view text);
// Length in bytes (1 or 2) of the character that starts at byte p; a lead byte at the end stands alone.
std::size_t SjisCharBytes(std::string_view text, std::size_t p);
// Characters start..start+count-1, counted from 1.
std::string SjisCopy(std::string_view text, int start, int count);

}  // namespace korvel
