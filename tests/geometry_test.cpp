// Segment clipping, line intersection and the arc tangent corner on their boundary cases.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "geom/clip.h"
#include "geom/plane.h"
#include "tests/support/fixed_random.h"

using namespace korvel;

TEST(ClipSegment, MovesEachEndOncePerEdgeAgainstTheUnitWindow) {
    struct Case {
        double x1, y1, x2, y2;
        std::int32_t result;
        double ex1, ey1, ex2, ey2;
    };
    const Case cases[] = {
        {1, 1, 9, 9, kClipInside, 1, 1, 9, 9},
        {1, 5, 10, 5, kClipMoved, 1, 5, 10, 5},          // an end on the right edge counts as outside
        {0, 2, 0, 8, kClipInvisible, 0, 2, 0, 8},        // both on the left edge: rejected at once
        {-5, 5, 15, 5, kClipMoved, 0, 5, 10, 5},         // horizontal: never moved onto bottom or top
        {5, -5, 5, 15, kClipMoved, 5, 0, 5, 10},         // vertical: never moved onto left or right
        {-4, 8, 2, 20, kClipInvisible, -3, 10, -3, 10},  // passes above the corner and collapses
        {-5, 12, 3, 20, kClipInvisible, -5, 12, 3, 20},  // codes 9 and 8 share the top bit
        {-5, 4, 20, -21, kClipInvisible, -1, 0, -1, 0},  // passes below the corner
        {-5, -5, 15, 15, kClipMoved, 0, 0, 10, 10},      // diagonal through two corners
        {12, 5, 5, 5, kClipMoved, 10, 5, 5, 5},          // the first end is the one moved
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << " - " << c.x2 << "," << c.y2);
        double x1 = c.x1, y1 = c.y1, x2 = c.x2, y2 = c.y2;
        EXPECT_EQ(ClipSegment(x1, y1, x2, y2, 0, 0, 10, 10), c.result);
        EXPECT_DOUBLE_EQ(x1, c.ex1);
        EXPECT_DOUBLE_EQ(y1, c.ey1);
        EXPECT_DOUBLE_EQ(x2, c.ex2);
        EXPECT_DOUBLE_EQ(y2, c.ey2);
    }
}

TEST(ClipSegment, ToleranceCountsPointsJustInsideAsOutside) {
    EXPECT_EQ(PointOutsideWindow(5, 5, 0, 0, 10, 10), kClipInside);
    EXPECT_EQ(PointOutsideWindow(10, 5, 0, 0, 10, 10), kClipInvisible);
    EXPECT_EQ(PointOutsideWindow(5, 10 - 1e-13, 0, 0, 10, 10), kClipInvisible);
    EXPECT_EQ(PointOutsideWindow(5, 10 - 1e-11, 0, 0, 10, 10), kClipInside);
    EXPECT_EQ(ClipOutcode(-1, 11, 0, 0, 10, 10), kClipLeft | kClipTop);
    EXPECT_EQ(ClipOutcode(11, -1, 0, 0, 10, 10), kClipRight | kClipBottom);
    EXPECT_EQ(ClipOutcode(NAN, NAN, 0, 0, 10, 10), 0);  // no comparison holds: NaN is not moved
}

TEST(IntersectLines, VerdictAndPoint) {
    struct Case {
        double a[4], b[4];
        std::int32_t result;
        double x, y;
    };
    const Case cases[] = {
        {{0, 0, 2, 2}, {0, 2, 2, 0}, kMeetOnBoth, 1, 1},
        {{0, 0, 1, 1}, {3, 0, 4, -1}, kMeetOffSegment, 1.5, 1.5},
        {{0, 0, 0, 5}, {1, 0, 1, 5}, kLinesParallel, 99, 99},  // both vertical: x, y untouched
        {{0, 0, 1, 1}, {0, 1, 1, 2}, kLinesParallel, 99, 99},
        {{2, -1, 2, 5}, {0, 0, 4, 2}, kMeetOnBoth, 2, 1},          // A vertical
        {{0, 0, 4, 2}, {2, -1, 2, 5}, kMeetOnBoth, 2, 1},          // B vertical
        {{0, 0, 1e-12, 5}, {1, 0, 1, 5}, kLinesParallel, 99, 99},  // 1e-12 apart quantises to vertical
        {{0, 0, 2, 2}, {2, 2, 3, 0}, kMeetOnBoth, 2, 2},           // meeting at an end counts as on
        {{0, 0, 1, 1}, {1, 3, 2, 3}, kMeetOffSegment, 3, 3},       // off A only (y beyond A's range)
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.a[0] << "," << c.a[1] << "," << c.a[2] << "," << c.a[3]);
        double x = 99, y = 99;
        EXPECT_EQ(IntersectLines(x, y, c.a[0], c.a[1], c.a[2], c.a[3], c.b[0], c.b[1], c.b[2], c.b[3]), c.result);
        EXPECT_NEAR(x, c.x, 1e-12);
        EXPECT_NEAR(y, c.y, 1e-12);
    }
}

TEST(ArcTangentCorner, CornerOfTheEndTangents) {
    constexpr double pi = std::numbers::pi;
    struct Case {
        double r, k, t0, sweep, tilt, x, y;
    };
    const Case cases[] = {
        {1, 1, 0, pi / 2, 0, 1, 1},   {1, 1, 0, pi / 2, pi / 2, -1, 1},
        {1, 1, 0, pi, 0, 0, 0},        // half circle: parallel tangents give the centre
        {2, 0.5, 0, pi / 2, 0, 2, 1},  // an ellipse's quarter: the corner of its box
        {1, 1, 0, -pi / 2, 0, 1, -1},  // clockwise
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "r " << c.r << " k " << c.k << " sweep " << c.sweep << " tilt " << c.tilt);
        double x = 0, y = 0;
        ArcTangentCorner(10, 20, c.r, c.k, c.t0, c.sweep, c.tilt, x, y);
        EXPECT_NEAR(x, 10 + c.x, 1e-9);
        EXPECT_NEAR(y, 20 + c.y, 1e-9);
    }
    EXPECT_EQ(Distance(0, 0, 3, 4), 5);
}

// The quick forms in doubles must stay within their stated bounds of the exact extended forms, over
// angles, scales and offsets of every size (the preview's and the extents' shortcuts rest on this).
TEST(QuickGeometry, StaysWithinItsBoundOfTheExactForm) {
    test::FixedRandom next(3);
    auto magnitude = [&] { return std::ldexp(next() - 0.5, static_cast<int>(next() * 80) - 40); };
    for (int i = 0; i < 100000; i++) {
        const double angle = i % 50 == 0 ? 1e19 : (next() - 0.5) * (i % 3 ? 10 : 1e6);
        const BlockPlacement placement({magnitude(), magnitude(), magnitude(), magnitude(), angle, i % 7 ? 1 : 0.3});
        const double u = magnitude(), v = magnitude();
        // Placed and scaled by a power of two, which scales the exact point exactly.
        const double scale = std::ldexp(1.0, static_cast<int>(next() * 40) - 20);
        const double bound = placement.QuickMapBound({std::fabs(u), std::fabs(v)}, scale);
        const PlanePoint quick = placement.QuickMapTo(0, 0, scale).At({u, v}), exact = placement.Place(u, v);
        if (std::isfinite(bound)) {
            ASSERT_LE(std::fabs(quick.x - exact.x * scale), bound) << i;
            ASSERT_LE(std::fabs(quick.y - exact.y * scale), bound) << i;
        }
        const double cx = magnitude(), cy = magnitude(), r = magnitude(), k = next() * 3 - 1, t = angle * next();
        QuickEllipse ellipse(cx, cy, r, k, angle);
        const PlanePoint q = ellipse.At(t), e = EllipsePoint(cx, cy, r, k, Rotation(angle), t);
        if (ellipse.Sure()) {
            ASSERT_LE(std::fabs(q.x - e.x), ellipse.Bound()) << i;
            ASSERT_LE(std::fabs(q.y - e.y), ellipse.Bound()) << i;
        }
    }
}
