// The error model of the quick double-precision paths, in one place. Each quick path computes in doubles
// what its exact twin computes in extended precision (or exactly), and decides on its own only when its
// result lies farther than its bound from every boundary that matters (a pixel's edge, a rounding
// midpoint); otherwise the exact path decides. A change to an exact formula must be checked against the
// bound of its quick twin, named here with its derivation.
#pragma once

namespace korvel {

// A point formed by a handful (at most ten) of double multiplications and additions of terms no larger
// than `size`: each rounding errs by at most 2^-53 of its result, so the point lies within 10 * 2^-53 *
// size of the same formula taken exactly; the double sine and cosine of an argument below 8
// (QuickParameter) lie within 2^-52 of the extended ones. The extended path rounds too (2^-64 each), so the
// two stay within 2^-48 * size of each other; 2^-36 * size covers that 2^12 times over.
// Used by QuickEllipse (ellipse vertices) and BlockPlacement::QuickMapTo (block members), which folds the
// divisor and a move and scale into its coefficients: about ten roundings of at most 2^-53 of the terms'
// size (scaled), far inside the margin; the move's own term is CertainPixelWriter's.
inline constexpr double kQuickTermBound = 0x1p-36;

// Moving a value to pixel units ((x - origin) * scale) adds one rounding of each operand: 2^-48 of the
// operands' size covers those 2^4 times over. Used by QuickEllipse::Scaled and CertainPixelWriter.
inline constexpr double kQuickScaleBound = 0x1p-48;

// An absolute floor for pixel values near zero, where relative bounds vanish (CertainPixelWriter).
inline constexpr double kQuickPixelFloor = 0x1p-40;

// An arc walked by turning a sine and cosine pair step by step (DriftCorrectedWalk) corrects the pair by
// the accumulated parameter drift to first order; while the drift stays below 2^-24 the neglected second
// order (drift^2 / 2 < 2^-49) stays inside the vertex bound above.
inline constexpr double kWalkDriftLimit = 0x1p-24;

// Rounding a script operand without text (RoundWithoutText): below 2^44 the double product v * 10^d lies
// within 2^-9 of the extended one, so a fraction more than 0.0125 from one half is more than 0.01 from
// it in extended precision too, on the same side: more than the 0.005 that rounding v to 18 digits first
// can move it.
inline constexpr double kRoundingMidpointMargin = 0.0125;

}  // namespace korvel
