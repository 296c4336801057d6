// The quick arc walk's cosine and sine pairs, turned step by step in doubles.
#pragma once

#include <cmath>

#include "geom/error_bounds.h"
#include "geom/plane.h"

namespace korvel {

// The angle of (cosine, sine) pair `at` moved on by that of `turn`.
inline PlanePoint Turned(PlanePoint at, PlanePoint turn) {
    return {at.x * turn.x - at.y * turn.y, at.y * turn.x + at.x * turn.y};
}

// The pairs of the parameters t, t + step, ..., each the running double sum as the exact walk takes it.
// The pair is turned by the step's own pair; the sum's rounding errors, added up exactly (two-sum) as
// the drift, correct the turned pair to first order. A drift of at most 2^-24 leaves a second-order error
// below 2^-49; past it the walk is not Sure().
class DriftCorrectedWalk {
public:
    DriftCorrectedWalk(double t, double step)
        : t(t), step(step), at{std::cos(t), std::sin(t)}, turn{std::cos(step), std::sin(step)} {}

    // The next point's pair, t's own first.
    PlanePoint Next() {
        if (started) {
            at = Turned(at, turn);
            const double sum = t + step, stepPart = sum - t;
            drift += (t - (sum - stepPart)) + (step - stepPart);
            t = sum;
            if (!(std::fabs(drift) <= kWalkDriftLimit)) sure = false;
        }
        started = true;
        return {at.x + at.y * drift, at.y - at.x * drift};
    }

    bool Sure() const { return sure; }

private:
    double t, step;
    PlanePoint at, turn;
    double drift = 0;
    bool started = false;
    bool sure = true;
};

}  // namespace korvel
