// One command line per entity: each row names the fault it would catch.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "script/emitters.h"
#include "tests/support/readable_script.h"

using namespace korvel;
using korvel::test::Readable;

namespace {

const ScriptTransform kIdentity{0, 0, 1};

template <class Emit>
std::string Emitted(Emit emit) {
    StringScriptSink sink;
    emit(sink);
    return Readable(sink.text);
}

TclpEntEnko Arc(double cx, double cy, double r, double start, double sweep, double tilt, double flat, int full) {
    return {{}, cx, cy, r, start, sweep, tilt, flat, full};
}

TclpEntSolid Solid(std::uint8_t style, double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                   double y4) {
    return {TclpEntBase{0, style, 1, 0, 0, 0, 0}, x1, y1, x2, y2, x3, y3, x4, y4, 0};
}

}  // namespace

TEST(EmitLine, ScalesAboutTheReferencePoint) {
    const ScriptTransform t{100, 200, 0.01};
    EXPECT_EQ(Emitted([&](ScriptSink &s) {
                  EmitLine(s, TclpEntSen{{}, 150, 250, 250, 250}, t);
              }),
              "_LINE2D_n, 0.5,0.5, 1.5,0.5\r\n");
    EXPECT_EQ(Emitted([&](ScriptSink &s) {
                  EmitLine(s, TclpEntSen{{}, -0.00000000004, 0.00005, 1e15, -2.5}, kIdentity);
              }),
              "_LINE2D_n, 0,5E-5, 1E15,-2.5\r\n");
    EXPECT_EQ(Emitted([&](ScriptSink &s) {
                  EmitPoint(s, TclpEntTen{{}, 3, -4, 1, 0, 0, 0}, t);
              }),
              "_TEN2D_n, -0.97,-2.04\r\n");
}

TEST(EmitArc, CirclesEllipsesAndArcs) {
    struct Case {
        const char *fault;
        TclpEntEnko arc;
        const char *expected;
    };
    const Case cases[] = {
        {"circle operands", Arc(10, 20, 5, 0, 0, 0, 1, 1), "_CIRCLE2D_n,SetArcSep, 10,20, 5\r\n"},
        {"full ellipse second radius and tilt", Arc(0, 0, 4, 0, 0, 0.5, 0.5, 1),
         "_ELLI2D_n,SetArcSep, 0,0, 4,2, 0.5\r\n"},
        {"flatness within 1e-12 is a circle", Arc(0, 0, 1, 0, 0, 0, 1 + 1e-13, 7), "_CIRCLE2D_n,SetArcSep, 0,0, 1\r\n"},
        {"negative sweep runs counter-clockwise", Arc(0, 0, 2, 1, -0.5, 0, 1, 0),
         "_ARC2D_n,SetArcSep, 0,0, 2, 0.5,1\r\n"},
        {"tilt added to both ends of a circular arc", Arc(0, 0, 2, 0, 1, 0.25, 1, 0),
         "_ARC2D_n,SetArcSep, 0,0, 2, 0.25,1.25\r\n"},
        {"tilt kept apart on an elliptic arc", Arc(0, 0, 2, 0, 1, 0.25, 0.5, 0),
         "_ELARC2D_n,SetArcSep, 0,0, 2,1, 0.25,0,1\r\n"},
        {"end angle is start plus sweep", Arc(1, 1, 1, kPi, kPi / 2, 0, 1, 0),
         "_ARC2D_n,SetArcSep, 1,1, 1, 3.14159265358979,4.71238898038469\r\n"},
        {"NaN sweep takes the otherwise branch and writes 0", Arc(0, 0, 1, 1, NAN, 0, 1, 0),
         "_ARC2D_n,SetArcSep, 0,0, 1, 0,1\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fault);
        EXPECT_EQ(Emitted([&](ScriptSink &s) { EmitArc(s, c.arc, kIdentity); }), c.expected);
    }
    // Under a scale: lengths scale (the second radius is radius x flatness x scale, rounded once), angles
    // do not.
    const ScriptTransform tenth{0, 0, 0.1};
    EXPECT_EQ(Emitted([&](ScriptSink &s) { EmitArc(s, Arc(0, 0, 3, 0, 0, 0, 0.1, 1), tenth); }),
              "_ELLI2D_n,SetArcSep, 0,0, 0.3,0.03, 0\r\n");
    EXPECT_EQ(Emitted([&](ScriptSink &s) { EmitArc(s, Arc(10, 0, 3, 0, 0, 0.5, 0.5, 1), tenth); }),
              "_ELLI2D_n,SetArcSep, 1,0, 0.3,0.15, 0.5\r\n");
    EXPECT_EQ(Emitted([&](ScriptSink &s) { EmitArc(s, Arc(0, 0, 3, 0.5, 1, 0.25, 0.5, 0), tenth); }),
              "_ELARC2D_n,SetArcSep, 0,0, 0.3,0.15, 0.25,0.5,1.5\r\n");
    EXPECT_EQ(Emitted([&](ScriptSink &s) { EmitArc(s, Arc(0, 0, 3, 0.5, 1, 0.25, 1, 0), tenth); }),
              "_ARC2D_n,SetArcSep, 0,0, 0.3, 0.75,1.75\r\n");
}

TEST(EmitPolygonSolid, OrientationAndDegenerateShapes) {
    struct Case {
        const char *fault;
        TclpEntSolid solid;
        const char *expected;
    };
    const Case cases[] = {
        {"clockwise triangle swaps P2 and P3", Solid(1, 0, 0, 0, 1, 1, 0, 1, 0), "_3SLD2D_n, 0,0, 1,0, 0,1\r\n"},
        {"counter-clockwise triangle kept", Solid(1, 0, 0, 1, 0, 0, 1, 0, 1), "_3SLD2D_n, 0,0, 1,0, 0,1\r\n"},
        {"clockwise quadrilateral swaps P2 and P4", Solid(1, 0, 0, 0, 1, 1, 1, 1, 0),
         "_4SLD2D_n, 0,0, 1,0, 1,1, 0,1\r\n"},
        {"collinear counts as counter-clockwise", Solid(1, 0, 0, 1, 1, 2, 2, 5, 0),
         "_4SLD2D_n, 0,0, 1,1, 2,2, 5,0\r\n"},
        {"P2 = P3 = P4 is a line", Solid(1, 0, 0, 3, 4, 3, 4, 3, 4), "_LINE2D_n, 0,0, 3,4\r\n"},
        {"four equal points are a zero-length line", Solid(1, 2, 2, 2, 2, 2, 2, 2, 2), "_LINE2D_n, 2,2, 2,2\r\n"},
        {"P4 within 1e-12 of P3 is a triangle", Solid(1, 0, 0, 1, 0, 0, 1, 1e-13, 1), "_3SLD2D_n, 0,0, 1,0, 0,1\r\n"},
        {"P4 off P3 along x only is a quadrilateral", Solid(1, 0, 0, 2, 0, 2, 1, 0, 1),
         "_4SLD2D_n, 0,0, 2,0, 2,1, 0,1\r\n"},
        {"P4 off P3 along y only is a quadrilateral", Solid(1, 0, 0, 2, 0, 2, 2, 2, 1),
         "_4SLD2D_n, 0,0, 2,0, 2,2, 2,1\r\n"},
        {"right triangle, P3 above P2", Solid(1, 0, 0, 1, 0, 1, 1, 1, 1), "_3SLD2D_n, 0,0, 1,0, 1,1\r\n"},
        {"right triangle, P3 beside P2", Solid(1, 0, 1, 0, 0, 1, 0, 1, 0), "_3SLD2D_n, 0,1, 0,0, 1,0\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fault);
        EXPECT_EQ(Emitted([&](ScriptSink &s) { EmitPolygonSolid(s, c.solid, kIdentity); }), c.expected);
    }
}

TEST(EmitArcSolid, KindsAndShapeValues) {
    // Centre (1, 2), radius 3, flatness 0.5, tilt 0.1, start 0.5, sweep s, shape t.
    auto arcSolid = [](std::uint8_t kind, double sweep, double shape) {
        return Solid(kind, 1, 2, 3, 0.5, 0.1, 0.5, sweep, shape);
    };
    struct Case {
        const char *fault;
        TclpEntSolid solid;
        const char *expected;
    };
    const Case cases[] = {
        {"101 whole disc", arcSolid(101, 1, 100), "_CSLD2D_n,SetArcSep, 1,2, 3,1.5, 0.1,0\r\n"},
        {"101 pie", arcSolid(101, 1, 0), "_PSLD2D_n,SetArcSep, 1,2, 3,1.5, 0.1,0.5,1.5,0\r\n"},
        {"101 t = 5", arcSolid(101, 1, 5), "_YSLD2D_n,SetArcSep, 1,2, 3,1.5, 0.1,0.5,1.5,0\r\n"},
        {"101 other t; no tilt added to solid angles", arcSolid(101, -1, 7),
         "_OSLD2D_n,SetArcSep, 1,2, 3,1.5, 0.1,-0.5,0.5,0\r\n"},
        {"111 whole ellipse", arcSolid(111, 1, 100), "_ELLI2D_n,SetArcSep, 1,2, 3,1.5, 0.1\r\n"},
        {"111 elliptic arc", arcSolid(111, 1, 3), "_ELARC2D_n,SetArcSep, 1,2, 3,1.5, 0.1,0.5,1.5\r\n"},
        {"105 ring at 2 pi", arcSolid(105, 2 * kPi, 2), "_DSLD2D_n,SetArcSep, 1,2, 3,1.5, 0.1, 2,0\r\n"},
        {"105 ring at -2 pi", arcSolid(105, -2 * kPi, 2), "_DSLD2D_n,SetArcSep, 1,2, 3,1.5, 0.1, 2,0\r\n"},
        {"105 ring at 0", arcSolid(105, 0, 2), "_DSLD2D_n,SetArcSep, 1,2, 3,1.5, 0.1, 2,0\r\n"},
        {"105 just short of 2 pi is a band", arcSolid(105, 2 * kPi - 1e-6, 2),
         "_BSLD2D_n,SetArcSep, 1,2, 3,1.5, 0.1,0.5,6.78318430717959, 2,0\r\n"},
        // C = (3 x 0.5 - 3) / 2 + 1 = 0.25: the inner flatness; R2' = 3 x 0.25.
        {"106 inner flatness from the inner radius", arcSolid(106, 1, 2),
         "_BSLD2D_n,SetArcSep, 1,2, 3,0.75, 0.1,0.5,1.5, 2,0\r\n"},
        {"106 whole ring", arcSolid(106, 0, 2), "_DSLD2D_n,SetArcSep, 1,2, 3,0.75, 0.1, 2,0\r\n"},
        {"106 with t = 0 would divide by zero: nothing", arcSolid(106, 1, 0), ""},
        {"102 is not converted", arcSolid(102, 1, 0), ""},
        {"255 is not converted", arcSolid(255, 1, 0), ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fault);
        EXPECT_EQ(Emitted([&](ScriptSink &s) { EmitArcSolid(s, c.solid, kIdentity); }), c.expected);
    }
}

TEST(IsCounterClockwise, SignOfTheCrossProduct) {
    EXPECT_TRUE(IsCounterClockwise({0, 0}, {1, 0}, {0, 1}));
    EXPECT_FALSE(IsCounterClockwise({0, 0}, {0, 1}, {1, 0}));
    EXPECT_TRUE(IsCounterClockwise({0, 0}, {1, 1}, {2, 2}));
    EXPECT_TRUE(IsCounterClockwise({5, 5}, {5, 5}, {5, 5}));
    EXPECT_FALSE(IsCounterClockwise({0, 0}, {NAN, 0}, {0, 1}));
}
