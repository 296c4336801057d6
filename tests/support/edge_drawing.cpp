// A drawing of the curves whose exact export is easy to get wrong: mirrored ellipses (a negative flatness),
// arcs swept either way, arc-shaped solids starting in each quadrant and across 0°, shape values within a
// hair of a code, and figures of no size, which are left out.
#include <cmath>

#include "reader/drawing_rules.h"
#include "tests/support/stream_writer.h"

namespace korvel::test {

namespace {

TclpEntSolid ArcSolid(std::uint8_t kind, const EllipseShape &e, double start, double sweep, double value) {
    TclpEntSolid solid;
    solid.base.penStyle = kind;
    solid.base.penColor = 2;
    EncodeArcSolid({kind, {e, start, sweep}, value}, solid);
    return solid;
}

}  // namespace

DrawingStore EdgeDrawing() {
    DrawingStore d;
    d.layerGroupScales.assign(16, 10);
    d.originX = 3, d.originY = -2;
    TclpEntBase pen;
    pen.penStyle = 1;
    pen.penColor = 2;
    double x = 0;
    for (const double flatness : {0.5, -0.5, 2.0, -2.0, -1.0})
        for (const double sweep : {1.2, -1.2}) {
            Add(d, TclpEntEnko{pen, x, 0, 4, 0.3, sweep, 0.4, flatness, 0});
            x += 12;
        }
    // Of no size: no sweep, no radius, a negative radius, no flatness.
    Add(d, TclpEntEnko{pen, 0, 40, 4, 0.3, 0, 0.4, 0.5, 0});
    Add(d, TclpEntEnko{pen, 0, 40, 0, 0.3, 1, 0.4, 0.5, 0});
    Add(d, TclpEntEnko{pen, 0, 40, -4, 0.3, 1, 0.4, 0.5, 0});
    Add(d, TclpEntEnko{pen, 0, 40, 4, 0.3, 1, 0.4, 0, 0});

    double y = 80;
    for (const double flatness : {0.6, 1.0, 1.7, -0.6})
        for (const double value : {0.0, 5.0, 3.0}) {
            x = 0;
            // Starting in each quadrant, and running across 0° either way.
            for (const auto &[start, sweep] :
                 {std::pair{0.3, 1.0}, {1.9, 1.0}, {3.5, 1.0}, {5.1, 1.0}, {-0.4, 0.8}, {5.9, 0.8}, {0.4, -0.8}})
                Add(d, ArcSolid(101, {x += 15, y, 5, flatness, 0.4}, start, sweep, value));
            y += 15;
        }
    // Shape values a hair from the whole ellipse's code: the first is whole, the second is not.
    Add(d, ArcSolid(101, {0, y + 20, 5, 0.5, 0}, 0.3, 1.2, 100 + 5e-15));
    Add(d, ArcSolid(101, {20, y + 20, 5, 0.5, 0}, 0.3, 1.2, 100 + 5e-13));
    Add(d, ArcSolid(111, {40, y + 20, 5, 0.5, 0}, 0.3, 1.2, 100 - 5e-13));
    // Bands, and solids of no size.
    Add(d, ArcSolid(105, {60, y + 20, 5, -0.6, 0.2}, 0.3, 1.2, 3));
    Add(d, ArcSolid(106, {80, y + 20, 5, 0.6, 0.2}, 5.9, 0.8, 3));
    Add(d, ArcSolid(101, {100, y + 20, 5, 0.6, 0.2}, 0.3, 0, 0));
    Add(d, ArcSolid(101, {100, y + 20, 0, 0.6, 0.2}, 0.3, 1, 0));

    TclpEntBlockDef block;
    block.number = 1;
    block.name = "edge";
    Add(block, TclpEntEnko{pen, 0, 0, 2, 0.3, 1.2, 0.4, -0.5, 0});
    Add(block, ArcSolid(101, {0, 0, 2, -0.5, 0.4}, 5.9, 0.8, 0));
    d.blockDefs.push_back(block);
    Add(d, InsertOf(1, 0, -30, 1, 1, 0.5));
    Add(d, InsertOf(1, 10, -30, 0, 1, 0));  // of no size
    return d;
}

}  // namespace korvel::test
