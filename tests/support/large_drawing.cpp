// A drawing of every kind, large enough for the preview to draw it in parts.
#include "reader/drawing_rules.h"
#include "tests/support/fixed_random.h"
#include "tests/support/stream_writer.h"

namespace korvel::test {

// Every kind at many sizes and colours, enough of each to be drawn in several parts, with the kinds and the
// inserts running over the parts' edges: solids of their own colour, hatched and arc-shaped, curves and
// markers, texts and dimensions, inserts of a block of curves, solids, texts and points, and inserts of a
// missing block.
DrawingStore LargeMixedDrawing() {
    FixedRandom next(29);
    DrawingStore d;
    d.layerGroupScales.assign(16, 1.0);
    const auto base = [&](int i, std::uint8_t style) {
        TclpEntBase b;
        b.penColor = static_cast<std::uint16_t>(i % 11);
        b.penStyle = style;
        return b;
    };
    const auto place = [&] { return PlanePoint{3000 * next(), 2000 * next()}; };
    const auto size = [&](int i) { return i % 4 ? 2 * next() : 200 * next(); };
    TclpEntBlockDef block;
    block.number = 1;
    for (int i = 0; i < 4; i++) {
        test::Add(block, TclpEntEnko{base(i, 1), i * 2.0, 1, 3.0 + i, 0.5 * i, 2, 0.2 * i, i % 2 ? 1.0 : 0.6, i == 0});
        test::Add(block, TclpEntSen{base(i, 2), 0, 0, 5.0 * i, 3});
    }
    test::Add(block, TclpEntSolid{base(3, 1), 0, 0, 4, 0, 4, 4, 0, 4});
    test::Add(block, TclpEntSolid{base(4, 101), 2, 2, 3, 1, 0.5, 0.3, 1.5, 0});
    test::Add(block, TclpEntMoji{base(5, 1), 0, 0, 8, 0, 0, 2, 2, 0, 0, "MS Gothic", "AB"});
    test::Add(block, TclpEntTen{base(6, 100), 1, 1, 0, 3, 0.4, 1});
    d.blockDefs.push_back(block);

    for (int i = 0; i < 2500; i++) {
        const PlanePoint p = place();
        const double s = size(i);
        TclpEntSolid solid{base(i, static_cast<std::uint8_t>(i % 3 ? 1 + i % 8 : 101 + i % 2 * 10)),
                           p.x,
                           p.y,
                           p.x + s,
                           p.y,
                           p.x + s,
                           p.y + s,
                           p.x,
                           p.y + s};
        if (solid.base.penStyle > 100) solid = {solid.base, p.x, p.y, s, 0.7, 0.3, 0.1, 4, s / 10};
        if (i % 7 == 0) solid.base.penColor = kOwnColorNumber, solid.color = static_cast<std::int32_t>(i * 2654435761u);
        test::Add(d, solid);
    }
    for (int i = 0; i < 9000; i++) {
        const PlanePoint p = place();
        const double s = size(i);
        test::Add(d, TclpEntSen{base(i, static_cast<std::uint8_t>(i % 5 ? 1 : 2)), p.x, p.y, p.x + s, p.y - s / 2});
    }
    for (int i = 0; i < 3000; i++) {
        const PlanePoint p = place();
        test::Add(d, TclpEntEnko{base(i, 1), p.x, p.y, size(i), 0.3, 4, 0.1, i % 3 ? 1.0 : 0.5, i % 2});
    }
    for (int i = 0; i < 2000; i++) {
        const PlanePoint p = place();
        test::Add(d, TclpEntTen{base(i, static_cast<std::uint8_t>(i % 2 ? 100 : 1)), p.x, p.y, i % 9 == 0, i % 13 - 6,
                                0.3 * i, 1});
    }
    for (int i = 0; i < 1500; i++) {
        const PlanePoint p = place();
        const double s = size(i);
        test::Add(d, TclpEntMoji{base(i, 1), p.x, p.y, p.x + 4 * s, p.y + s, 10000 * (i % 4), s, s, 0, 0, "MS Mincho",
                                 i % 2 ? "Text" : "\x83\x65\x83\x4C"});
    }
    for (int i = 0; i < 1000; i++) {
        const PlanePoint p = place();
        TclpEntSunpo dimension;
        dimension.line = {base(i, 1), p.x, p.y, p.x + 50, p.y};
        dimension.label = {base(i, 1), p.x, p.y + 1, p.x + 30, p.y + 1, 0, 5, 5, 0, 0, "MS Gothic", "50"};
        dimension.sxfMode = static_cast<std::uint16_t>(i % 2);
        dimension.auxLine1 = dimension.auxLine2 = dimension.line;
        dimension.point1 = dimension.point2 = dimension.point3 = dimension.point4 = {base(i, 1), p.x, p.y};
        test::Add(d, dimension);
    }
    for (int i = 0; i < 1400; i++) {
        const PlanePoint p = place();
        test::Add(d, test::InsertOf(i % 50 == 0 ? 9 : 1, p.x, p.y, (next() - 0.5) * 6, (next() - 0.5) * 6, 7 * next()));
    }
    return d;
}

}  // namespace korvel::test
