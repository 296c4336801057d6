// The one place that names the 80-bit extended format used for intermediate results.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>

namespace korvel {

// Products, sums and differences whose result is rounded to a double once are formed in this type.
// Builds where long double is not the x87 80-bit format (MSVC, ARM64) need a software type with the
// same results swapped in here.
#if LDBL_MANT_DIG == 64
using Extended = long double;
#else
#error "korvel needs an 80-bit extended type: long double is not the x87 format on this target"
#endif

inline Extended Ext(double v) { return static_cast<Extended>(v); }

// One rounding to double at the end of an extended-precision expression.
inline double ToDouble(Extended v) { return static_cast<double>(v); }

// The processor cannot reduce angles of 2^63 or more (nor infinities); its sine and cosine then give 0.
// NaN goes through unchanged.
inline bool Reducible(Extended a) { return std::isnan(a) || std::fabs(a) < 9223372036854775808.0L; }
inline Extended SinE(Extended a) { return Reducible(a) ? std::sin(a) : 0.0L; }
inline Extended CosE(Extended a) { return Reducible(a) ? std::cos(a) : 0.0L; }

// Both at once; exactly the values of SinE and CosE.
struct SineCosine {
    Extended sine, cosine;
};
SineCosine SinCosE(Extended a);

// The nearest integer with halves to even, taken from the extended value itself; NaN, infinities and
// magnitudes of 2^63 or more give 0, anything else keeps the low 32 bits of the 64-bit integer.
inline std::int32_t NearestEven(Extended v) {
    // Below 2^63, adding 2^63 and taking it away again leaves the integer that rounding to nearest, halves to
    // even, gives: what nearbyint gives, without its trips through the floating-point environment.
    constexpr Extended kTwoTo63 = 9223372036854775808.0L;
    const Extended r = v >= 0 ? (v + kTwoTo63) - kTwoTo63 : (v - kTwoTo63) + kTwoTo63;
    if (!(r > -kTwoTo63 && r < kTwoTo63)) return 0;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::int64_t>(r)));
}

}  // namespace korvel
