// The drawing's extents: key points per kind, the arc's quadrant tests, inserts.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "reader/drawing_rules.h"
#include "reader/extents.h"
#include "support/fixed_random.h"
#include "support/stream_writer.h"

using namespace korvel;

namespace {

constexpr double pi = std::numbers::pi;

TclpEntEnko Arc(double r, double k, double start, double sweep, bool full = false, double tilt = 0) {
    TclpEntEnko a;
    a.radius = r;
    a.flatness = k;
    a.startAngle = start;
    a.arcAngle = sweep;
    a.fullCircle = full ? 1 : 0;
    a.tiltAngle = tilt;
    return a;
}

void ExpectExtents(const DrawingExtents &e, double minX, double minY, double maxX, double maxY) {
    EXPECT_NEAR(e.minX, minX, 1e-9);
    EXPECT_NEAR(e.minY, minY, 1e-9);
    EXPECT_NEAR(e.maxX, maxX, 1e-9);
    EXPECT_NEAR(e.maxY, maxY, 1e-9);
}

}  // namespace

TEST(DrawingExtents, ArcsContributeAxisPointsOnTheArcAndTheirEnds) {
    struct Case {
        const char *what;
        TclpEntEnko arc;
        double minX, minY, maxX, maxY;
    };
    const Case cases[] = {
        {"flat full circle", Arc(10, 0.5, 0, 0, true), -10, -5, 10, 5},
        {"first quadrant", Arc(10, 1, 0, pi / 2), 0, 0, 10, 10},
        {"45 to 135 adds the 90 degree point only", Arc(10, 1, pi / 4, pi / 2), -7.0710678118654755, 0,
         7.0710678118654755, 10},
        {"350 over 20 adds the 0 degree point", Arc(10, 1, 350 * pi / 180, 20 * pi / 180), 0, -1.7364817766693041, 10,
         1.7364817766693041},
        {"negative sweep from 90 back to 0", Arc(10, 1, pi / 2, -pi / 2), 0, 0, 10, 10},
        {"negative sweep across 0", Arc(10, 1, 10 * pi / 180, -20 * pi / 180), 0, -1.7364817766693041, 10,
         1.7364817766693041},
        {"start far beyond a turn", Arc(10, 1, 4 * pi + pi / 4, pi / 2), -7.0710678118654755, 0, 7.0710678118654755,
         10},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        DrawingStore store;
        store.arcs.push_back(c.arc);
        ExpectExtents(ComputeDrawingExtents(store), c.minX, c.minY, c.maxX, c.maxY);
    }
}

TEST(DrawingExtents, KindsInsertsAndTheOrigin) {
    DrawingStore store;
    store.originX = -50;
    store.originY = 3;
    EXPECT_EQ(ComputeDrawingExtents(store).minX, -50);  // the origin alone: a degenerate rectangle
    EXPECT_EQ(ComputeDrawingExtents(store).maxY, 3);

    TclpEntSunpo d;
    d.line = {{}, 0, 0, 10, 0};
    d.auxLine1 = {{}, -100, -100, 100, 100};  // ignored while sxfMode is 0
    store.dimensions.push_back(d);
    TclpEntBlockDef def;
    def.number = 7;
    def.lines.push_back({{}, 1, 0, 1, 0});
    store.blockDefs.push_back(def);
    def.lines[0] = {{}, 1000, 0, 1000, 0};  // a second definition with the same number is never used
    store.blockDefs.push_back(def);
    TclpEntBlock insert = test::InsertOf(7, 100, 0, 2, 1, pi / 2);
    store.inserts.push_back(insert);
    insert.number = 8;  // no such definition: adds nothing
    insert.x = 5000;
    store.inserts.push_back(insert);
    ExpectExtents(ComputeDrawingExtents(store), -50, 0, 100, 3);  // (1, 0) placed at (100, 2)
    store.originY = 0;
    EXPECT_NEAR(ComputeDrawingExtents(store).maxY, 2, 1e-12);

    store.dimensions[0].sxfMode = 1;
    ExpectExtents(ComputeDrawingExtents(store), -100, -100, 100, 100);
}

TEST(DrawingExtents, SolidsByKind) {
    DrawingStore store;
    TclpEntSolid s;
    s.x1 = 1, s.y1 = 2, s.x2 = 3, s.y2 = -4, s.x3 = 5, s.y3 = 6, s.x4 = -7, s.y4 = 8;
    store.solids.push_back(s);
    ExpectExtents(ComputeDrawingExtents(store), -7, -4, 5, 8);
    store.solids[0] = {};
    store.solids[0].base.penStyle = 101;  // centre (10, 0), radius 2, flatness 0.5, no tilt
    store.solids[0].x1 = 10, store.solids[0].x2 = 2, store.solids[0].y2 = 0.5, store.solids[0].y4 = 1e9;
    ExpectExtents(ComputeDrawingExtents(store), 0, -1, 12, 1);
}

// What is drawn of a filled sector reaches its centre, which its arc alone may not (the SVG's sheet is cut to
// these extents).
TEST(DrawnExtents, AFilledSectorReachesItsCentre) {
    DrawingStore store;
    TclpEntSolid sector;
    sector.base.penStyle = 101;
    EncodeArcSolid({101, {{10, 0, 2, 1, 0}, 0.2, 0.6}, 0}, sector);
    store.solids.push_back(sector);
    store.objects.push_back({static_cast<std::int32_t>(EntityKind::Solid), 0});
    store.originX = 11, store.originY = 1;  // the extents start from the reference point
    const DrawingExtents drawn = ComputeDrawnExtents(store);
    EXPECT_DOUBLE_EQ(drawn.minX, 10);
    EXPECT_DOUBLE_EQ(drawn.minY, 0);
    EXPECT_NEAR(drawn.maxX, 10 + 2 * std::cos(0.2), 1e-12);
    EXPECT_NEAR(drawn.maxY, 2 * std::sin(0.8), 1e-12);
}

// Key points of curves outside blocks are first placed in doubles and computed exactly only when they
// may move the extents. Inside a block placed by the identity insert every point is computed exactly, so
// the same curves must give bit-identical extents either way.
TEST(DrawingExtents, QuickKeyPointsGiveTheExactExtents) {
    test::FixedRandom next(99);
    for (int round = 0; round < 200; round++) {
        DrawingStore direct, placed;
        TclpEntBlockDef def;
        def.number = 1;
        for (int i = 0; i < 40; i++) {
            // Many curves share centres and radii, so extremes tie or nearly tie.
            const double r = round % 3 == 0 ? 10 : 1 + 99 * next(), cx = round % 2 ? 0 : 1000 * next() - 500;
            const double t0 = i % 7 == 0 ? 1e17 * next() : 20 * next() - 10, tilt = i % 5 == 0 ? 0 : 7 * next() - 3.5;
            def.arcs.push_back(Arc(r, i % 4 ? next() * 2 : 1, t0, 13 * next() - 6.5, i % 3 == 0, tilt));
            def.arcs.back().centerX = cx;
            // A twin one ulp larger: extremes closer together than the doubles' own error.
            def.arcs.push_back(def.arcs.back());
            def.arcs.back().radius = std::nextafter(r, 1e9);
            TclpEntSolid s;
            s.base.penStyle = 101;
            s.x1 = cx, s.y1 = 10 * next(), s.x2 = r, s.y2 = next() + 0.5, s.x3 = i % 9 ? tilt : 1e19;
            def.solids.push_back(s);
        }
        direct.arcs.assign(def.arcs.begin(), def.arcs.end());
        direct.solids.assign(def.solids.begin(), def.solids.end());
        placed.blockDefs.push_back(def);
        TclpEntBlock identity;
        identity.number = 1;
        identity.scaleX = identity.scaleY = 1;
        placed.inserts.push_back(identity);
        const DrawingExtents a = ComputeDrawingExtents(direct), b = ComputeDrawingExtents(placed);
        ASSERT_EQ(a.minX, b.minX) << round;
        ASSERT_EQ(a.minY, b.minY) << round;
        ASSERT_EQ(a.maxX, b.maxX) << round;
        ASSERT_EQ(a.maxY, b.maxY) << round;
    }
}

// Block members under a real placement: their key points, first placed in doubles, must give the
// extents of the exactly placed points.
TEST(DrawingExtents, QuickPlacementGivesTheExactExtents) {
    test::FixedRandom next(5);
    const double axes[] = {0, pi / 2, pi, static_cast<double>(3 * static_cast<long double>(pi) / 2)};
    for (int round = 0; round < 300; round++) {
        DrawingStore store;
        TclpEntBlockDef def;
        def.number = 1;
        TclpEntBlock insert;
        insert.number = 1;
        insert.x = round % 2 ? 0 : 1000 * next(), insert.y = round % 2 ? 0 : -500 * next(),
        insert.angle = round % 4 ? 7 * next() : 0;
        insert.scaleX = round % 5 ? 0.5 + next() : 1, insert.scaleY = round % 3 ? 0.5 + next() : -1;
        store.inserts.push_back(insert);
        // Half the rounds place the block twice: the second insert's members come from what the first computed.
        if (round % 2) {
            TclpEntBlock second = insert;
            second.x += 333, second.angle = -3 * next(), second.scaleX = 2;
            store.inserts.push_back(second);
        }
        // A third of them place it again nudged by an ulp, and again within the first's box: whole
        // definitions pass or fail the quick box test by a hair.
        if (round % 3 == 0) {
            for (int i = 0; i < 8; i++) {
                TclpEntBlock again = insert;
                const double away = i % 2 ? 1e9 : -1e9;
                if (i / 2 == 0) again.x = std::nextafter(again.x, away);
                if (i / 2 == 1) again.angle = std::nextafter(again.angle, away);
                if (i / 2 == 2) again.scaleX = std::nextafter(again.scaleX, away);
                if (i / 2 == 3) again.scaleX *= 0.25, again.scaleY *= 0.25;
                store.inserts.push_back(again);
            }
        }
        std::vector<BlockPlacement> placements;
        for (const TclpEntBlock &placed : store.inserts)
            placements.emplace_back(BlockTransformOf(placed));
        DrawingExtents expected;
        InitExtents(expected, store.originX, store.originY);
        for (int i = 0; i < 30; i++) {
            // Each line's ends are twins an ulp apart: extremes closer together than the doubles' error.
            const double x = 100 * next() - 50, y = 100 * next() - 50;
            const double x2 = std::nextafter(x, 1e9), y2 = std::nextafter(y, i % 2 ? 1e9 : -1e9);
            def.lines.push_back({{}, x, y, x2, y2});
            const double r = i % 3 ? 10 : std::nextafter(10.0, 11), tilt = 7 * next();
            def.arcs.push_back(Arc(r, 0.5 + next(), 0, 0, true, tilt));
            for (const BlockPlacement &placement : placements) {
                ExtendTransformed(expected, x, y, placement);
                ExtendTransformed(expected, x2, y2, placement);
                for (double t : axes) {
                    const PlanePoint p = EllipsePoint(0, 0, r, def.arcs.back().flatness, Rotation(tilt), t);
                    ExtendTransformed(expected, p.x, p.y, placement);
                }
            }
        }
        store.blockDefs.push_back(def);
        const DrawingExtents got = ComputeDrawingExtents(store);
        ASSERT_EQ(got.minX, expected.minX) << round;
        ASSERT_EQ(got.minY, expected.minY) << round;
        ASSERT_EQ(got.maxX, expected.maxX) << round;
        ASSERT_EQ(got.maxY, expected.maxY) << round;
    }
}

TEST(NormaliseDegrees, ExactRemainderWithoutLooping) {
    struct Case {
        double in, out;
    };
    const Case cases[] = {{0, 0},   {360, 0}, {-90, 270}, {725, 5}, {-1e-20, 0}, {1e300, std::fmod(1e300, 360.0)},
                          {-720, 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(NormaliseDegrees(c.in), c.out);
    }

    DrawingStore store;  // non-finite angles: only the two end points count, and no hang
    store.arcs.push_back(Arc(1, 1, INFINITY, 1));
    store.arcs.push_back(Arc(1, 1, 0, -INFINITY));
    store.arcs.push_back(Arc(1, 1, NAN, NAN));
    ComputeDrawingExtents(store);
}
