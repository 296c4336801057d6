// The preview on the recording canvas: view fitting, clipping into runs, curves, text layout, markers,
// the driver's order and block expansion, and the trace format.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <map>
#include <numbers>

#include "geom/clip.h"
#include "geom/extended.h"
#include "preview/arc_walk.h"
#include "preview/curves.h"
#include "preview/markers.h"
#include "preview/preview.h"
#include "preview/recording_canvas.h"
#include "preview/text.h"
#include "reader/extents.h"
#include "reader/jclfunit.h"
#include "support/fixed_random.h"
#include "support/stream_writer.h"
#include "support/trace.h"

using namespace korvel;

namespace {

constexpr double pi = std::numbers::pi;

// A surface where one drawing unit is one pixel: the window (0, 0)-(100, 100), y flipped.
struct UnitSurface {
    RecordingCanvas canvas;
    PreviewSurface surface{canvas};
    UnitSurface(double scale = 1) { surface.view = {0, 0, 100 / scale, 100 / scale, scale, 100, 100}; }
    std::vector<DrawOp> &Ops() { return canvas.ops; }
};

using test::Trace;

}  // namespace

TEST(PreviewView, FitsNinetyPercentOfTheTighterAxis) {
    const PreviewView v = FitPreviewView({0, 0, 1000, 500}, 177, 129);
    EXPECT_NEAR(v.scale, 0.1593, 1e-12);
    EXPECT_NEAR(v.maxX - v.minX, 177 / 0.1593, 1e-9);
    EXPECT_NEAR((v.maxX + v.minX) / 2, 500, 1e-9);
    EXPECT_NEAR((v.maxY + v.minY) / 2, 250, 1e-9);

    const PreviewView point = FitPreviewView({5, 7, 5, 7}, 177, 129);  // collapsed extents
    EXPECT_DOUBLE_EQ(point.scale, 129 / 1e-14 * 0.9);
    EXPECT_NEAR(point.minX, 5, 1e-9);

    EXPECT_EQ(WorldToPixel(v, v.minX, v.minY), (PixelPoint{0, 129}));
    EXPECT_EQ(WorldToPixel(v, v.maxX, v.maxY), (PixelPoint{177, 0}));
    const PreviewView unit{0, 0, 10, 10, 1, 10, 10};
    EXPECT_EQ(WorldToPixel(unit, 2.5, -2.5), (PixelPoint{3, 13}));  // halves go away from zero
    EXPECT_EQ(WorldToPixel(unit, -2.5, 2.5), (PixelPoint{-3, 7}));
    EXPECT_EQ(WorldToPixel(unit, 1e300, NAN), (PixelPoint{0, 10}));  // out of range gives 0
}

TEST(PreviewPens, ColourNumbersLineTypesAndFillKinds) {
    RecordingCanvas c;
    SetPenByColorNumber(c, 108, 31);
    EXPECT_EQ(c.CurrentPen(), (Pen{{0, 0, 0}, PenStyle::Solid, 0}));
    SetPenByColorNumber(c, -1, 2);
    EXPECT_EQ(c.CurrentPen(), (Pen{{255, 255, 255}, PenStyle::Dot, 0}));
    SetPenByColorNumber(c, 200, 0);
    EXPECT_EQ(c.CurrentPen().color, (Rgb{0, 0, 0}));
    EXPECT_EQ(PreviewPalette(105), (Rgb{255, 255, 0}));
    EXPECT_EQ(PreviewPalette(116), (Rgb{128, 128, 128}));
    SetBrushByColorNumber(c, 3, 7);
    EXPECT_EQ(c.CurrentBrush(), (Brush{{0, 192, 0}, BrushKind::DiagonalCross}));
    SetBrushByColorNumber(c, 3, 8);
    EXPECT_EQ(c.CurrentBrush().kind, BrushKind::Hollow);
    SetPreviewPen(c, {1, 2, 3}, 6, 2);
    EXPECT_EQ(c.CurrentPen(), (Pen{{1, 2, 3}, PenStyle::Solid, 2}));
    EXPECT_EQ(c.CurrentBrush().kind, BrushKind::Hollow);
}

TEST(PreviewPrimitives, FrameAndBackgroundAsTheImportDrawsThem) {
    RecordingCanvas c;
    PreviewSurface s(c);
    PrepareBlankPreview(s, 177, 129);
    DrawPixelFrame(c, 0, 0, 2, 50);
    DrawPixelFrame(c, 0, 0, 2, 2);
    DrawPixelFrame(c, 0, 0, 50, 2);
    EXPECT_EQ(Trace(c.ops), (std::vector<std::string>{
                                "rect 0 0 177 129 | pen FFFFFF solid 1 | brush FFFFFF solid",
                                "rect 0 0 176 128 | pen 0000FF solid 0 | brush hollow",
                                "line 0 0 0 50 | pen 0000FF solid 0",
                                "line 0 0 50 0 | pen 0000FF solid 0",
                            }));
}

TEST(StrokeWorldPoints, EveryClippedSegmentEndsItsRun) {
    UnitSurface u;
    // In, in, out across the top, back in, in.
    u.surface.worldPoints.vertices = {{10, 10}, {20, 20}, {30, 150}, {40, 20}, {50, 10}, {60, 20}};
    StrokeWorldPoints(u.surface);
    EXPECT_EQ(Trace(u.Ops()), (std::vector<std::string>{
                                  "polyline 3 10 90 20 80 26 0 | pen 000000 solid 1",
                                  "polyline 2 34 0 40 80 | pen 000000 solid 1",
                                  "polyline 3 40 80 50 90 60 80 | pen 000000 solid 1",
                              }));
    u.Ops().clear();
    u.surface.worldPoints.vertices = {{10, 10}};
    StrokeWorldPoints(u.surface);
    u.surface.worldPoints.vertices = {{10, 10}, {20, 20}};
    FillWorldPoints(u.surface);
    EXPECT_TRUE(u.Ops().empty());
}

TEST(Curves, VertexCountsAndShapes) {
    struct Case {
        const char *what;
        std::int32_t penStyle;
        double shape, sweep;
        DrawOp::Kind kind;
        std::size_t vertices;
    };
    const Case cases[] = {
        {"filled ellipse", 101, 100, pi / 2, DrawOp::Kind::Polygon, 72},
        {"sector", 101, 0, pi / 2, DrawOp::Kind::Polygon, 74},
        {"segment", 101, 5, pi / 2, DrawOp::Kind::Polygon, 73},
        {"tangent corner", 101, 3, pi / 2, DrawOp::Kind::Polygon, 74},
        {"closed outline", 111, 100, pi / 2, DrawOp::Kind::Polyline, 73},
        {"arc outline", 111, 3, pi / 2, DrawOp::Kind::Polyline, 73},
        {"band", 105, 5, pi / 2, DrawOp::Kind::Polygon, 146},
        {"band of even width", 106, 5, pi / 2, DrawOp::Kind::Polygon, 146},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        UnitSurface u;
        DrawArcSolid(u.surface, {static_cast<std::uint8_t>(c.penStyle), {{50, 50, 10, 1, 0}, 0, c.sweep}, c.shape});
        ASSERT_EQ(u.Ops().size(), 1u);
        EXPECT_EQ(u.Ops()[0].kind, c.kind);
        EXPECT_EQ(u.Ops()[0].points.size(), c.vertices);
        EXPECT_TRUE(u.surface.worldPoints.vertices.empty());
    }
    for (std::int32_t nothing : {102, 100}) {
        UnitSurface u;
        DrawArcSolid(u.surface, {static_cast<std::uint8_t>(nothing), {{50, 50, 10, 1, 0}, 0, pi / 2}, 3});
        EXPECT_TRUE(u.Ops().empty()) << nothing;
    }
    UnitSurface zeroBand;  // kind 106 without an inner radius has no defined band
    DrawArcSolid(zeroBand.surface, {106, {{50, 50, 10, 1, 0}, 0, pi / 2}, 0});
    EXPECT_TRUE(zeroBand.Ops().empty());
}

TEST(Curves, PointsOfTheShapes) {
    UnitSurface u;
    DrawArcSolid(u.surface, {101, {{50, 50, 10, 1, 0}, 0, pi / 2}, 3});  // corner of the quarter's square
    EXPECT_EQ(u.Ops()[0].points.back(), (PixelPoint{60, 40}));
    EXPECT_EQ(u.Ops()[0].points.front(), (PixelPoint{60, 50}));
    u.Ops().clear();
    DrawArcSolid(u.surface, {101, {{50, 50, 10, 1, 0}, 0, pi}, 3});  // half circle: the centre
    EXPECT_EQ(u.Ops()[0].points.back(), (PixelPoint{50, 50}));
    u.Ops().clear();
    // Kind 106, r 10, inner 5, k 0.8: inner flatness 0.6, so the inner arc's top is 3 above the centre.
    DrawArcSolid(u.surface, {106, {{50, 50, 10, 0.8, 0}, 0, pi / 2}, 5});
    EXPECT_EQ(u.Ops()[0].points[73], (PixelPoint{50, 47}));
    EXPECT_EQ(u.Ops()[0].points[145], (PixelPoint{55, 50}));
    u.Ops().clear();
    DrawEllipseArc(u.surface, {{50, 50, 20, 1, 0}, 0, -pi / 2});  // clockwise from the start
    EXPECT_EQ(u.Ops()[0].points.front(), (PixelPoint{70, 50}));
    EXPECT_EQ(u.Ops()[0].points.back(), (PixelPoint{50, 70}));
    u.Ops().clear();
    const BlockPlacement insert({30, 0, 2, 1, pi / 2, 1});
    DrawEllipse(u.surface, {0, 0, 10, 1, 0}, &insert);  // local (10, 0) lands at (30, 20)
    EXPECT_EQ(u.Ops()[0].points.front(), (PixelPoint{30, 80}));
}

// Block members' curves computed once and placed in doubles by each insert draw what computing and placing
// them exactly for each insert draws: every kind of curve under turned, mirrored, scaled, divided and
// far-turned placements, partly outside the window (where the exact path decides), drawn twice through the
// cache; at a scale where they span many pixels, and at one where most shrink into a pixel or two, some of
// them at exact pixel halves.
TEST(PreviewCurves, QuickPlacedBlockCurvesDrawWhatTheExactPathDraws) {
    const double pi = std::numbers::pi;
    std::vector<BlockPlacement> placements = {
        BlockPlacement({10, 20, 1, 1, 0, 1}), BlockPlacement({55, 40, 2.5, -0.5, pi / 3, 1}),
        BlockPlacement({-5, 70, 0.3, 0.3, -2.2, 1}), BlockPlacement({10, 20, 1, 1, 0.5, 0}),
        BlockPlacement({1e300, 20, 1, 1, 0.5, 1e-300}),
        // Magnifying: a curve inside one pixel in block units is many pixels once placed.
        BlockPlacement({40, 40, 800, 800, 0.3, 1}), BlockPlacement({30, 60, 600, -900, -1.1, 1})};
    test::FixedRandom next(11);
    for (int i = 0; i < 200; ++i)
        placements.emplace_back(BlockTransform{100 * next() - 25, 100 * next() - 25, 4 * next() - 2, 4 * next() - 2,
                                               i % 7 ? 20 * next() - 10 : 1e6 * next(), i % 3 ? 1 : 0.1 + 4 * next()});
    // Inserts at the centres of pixels' edges of the small scale (50 units a pixel): the block's own
    // centre of symmetry lands on a half.
    for (int i = 0; i < 40; ++i)
        placements.emplace_back(BlockTransform{25 + 50 * std::floor(100 * next()), 50 * std::floor(100 * next()), 1, 1,
                                               i % 2 ? 0 : pi / 2, 1});
    const auto drawAll = [&](UnitSurface &u) {
        for (const BlockPlacement &insert : placements) {
            // Shapes alike but for one value each, which a cache must tell apart.
            DrawEllipse(u.surface, {5, 6, 12, 0.7, 0.4}, &insert);
            DrawEllipse(u.surface, {5, 6, 12, 0.7, 0.9}, &insert);
            DrawEllipse(u.surface, {0, 0, 3, 1, 0}, &insert);
            DrawEllipse(u.surface, {0.01, 0.02, 0.02, 0.5, 0.2}, &insert);
            DrawEllipseArc(u.surface, {{0.01, 0.02, 0.02, 1, 0}, 0.5, 2}, &insert);
            DrawEllipseArc(u.surface, {{5, 6, 12, 0.7, 0.4}, 0.3, 2.2}, &insert);
            DrawEllipseArc(u.surface, {{5, 6, 12, 0.7, 0.4}, 0.3, 2.3}, &insert);
            DrawEllipseArc(u.surface, {{-3, 2, 8, 1, 0}, 4, -1.5}, &insert);
            for (const std::uint8_t kind : {101, 105, 106, 111})
                DrawArcSolid(u.surface, {kind, {{20, 10, 9, 0.8, 0.2}, 0.5, 2.5}, kind == 105 ? 3.0 : 5.0}, &insert);
            // A band whose outer edge is finite and whose inner edge is not a number.
            DrawArcSolid(u.surface, {106, {{20, 10, 0.1, 0.8, 0.2}, 0.5, 2.5}, NAN}, &insert);
        }
    };
    for (const double scale : {2.0, 0.02}) {
        SCOPED_TRACE(scale);
        UnitSurface each(scale), cached(scale);
        drawAll(each);
        BlockCurveCache cache;
        cached.surface.blockCurves = &cache;
        drawAll(cached);
        const std::vector<std::string> once = Trace(cached.Ops());
        drawAll(cached);  // now every curve comes from the cache
        const std::vector<std::string> expected = Trace(each.Ops());
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(once, expected);
        const std::vector<std::string> twice = Trace(cached.Ops());
        EXPECT_EQ(std::vector<std::string>(twice.begin() + static_cast<std::ptrdiff_t>(once.size()), twice.end()),
                  expected);
    }
}

// Curves outside blocks are computed in doubles when that is sure to give the same pixels. A block
// member placed by the identity insert always takes the exact path, so the two traces must agree on
// shapes of every size, at exact half pixels, across the window's edges and at huge values.
TEST(Curves, QuickPathDrawsTheExactPathsPixels) {
    struct View {
        const char *what;
        PreviewView view;
    };
    const View views[] = {
        {"unit", {0, 0, 100, 100, 1, 100, 100}},
        {"fitted", FitPreviewView({-1234.5, 678.25, 98765.4321, 70001.5}, 177, 129)},
        {"tiny extents", FitPreviewView({5, 7, 5 + 1e-9, 7 + 1e-9}, 177, 129)},
        {"far away", FitPreviewView({1e15, -1e15, 1e15 + 1e4, -1e15 + 1e4}, 177, 129)},
    };
    const BlockPlacement identity({0, 0, 1, 1, 0, 1});
    test::FixedRandom next(12345);
    for (const View &v : views) {
        SCOPED_TRACE(v.what);
        const double w = v.view.maxX - v.view.minX, h = v.view.maxY - v.view.minY;
        for (int i = 0; i < 3000; i++) {
            // Centres at exact half pixels, anywhere in and around the window, or at huge values.
            const double unit = 1 / v.view.scale;
            double cx = v.view.minX + (next() * 1.4 - 0.2) * w, cy = v.view.minY + (next() * 1.4 - 0.2) * h;
            if (i % 5 == 0) cx = v.view.minX + (std::floor(next() * 100) + 0.5) * unit;
            if (i % 7 == 0) cy = v.view.minY + (std::floor(next() * 100) + 0.5) * unit;
            if (i % 97 == 0) cx = 1e300;
            const double r = i % 11 == 0 ? 0 : (i % 3 == 0 ? next() * 0.8 : next() * 60) * unit;  // some below a pixel
            if (i % 6 == 1) cx = v.view.minX + r;  // touching the window's edges
            if (i % 6 == 2) cy = v.view.maxY - r + 1e-13 * (next() - 0.5);
            if (i % 6 == 3) cx = v.view.minX + r + 1e-12;  // at the clip tolerance
            const double k = i % 4 == 0 ? 1 : next() * 2 - 0.5;
            const double tilt = i % 17 == 0 ? 1e19
                                : i % 2     ? 0
                                            : next() * 7 - 3.5,
                         t0 = i % 13   ? next() * 13 - 6.5
                              : i % 26 ? 1e6 * next()
                                       : 1e17;
            const double sweep = i % 9 ? next() * 13 - 6.5 : 2 * pi, shape = r * next();
            const std::int32_t penStyle = std::array{101, 105, 106, 111}[i % 4];
            const double shapeValue = std::array{shape, 0.0, 5.0, 100.0, 3.0}[i % 5];
            UnitSurface quick, exact;
            quick.surface.view = exact.surface.view = v.view;
            DrawEllipse(quick.surface, {cx, cy, r, k, tilt});
            DrawEllipse(exact.surface, {cx, cy, r, k, tilt}, &identity);
            DrawEllipseArc(quick.surface, {{cx, cy, r, k, tilt}, t0, sweep});
            DrawEllipseArc(exact.surface, {{cx, cy, r, k, tilt}, t0, sweep}, &identity);
            DrawArcSolid(quick.surface,
                         {static_cast<std::uint8_t>(penStyle), {{cx, cy, r, k, tilt}, t0, sweep}, shapeValue});
            DrawArcSolid(exact.surface,
                         {static_cast<std::uint8_t>(penStyle), {{cx, cy, r, k, tilt}, t0, sweep}, shapeValue},
                         &identity);
            ASSERT_EQ(Trace(quick.Ops()), Trace(exact.Ops())) << "case " << i;
        }
    }
}

// Lines too are first taken in doubles; the result must be the clipped line's exact pixels.
TEST(DrawWorldLine, QuickPathDrawsTheClippedLinesPixels) {
    const PreviewView views[] = {{0, 0, 100, 100, 1, 100, 100},
                                 FitPreviewView({-1234.5, 678.25, 98765.4321, 70001.5}, 177, 129),
                                 FitPreviewView({5, 7, 5 + 1e-9, 7 + 1e-9}, 177, 129),
                                 FitPreviewView({1e15, -1e15, 1e15 + 1e4, -1e15 + 1e4}, 177, 129)};
    test::FixedRandom next(7);
    for (const PreviewView &v : views) {
        const double w = v.maxX - v.minX, h = v.maxY - v.minY, unit = 1 / v.scale;
        for (int i = 0; i < 20000; i++) {
            double x[2], y[2];
            for (int e = 0; e < 2; e++) {
                x[e] = v.minX + (next() * 1.2 - 0.1) * w, y[e] = v.minY + (next() * 1.2 - 0.1) * h;
                if (i % 3 == e) x[e] = v.minX + (std::floor(next() * 100) + 0.5) * unit;  // half pixels
                if (i % 5 == e) y[e] = v.maxY - (i % 2 ? 1e-12 : 0);                      // on the edge
                if (i % 7 == e) x[e] = v.minX + 1e-12 * (0.5 + next());                   // at the tolerance
            }
            UnitSurface quick;
            quick.surface.view = v;
            DrawWorldLine(quick.surface, x[0], y[0], x[1], y[1]);
            RecordingCanvas exact;
            double x1 = x[0], y1 = y[0], x2 = x[1], y2 = y[1];
            if (ClipSegment(x1, y1, x2, y2, v.minX, v.minY, v.maxX, v.maxY) != kClipInvisible)
                DrawPixelLine(exact, WorldToPixel(v, x1, y1).x, WorldToPixel(v, x1, y1).y, WorldToPixel(v, x2, y2).x,
                              WorldToPixel(v, x2, y2).y);
            ASSERT_EQ(Trace(quick.Ops()), Trace(exact.ops)) << "line " << i;
        }
    }
}

// The quick walk's corrected pairs follow the cosine and sine of the exact walk's parameters (each the
// running sum rounded to a double) over whole walks at large parameters, where the sum's roundings drift
// far enough that a correction of the wrong sign, or none, shows.
TEST(Curves, DriftCorrectedWalkFollowsTheExactParameters) {
    struct Case {
        double t0, sweep;
    };
    for (const Case c : {Case{1000.3, 2 * pi}, Case{12345.678, -pi / 3}, Case{100.0, 5.0}, Case{-4096.5, 6.2},
                         Case{65536.25, 0.001}}) {
        SCOPED_TRACE(testing::Message() << c.t0 << " " << c.sweep);
        const double step = ToDouble(Ext(c.sweep) / 72);
        DriftCorrectedWalk walk(c.t0, step);
        double t = c.t0;
        long double worst = 0;
        for (int i = 0; i <= 72; ++i) {
            if (i > 0) t = ToDouble(Ext(t) + step);
            const PlanePoint pair = walk.Next();
            worst = std::max({worst, std::fabs(pair.x - std::cos(Ext(t))), std::fabs(pair.y - std::sin(Ext(t)))});
        }
        EXPECT_TRUE(walk.Sure());
        EXPECT_LT(worst, 0x1p-44L);
    }
}

TEST(Curves, EllipseStepIsTheNearestDoubleToFiveDegrees) {
    EXPECT_EQ(kFiveDegrees, static_cast<double>(5 * std::numbers::pi_v<long double> / 180));
}

TEST(PreviewText, DegenerateTallAndFittedTexts) {
    struct Case {
        const char *what;
        double scale, x1, y1, x2, h, w, s;
        const char *text;
        std::vector<std::string> trace;
    };
    const Case cases[] = {
        {"1.9 pixels high becomes its baseline",
         1,
         10,
         10,
         40,
         1.9,
         1,
         0,
         "AB",
         {"line 10 90 40 90 | pen 000000 solid 1"}},
        // p = 5, the cells span x 15..25 and y 10..411; the top edge lies outside the window.
        {"401 pixels high becomes the outline of the cells",
         1,
         10,
         10,
         30,
         401,
         10,
         0,
         "AB",
         {"line 25 0 25 90 | pen 000000 solid 1", "line 25 90 15 90 | pen 000000 solid 1",
          "line 15 90 15 0 | pen 000000 solid 1"}},
        // n 4, L 8, w 1, s 0.5: the stored width stays and the text is centred, advance (1 + 0.5) / 2;
        // positions round halves to even (42.5 to 42, 57.5 to 58).
        {"kept width",
         10,
         1,
         5,
         9,
         2,
         1,
         0.5,
         "ABCD",
         {"text 35 30 | font 20 5 0 400 0 \"F\" | color 000000 | \"A\"",
          "text 42 30 | font 20 5 0 400 0 \"F\" | color 000000 | \"B\"",
          "text 50 30 | font 20 5 0 400 0 \"F\" | color 000000 | \"C\"",
          "text 58 30 | font 20 5 0 400 0 \"F\" | color 000000 | \"D\""}},
        // n 4, L 0.3, w 1, s 0.2: w = 2 * 0.075 - 0.2 is below 0.1, so w = 0.15 and s = 0; the
        // two-byte character's font width is nearest(15) halved. The double 0.075 lies just below 0.075,
        // and the extended product keeps that: 7.4999... rounds to 7, not to the even 8.
        {"squeezed width",
         100,
         0.2,
         0.5,
         0.5,
         0.05,
         1,
         0.2,
         "AB\x88\x9f",
         {"text 20 45 | font 5 7 0 400 0 \"F\" | color 000000 | \"A\"",
          "text 27 45 | font 5 7 0 400 0 \"F\" | color 000000 | \"B\"",
          "text 35 45 | font 5 7 0 400 0 \"F\" | color 000000 | \"亜\""}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        UnitSurface u(c.scale);
        DrawPreviewText(u.surface, 0, c.x1, c.y1, c.x2, c.y1, c.h, c.w, c.s, "F", c.text);
        EXPECT_EQ(Trace(u.Ops()), c.trace);
    }
}

TEST(PreviewText, DirectionStyleAndVisibility) {
    UnitSurface u;
    DrawPreviewText(u.surface, kTextBold | kTextItalic, 50, 10, 50, 30, 5, 4, 0, "F", "AB");  // upwards
    ASSERT_EQ(u.Ops().size(), 2u);
    EXPECT_EQ(u.Ops()[0].font.escapement, 900);
    EXPECT_EQ(u.Ops()[0].font.weight, 700);
    EXPECT_TRUE(u.Ops()[0].font.italic);
    u.Ops().clear();
    DrawPreviewText(u.surface, 0, 50, 10, 30, 10, 5, 4, 0, "F", "AB");  // leftwards
    EXPECT_EQ(u.Ops()[0].font.escapement, 1800);
    u.Ops().clear();
    DrawPreviewText(u.surface, 0, 30, 10, 50, 10, 5, -4, 0, "F", "AB");  // negative width turns it round
    EXPECT_EQ(u.Ops()[0].font.escapement, 1800);
    u.Ops().clear();
    // The first character's cell lies left of the window: skipped, yet the second starts after it.
    DrawPreviewText(u.surface, 0, -10, 10, 10, 10, 5, 10, 0, "F", "AB");
    ASSERT_EQ(u.Ops().size(), 1u);
    EXPECT_EQ(u.Ops()[0].points[0], (PixelPoint{0, 85}));
    EXPECT_EQ(u.Ops()[0].text, "B");
    u.Ops().clear();
    DrawPreviewText(u.surface, 0, 10, 10, 30, 10, -5, 10, 0, "F", "A");  // hangs below the baseline
    EXPECT_EQ(u.Ops()[0].points[0], (PixelPoint{18, 90}));               // 17.5 rounds to even
}

// A negative width turns the text round and the spacing with it: the characters step back along the
// reversed direction by (w - s) / 2. And a character whose only part in the window is the far corner of
// its cell (here at the window's top-left) is still drawn.
TEST(PreviewText, MirroredSpacingAndCornerOnlyCells) {
    struct Case {
        double x1, y1, x2, h, w, s;
        std::vector<PixelPoint> at;
    };
    const Case cases[] = {
        {30, 10, 60, 5, -4, 1, {{46, 95}, {45, 95}}},
        {30, 10, 60, 5, 4, 1, {{42, 85}, {45, 85}}},  // the same text not turned round
        {-4, 98, 2, 5, 8, 0, {{-3, -3}}},             // the cell's far corner (1, 98) alone is inside
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.x1 << " " << c.w << " " << c.s);
        UnitSurface u;
        DrawPreviewText(u.surface, 0, c.x1, c.y1, c.x2, c.y1, c.h, c.w, c.s, "F", std::string(c.at.size(), 'A'));
        std::vector<PixelPoint> at;
        for (const DrawOp &op : u.Ops())
            at.push_back(op.points[0]);
        EXPECT_EQ(at, c.at);
    }
}

TEST(PreviewText, FaceNameFitsTheFontField) {
    EXPECT_EQ(FontFaceField(std::string("MS\0Gothic", 9)), "MS");
    EXPECT_EQ(FontFaceField(std::string(40, 'a')), std::string(31, 'a'));
    // 15 two-byte characters and one more: cut before the character that would straddle byte 31.
    std::string wide;
    for (int i = 0; i < 16; i++)
        wide += "\x82\xa0";
    EXPECT_EQ(FontFaceField("x" + wide), "x" + wide.substr(0, 30));
}

TEST(PointMarker, ShapesByCode) {
    UnitSurface u;
    DrawPointMarker(u.surface, 1, 5, 50, 50, 0, 10, 2);  // temporary: the 3-pixel circle only
    ASSERT_EQ(u.Ops().size(), 1u);
    EXPECT_EQ(u.Ops()[0].points[0], (PixelPoint{53, 50}));
    EXPECT_EQ(u.Ops()[0].brush.kind, BrushKind::Hollow);
    u.Ops().clear();
    DrawPointMarker(u.surface, 2, 1, 50, 50, pi / 2, 0, 6);  // flag 2 is not temporary; scale 0 is 1
    ASSERT_EQ(u.Ops().size(), 1u);
    EXPECT_EQ(u.Ops()[0].points, (std::vector<PixelPoint>{{50, 50}, {49, 57}, {51, 57}}));
    EXPECT_EQ(u.Ops()[0].brush, (Brush{{255, 255, 255}, BrushKind::Solid}));
    u.Ops().clear();
    DrawPointMarker(u.surface, 0, 7, 50, 50, 0, 4, 6);  // own-colour circle of radius 1.25 * 4
    EXPECT_EQ(u.Ops()[0].points[0], (PixelPoint{55, 50}));
    EXPECT_EQ(u.Ops()[0].brush, (Brush{{0, 0, 255}, BrushKind::Solid}));
    u.Ops().clear();
    DrawPointMarker(u.surface, 0, -4, 50, 50, 0, 4, 6);  // plus sign
    EXPECT_EQ(Trace(u.Ops()), (std::vector<std::string>{"line 50 45 50 55 | pen 0000FF solid 0",
                                                        "line 45 50 55 50 | pen 0000FF solid 0"}));
    u.Ops().clear();
    DrawPointMarker(u.surface, 0, 8, 50, 50, 0, 8, 6);  // two quarter arcs
    EXPECT_EQ(u.Ops().size(), 2u);
}

TEST(PointMarker, DotRadiusByColourNumber) {
    struct Case {
        std::int32_t code;
        std::uint16_t color;
        std::int32_t rightmostX;
    };
    const Case cases[] = {{0, 4, 55}, {0, 12, 52}, {-3, 1, 52}, {12, 9, 51}, {0, 3, 54}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.code << " colour " << c.color);
        UnitSurface u;
        DrawPointMarker(u.surface, 0, c.code, 50, 50, 0, 10, c.color);
        ASSERT_EQ(u.Ops().size(), 1u);
        EXPECT_EQ(u.Ops()[0].points[0].x, c.rightmostX);
    }
}

TEST(DrawPreview, OrderColoursAndBlocks) {
    DrawingStore store;
    TclpEntSolid own;
    own.base.penColor = 10;
    own.color = 0x00FF00;  // COLORREF: green in the second-lowest byte
    own.x2 = 10, own.x3 = 10, own.y3 = 10, own.y4 = 10;
    store.solids.push_back(own);
    TclpEntTen point;
    point.base.penStyle = 99;
    point.code = 5;  // ignored without line type 100: the dot
    point.x = 20;
    store.points.push_back(point);
    TclpEntBlockDef def;
    def.number = 3;
    def.lines.push_back({{0, 1, 2}, 1, 0, 0, 1});
    TclpEntTen marked;
    marked.base.penStyle = 100;
    marked.code = 10;
    marked.rotation = pi / 6;
    marked.scale = 1;
    def.points.push_back(marked);
    def.inserts.push_back({});  // never drawn: expansion is one level deep
    store.blockDefs.push_back(def);
    store.inserts.push_back(test::InsertOf(3, 10, 0, 2, 1, pi / 2));

    UnitSurface u(4);
    DrawPreview(u.surface, store);
    const std::vector<std::string> trace = Trace(u.Ops());
    ASSERT_EQ(trace.size(), 5u);
    EXPECT_EQ(trace[0], "polygon 4 0 100 40 100 40 60 0 60 | pen 00FF00 solid 0 | brush 00FF00 solid");
    EXPECT_EQ(u.Ops()[1].brush, (Brush{{0, 0, 0}, BrushKind::Solid}));  // the dot of colour 0
    EXPECT_EQ(u.Ops()[1].points[0], (PixelPoint{81, 100}));
    EXPECT_EQ(trace[2], "line 40 92 36 100 | pen 000000 solid 0");  // (1, 0)-(0, 1) onto (10, 2)-(9, 0)
    // The member point's marker turns by the insert's 90 degrees plus its own 30.
    const double slash = 120 * pi / 180 + pi / 4;
    EXPECT_EQ(u.Ops()[3].points[0], (PixelPoint{static_cast<std::int32_t>(std::lround(40 + 10 * std::cos(slash))),
                                                static_cast<std::int32_t>(std::lround(100 - 10 * std::sin(slash)))}));
    EXPECT_EQ(u.Ops()[4].pen, (Pen{{255, 0, 0}, PenStyle::Dash, 2}));  // the reference point marker last
    EXPECT_EQ(u.Ops()[4].points[0], (PixelPoint{5, 100}));
}

// Inserts that multiply a large definition past the member budget are left out, from the first that
// exceeds it, alike in the extents and the preview, and the preview flags it. Inserts of a missing
// definition place nothing and spend nothing; a text spends by its characters, as drawing it does.
TEST(DrawPreview, InsertsPastTheBlockMemberBudgetAreLeftOutAndFlagged) {
    struct Case {
        std::size_t members, inserts, missing;  // members of the definition; inserts of it; of no definition
        std::size_t placed;
        std::size_t textBytes = 0;  // a definition of one text this long instead of lines
    };
    // Long texts stand for large definitions: drawn in the test's view as their baselines, they cost little.
    for (const Case c : {Case{1, 200, 0, 99, 12'500}, Case{1, 100, 50, 99, 12'500}, Case{1, 1000, 0, 1000},
                         Case{1, 20, 0, 12, 100'000},            // 800,001 each
                         Case{1'000'000, 20, 0, 8, 250'000}}) {  // 2,000,001 each; budget 16 x 1,000,020 records
        SCOPED_TRACE(testing::Message() << c.members << " x " << c.inserts);
        DrawingStore store;
        TclpEntBlockDef def;
        def.number = 1;
        def.objects.assign(c.members, ObjectRef{1, 0});
        if (c.textBytes == 0) def.lines.assign(c.members, {{0, 1, 2}, 0, 0, 1, 1});
        else def.texts.push_back({{0, 1, 2}, 0, 0, 1, 0, 0, 1, 1, 0, 0, "", std::string(c.textBytes, 'A')});
        store.blockDefs.push_back(def);
        for (std::size_t i = 0; i < c.missing + c.inserts; ++i) {
            TclpEntBlock insert;
            insert.number = i < c.missing ? 2 : 1;
            insert.x = 1000.0 * static_cast<double>(i);  // the last inserts alone would widen the extents
            insert.scaleX = insert.scaleY = 1;
            store.inserts.push_back(insert);
            store.objects.push_back({7, static_cast<std::int32_t>(i)});
        }
        const BlockDefLookup lookup(store);
        ASSERT_EQ(InsertsWithinBudget(store, lookup), c.missing + c.placed);
        EXPECT_EQ(ComputeDrawingExtents(store).maxX, 1000.0 * static_cast<double>(c.missing + c.placed - 1) + 1);
        UnitSurface u;
        EXPECT_EQ(DrawPreview(u.surface, store), c.inserts - c.placed);
        const bool flagged = Trace(u.Ops()).back().starts_with("polygon 3 87 1 99 1 99 13 | pen FF0000");
        EXPECT_EQ(flagged, c.placed < c.inserts);
    }
}

TEST(DrawPreview, TextStylesAndDimensionParts) {
    DrawingStore store;
    for (std::int32_t type : {15000, 25000, 35000, 5}) {
        TclpEntMoji t;
        t.textType = type;
        t.startX = 10, t.startY = 50, t.endX = 20, t.endY = 50, t.sizeX = 5, t.sizeY = 5;
        t.text = "A";
        store.texts.push_back(t);
    }
    TclpEntSunpo d;
    d.line = {{}, 0, 0, 1, 1};
    d.auxLine1 = d.auxLine2 = d.line;
    store.dimensions.push_back(d);
    UnitSurface u;
    DrawPreview(u.surface, store);
    ASSERT_EQ(u.Ops().size(), 6u);  // four texts, the dimension's line, the marker
    EXPECT_TRUE(u.Ops()[0].font.italic && u.Ops()[0].font.weight == 400);
    EXPECT_TRUE(!u.Ops()[1].font.italic && u.Ops()[1].font.weight == 700);
    EXPECT_TRUE(u.Ops()[2].font.italic && u.Ops()[2].font.weight == 700);
    EXPECT_TRUE(!u.Ops()[3].font.italic && u.Ops()[3].font.weight == 400);
    store.dimensions[0].sxfMode = 1;
    u.Ops().clear();
    DrawPreview(u.surface, store);
    EXPECT_EQ(u.Ops().size(), 12u);  // plus two auxiliary lines and four point dots
}

// Block members' lines, placed in doubles by each insert, draw what the same lines placed exactly and drawn
// at top level draw: inserts turned, mirrored and scaled, members long and short.
TEST(PreviewBlocks, MemberLinesDrawWhatTheirExactlyPlacedLinesDraw) {
    test::FixedRandom next(17);
    TclpEntBlockDef block;
    block.number = 1;
    for (int i = 0; i < 30; i++) {
        const double x = 200 * next() - 100, y = 200 * next() - 100, length = i % 3 ? 50 * next() : 0.5 * next();
        test::Add(block, TclpEntSen{{}, x, y, x + length * (next() - 0.5), y + length * (next() - 0.5)});
    }
    DrawingStore inserted, placed;
    inserted.layerGroupScales.assign(16, 1.0);
    placed.layerGroupScales.assign(16, 1.0);
    inserted.blockDefs.push_back(block);
    for (int i = 0; i < 300; i++) {
        const TclpEntBlock insert = test::InsertOf(1, 5000 * next(), 3000 * next(), (next() - 0.5) * 4,
                                                   (next() - 0.5) * 4, i % 5 ? 7 * next() : 1e5 * next());
        test::Add(inserted, insert);
        const BlockPlacement placement(BlockTransformOf(insert));
        for (const TclpEntSen &member : block.lines) {
            const PlanePoint a = placement.Place(member.startX, member.startY),
                             b = placement.Place(member.endX, member.endY);
            test::Add(placed, TclpEntSen{member.base, a.x, a.y, b.x, b.y});
        }
    }
    const auto traced = [](const DrawingStore &d) {
        RecordingCanvas canvas;
        PreviewSurface surface(canvas);
        PrepareBlankPreview(surface, kPreviewWidth * 4, kPreviewHeight * 4);
        RenderDrawingPreview(surface, d);
        return Trace(canvas.ops);
    };
    const std::vector<std::string> expected = traced(placed);
    ASSERT_GT(expected.size(), 9000u);
    EXPECT_EQ(traced(inserted), expected);
}

// A drawing of several parts draws, whether its parts are drawn one after another on this thread or side by
// side on others and replayed in order, the operations of its kinds drawn in runs of a thousand entities
// one after another, at sizes where most shapes fall inside a pixel and where they do not.
TEST(DrawPreview, PartsDrawnSideBySideDrawWhatRunsDrawOneAfterAnother) {
    DrawingStore d = test::LargeMixedDrawing();
    // A definition too large for one part, drawn in runs of its members, one of them a long text alone.
    TclpEntBlockDef large;
    large.number = 99;
    for (int i = 0; i < 6000; ++i) {
        large.lines.push_back({{0, 1, static_cast<std::uint16_t>(i % 9)}, 0, 0, 3.0 + i % 50, 2});
        large.arcs.push_back({{0, 1, 3}, 1, 1, 1.0 + i % 40, 0, 2, 0.1 * i, 1, 0});
    }
    large.texts.push_back({{0, 1, 2}, 0, 0, 60, 0, 0, 4, 4, 0, 0, "", std::string(2000, 'W')});
    d.blockDefs.push_back(large);
    // What runs of it draw, drawn apart: each insert of it as three inserts of definitions of one kind each.
    DrawingStore reference = d;
    for (int kind = 0; kind < 3; ++kind) {
        TclpEntBlockDef part;
        part.number = 100 + kind;
        if (kind == 0) part.lines = large.lines;
        if (kind == 1) part.arcs = large.arcs;
        if (kind == 2) part.texts = large.texts;
        reference.blockDefs.push_back(part);
    }
    for (const double x : {-30.0, 10.0, 45.0}) {
        d.inserts.insert(d.inserts.begin() + 7, test::InsertOf(99, x, 5, 0.5, -0.7, x / 10));
        for (const std::int32_t number : {102, 101, 100})
            reference.inserts.insert(reference.inserts.begin() + 7, test::InsertOf(number, x, 5, 0.5, -0.7, x / 10));
    }
    for (const std::int32_t magnified : {1, 8}) {
        SCOPED_TRACE(testing::Message() << "magnified " << magnified);
        const PreviewView view =
            FitPreviewView(ComputeDrawingExtents(d), kPreviewWidth * magnified, kPreviewHeight * magnified);
        const auto drawn = [&](const DrawingStore &store, unsigned partsAhead) {
            RecordingCanvas canvas;
            PreviewSurface surface(canvas);
            surface.view = view;
            DrawPreview(surface, store, partsAhead);
            return Trace(canvas.ops);
        };
        DrawingStore empty;
        empty.layerGroupScales = d.layerGroupScales;
        const std::size_t markerOps = drawn(empty, 1).size();  // the reference point's marker, last
        std::vector<std::string> runs;
        const auto addRuns = [&](auto kind) {
            const auto &all = reference.*kind;
            for (std::size_t begin = 0; begin < all.size(); begin += 1000) {
                DrawingStore run = empty;
                run.blockDefs = reference.blockDefs;
                (run.*kind).assign(all.begin() + begin, all.begin() + std::min(all.size(), begin + 1000));
                const std::vector<std::string> ops = drawn(run, 1);
                runs.insert(runs.end(), ops.begin(), ops.end() - markerOps);
            }
        };
        addRuns(&DrawingStore::solids);
        addRuns(&DrawingStore::lines);
        addRuns(&DrawingStore::arcs);
        addRuns(&DrawingStore::points);
        addRuns(&DrawingStore::texts);
        addRuns(&DrawingStore::dimensions);
        addRuns(&DrawingStore::inserts);
        ASSERT_GT(runs.size(), 25000u);
        for (const unsigned partsAhead : {1u, 2u, 3u}) {
            std::vector<std::string> whole = drawn(d, partsAhead);
            ASSERT_GT(whole.size(), markerOps);
            whole.resize(whole.size() - markerOps);
            EXPECT_EQ(whole, runs) << partsAhead << " parts ahead";
        }
    }
}

// The preview of drawings whose numbers are now and then NaN, infinite, huge or denormal (in origins, ends,
// centres, radii, text cells, insert scales) is the image it has always been: the traces were kept from the
// preview before the view shared its rules, so that no change made for the view moves it again.
TEST(DrawPreview, HostileNumbersDrawTheImagesTheyAlwaysDrew) {
    std::ifstream in(KORVEL_TEST_DATA_DIR "/hostile_number_previews.txt");
    ASSERT_TRUE(in) << "the kept traces are missing";
    std::map<std::string, std::vector<std::string>> kept;
    std::vector<std::string> *current = nullptr;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("== ")) current = &kept[line.substr(3)];
        else if (current) current->push_back(line);
    }
    const std::vector<DrawingStore> drawings = test::HostileNumberDrawings();
    ASSERT_EQ(kept.size(), drawings.size());
    std::size_t drawn = 0;
    for (std::size_t i = 0; i < drawings.size(); i++) {
        const std::string name = "hostile" + std::to_string(i);
        const std::vector<std::uint8_t> bytes = test::WriteStream(drawings[i]);
        if (!CheckClipBytes(bytes)) {  // a scale that is no number: no stream
            EXPECT_TRUE(kept.contains(name + " refused")) << name;
            continue;
        }
        ASSERT_TRUE(kept.contains(name)) << name << " was refused";
        DrawingStore store;
        ReadClipBytes(bytes, store);
        RecordingCanvas canvas;
        PreviewSurface surface(canvas);
        PrepareBlankPreview(surface, 177, 129);
        EXPECT_EQ(RenderDrawingPreview(surface, store), 0u) << name;
        const std::vector<std::string> trace = Trace(canvas.ops);
        const std::vector<std::string> &expected = kept[name];
        const auto differs = std::mismatch(trace.begin(), trace.end(), expected.begin(), expected.end());
        EXPECT_TRUE(differs.first == trace.end() && differs.second == expected.end())
            << name << " line " << differs.first - trace.begin() + 1
            << "\n  now:  " << (differs.first == trace.end() ? "(end)" : differs.first->substr(0, 200))
            << "\n  kept: " << (differs.second == expected.end() ? "(end)" : differs.second->substr(0, 200));
        drawn++;
    }
    EXPECT_GT(drawn, 140u);
}
