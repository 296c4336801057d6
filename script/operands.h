// Script operands: stored values scaled, rounded to a fixed number of decimals, and written as text.
#pragma once

#include <string>

#include "geom/extended.h"

namespace korvel {

// The run's transform: the drawing's reference point and the scale of layer group 0.
struct ScriptTransform {
    double x0 = 0, y0 = 0, s = 1;
};

// ParseFloatOrZero(FormatFixed(decimals, v)), without the text in between.
double RoundDecimals(double v, int decimals);

// Coordinates and lengths are rounded to 10 decimals, angles to 14. Each difference and product is
// formed in extended precision and rounded to a double once.
double ScaledX(const ScriptTransform &t, double x);
double ScaledY(const ScriptTransform &t, double y);
double ScaledLength(const ScriptTransform &t, double v);
double RoundedAngle(double v);
// A second radius: radius x factor x s, rounded once, then to 10 decimals.
double ScaledProduct(const ScriptTransform &t, double radius, Extended factor);

// Appends the operand text: at most 15 significant digits (the 15th rounded half away from zero),
// fixed notation for magnitudes from 1e-4 up to below 1e15, otherwise "1.5E-5" style; zero is "0".
void AppendOperand(std::string &out, double v);

}  // namespace korvel
