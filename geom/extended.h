// The one place that names the 80-bit extended format used for intermediate results.
#pragma once

#include <cfloat>

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

}  // namespace korvel
