// Block figures in the script: a drawing of inserts converted with block figures gives the commands of the same
// drawing with each insert replaced by its members, placed here by hand, as top-level entities.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "reader/block_figures.h"
#include "reader/placed_figures.h"
#include "script/convert.h"
#include "tests/support/readable_script.h"
#include "tests/support/stream_writer.h"

using namespace korvel;

namespace {

constexpr double kPiHere = 3.141592653589793;

TclpEntBase Base(std::uint16_t color, std::uint16_t layer = 0, std::uint16_t group = 0, std::uint8_t style = 1) {
    return {0, style, color, 0, layer, group, 0};
}

TclpEntEnko Arc(TclpEntBase base, double cx, double cy, double r, double start, double sweep, double tilt = 0,
                double flatness = 1, bool full = false) {
    return {base, cx, cy, r, start, sweep, tilt, flatness, full ? 1 : 0};
}

// The arc-shaped solid fields: centre, radius, flatness, tilt, start, sweep, shape value.
TclpEntSolid ArcSolid(std::uint8_t kind, double cx, double cy, double r, double k, double tilt, double start,
                      double sweep, double value) {
    return {Base(3, 0, 0, kind), cx, cy, r, k, tilt, start, sweep, value, 0};
}

// A point placed by (x, y, scaleX, scaleY, angle): scaled, turned, moved; computed here on its own.
struct Place {
    double x, y, sx, sy, angle;
    void Point(double &u, double &v) const {
        const double c = std::cos(angle), s = std::sin(angle), a = u * sx, b = v * sy;
        u = x + c * a - s * b;
        v = y + s * a + c * b;
    }
};

TclpEntBlock Insert(std::int32_t number, const Place &p, TclpEntBase base = Base(1)) {
    return {base, p.x, p.y, p.sx, p.sy, p.angle, number};
}

// Every number of every command, in order; words compared as they are.
struct Command {
    std::string word;
    std::vector<double> numbers;
};

std::vector<Command> Commands(const std::string &script) {
    std::vector<Command> out;
    std::istringstream lines(script);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        Command c;
        std::string rest = line;
        for (char &ch : rest)
            if (ch == ',') ch = ' ';
        std::istringstream words(rest);
        for (std::string w; words >> w;) {
            char *end = nullptr;
            const double v = std::strtod(w.c_str(), &end);
            if (end && *end == '\0' && !w.empty()) c.numbers.push_back(v);
            else c.word += w + " ";
        }
        out.push_back(c);
    }
    return out;
}

std::string Convert(const DrawingStore &d, ConvertOptions options, ConversionReport *report = nullptr) {
    PenColorTable pens;
    FillPenColorTable(pens);
    StringScriptSink sink;
    EXPECT_TRUE(ConvertDrawing(d, options, pens, sink, report));
    return test::Readable(sink.text);
}

void ExpectSameCommands(const std::string &got, const std::string &want) {
    const std::vector<Command> a = Commands(got), b = Commands(want);
    ASSERT_EQ(a.size(), b.size()) << got << "\nwanted\n" << want;
    for (std::size_t i = 0; i < a.size(); i++) {
        EXPECT_EQ(a[i].word, b[i].word) << "line " << i;
        ASSERT_EQ(a[i].numbers.size(), b[i].numbers.size()) << "line " << i;
        for (std::size_t n = 0; n < a[i].numbers.size(); n++)
            EXPECT_NEAR(a[i].numbers[n], b[i].numbers[n], 1e-9 * std::max(1.0, std::fabs(b[i].numbers[n])))
                << "line " << i << " number " << n << "\n"
                << got << "\nwanted\n"
                << want;
    }
}

DrawingStore Empty() {
    DrawingStore d;
    d.layerGroupScales.assign(16, 1.0);
    return d;
}

TclpEntBlockDef Definition(std::int32_t number) {
    TclpEntBlockDef def;
    def.number = number;
    return def;
}

}  // namespace

TEST(BlockFigures, ConvertAsTheirMembersPlacedByHand) {
    // Definition 1: a line, an arc across angle 0, a circle, a symbol point, a sector and a band.
    TclpEntBlockDef one = Definition(1);
    one.lines.push_back({Base(2), 1, 0, 3, 1});
    one.arcs.push_back(Arc(Base(4), 1, 1, 2, -0.5, 1.0));
    one.arcs.push_back(Arc(Base(4), 0, 0, 1, 0, 2 * kPiHere, 0, 1, true));
    one.points.push_back({Base(5, 0, 0, 100), 2, -1, 0, 7, 0.3, 2});
    one.solids.push_back(ArcSolid(101, 1, 0, 2, 1, 0, 0.25, 1.5, 0));  // a sector
    one.solids.push_back(ArcSolid(105, 0, 1, 3, 1, 0, 0, 2, 1));       // a band of inner radius 1
    // Definition 2 holds an insert of 1 (nested) and one of itself (placed once, reported).
    TclpEntBlockDef two = Definition(2);
    two.lines.push_back({Base(6), 0, 0, 0, 2});
    const Place inner{5, 0, 2, 2, kPiHere / 2};
    two.inserts.push_back(Insert(1, inner));
    two.inserts.push_back(Insert(2, {100, 100, 1, 1, 0}));

    DrawingStore blocks = Empty();
    blocks.blockDefs = {one, two};
    const std::vector<Place> places = {
        {10, 20, 1, 1, 0.7},      // a turn
        {-4, 3, -2, -2, 0.2},     // both scales negative: a half turn
        {0, -5, 1.5, -1.5, 0.4},  // a mirror
        {2, 2, -1, 1, 0.1},       // a mirror the other way
    };
    for (std::size_t i = 0; i < places.size(); i++)
        blocks.inserts.push_back(Insert(1, places[i], Base(1, static_cast<std::uint16_t>(3 + i), 1)));
    blocks.inserts.push_back(Insert(2, {50, 50, 1, 1, kPiHere}, Base(1, 9, 2)));

    // The same drawing with the members placed here, each on its insert's layer and group.
    DrawingStore placed = Empty();
    const auto addMembers = [&](const TclpEntBlockDef &def, const std::vector<Place> &chain, TclpEntBase layerOf) {
        const auto onLayer = [&](TclpEntBase b) {
            b.layer = layerOf.layer;
            b.layerGroup = layerOf.layerGroup;
            return b;
        };
        for (TclpEntSen l : def.lines) {
            for (const Place &p : chain) {
                p.Point(l.startX, l.startY);
                p.Point(l.endX, l.endY);
            }
            l.base = onLayer(l.base);
            placed.lines.push_back(l);
        }
        for (TclpEntTen pt : def.points) {
            for (const Place &p : chain)
                p.Point(pt.x, pt.y);
            pt.base = onLayer(pt.base);
            placed.points.push_back(pt);
        }
        // Arcs and arc-shaped solids under equal magnitudes: a turn adds to the tilt; a mirror across x negates
        // tilt, start and sweep; scale -1 on x is that mirror and a half turn.
        const auto placeArc = [&](double &cx, double &cy, double &r, double &tilt, double &start, double &sweep,
                                  double *width) {
            for (const Place &p : chain) {
                p.Point(cx, cy);
                r *= std::fabs(p.sx);
                if (width) *width *= std::fabs(p.sx);
                double turn = p.angle + (p.sx < 0 ? kPiHere : 0);
                if ((p.sx < 0) != (p.sy < 0)) {
                    tilt = -tilt, start = -start, sweep = -sweep;
                }
                tilt += turn;
            }
        };
        for (TclpEntEnko a : def.arcs) {
            placeArc(a.centerX, a.centerY, a.radius, a.tiltAngle, a.startAngle, a.arcAngle, nullptr);
            a.base = onLayer(a.base);
            placed.arcs.push_back(a);
        }
        for (TclpEntSolid s : def.solids) {
            placeArc(s.x1, s.y1, s.x2, s.x3, s.y3, s.x4, s.base.penStyle == 105 ? &s.y4 : nullptr);
            s.base = onLayer(s.base);
            placed.solids.push_back(s);
        }
    };
    // Innermost first: each chain lists the placements from the member's own block outwards.
    for (std::size_t i = 0; i < places.size(); i++)
        addMembers(one, {places[i]}, blocks.inserts[i].base);
    const Place outer{50, 50, 1, 1, kPiHere};
    addMembers(two, {outer}, blocks.inserts[4].base);
    addMembers(one, {inner, outer}, blocks.inserts[4].base);

    // Kinds are never interleaved: each kind's members follow in insert order, so the hand-made drawing's
    // arrays hold them in the order the walk meets them only if they are added insert by insert as above.
    for (const bool layers : {false, true}) {
        ConvertOptions options{true, layers, false, true};
        options.blocks = true;
        ConversionReport report;
        const std::string got = Convert(blocks, options, &report);
        ConvertOptions topLevel = options;
        topLevel.blocks = false;
        ExpectSameCommands(got, Convert(placed, topLevel));
        EXPECT_EQ(report[LeftOutReason::SelfReferring], 1u);
        EXPECT_EQ(report.fromBlocks, report.Written());
    }
}

TEST(BlockFigures, UnequalScalesMakeCirclesEllipsesAndLeaveBandsOut) {
    TclpEntBlockDef def = Definition(7);
    def.arcs.push_back(Arc(Base(2), 1, 0, 2, 0.3, 1.2));                    // circular arc
    def.arcs.push_back(Arc(Base(2), 0, 0, 1, 0, 2 * kPiHere, 0, 1, true));  // circle
    def.solids.push_back(ArcSolid(106, 0, 0, 3, 1, 0, 0, 1, 2));            // a band: no command can place it
    DrawingStore d = Empty();
    d.blockDefs = {def};
    d.inserts.push_back(Insert(7, {0, 0, 3, 1, 0.5}));
    d.inserts.push_back(Insert(7, {0, 0, 1, 3, 0}));

    // (r cos t, r sin t) scaled by (3, 1) is the ellipse of radius 3r and flatness 1/3 at the same t; by (1, 3)
    // its longer axis is y: tilt pi/2 and the parameter a quarter turn back.
    DrawingStore want = Empty();
    want.arcs.push_back(Arc(Base(2), 3 * std::cos(0.5), 3 * std::sin(0.5), 6, 0.3, 1.2, 0.5, 1.0 / 3));
    want.arcs.push_back(Arc(Base(2), 0, 0, 3, 0, 2 * kPiHere, 0.5, 1.0 / 3, true));
    want.arcs.push_back(Arc(Base(2), 1, 0, 6, 0.3 - kPiHere / 2, 1.2, kPiHere / 2, 1.0 / 3));
    want.arcs.push_back(Arc(Base(2), 0, 0, 3, -kPiHere / 2, 2 * kPiHere, kPiHere / 2, 1.0 / 3, true));

    ConvertOptions options{false, false, false, true};
    options.blocks = true;
    ConversionReport report;
    const std::string got = Convert(d, options, &report);
    ExpectSameCommands(got, Convert(want, {false, false, false, true}));
    EXPECT_EQ(report[LeftOutReason::NoFigure], 2u);
}

// A kind-105 band under unequal scales, mirrored and nested: both its edges pass through the placed images
// of the member's edges (its inner edge is the outer ellipse scaled about the centre, which any placement
// keeps); a kind-106 band is still left out.
TEST(BlockFigures, RingBandsOfKind105ArePlacedUnderAnyScales) {
    const auto edgePoint = [](const TclpEntSolid &s, bool inner, double t) {
        const ArcSolidShape band = DecodeArcSolid(s);
        const EllipseShape &e = band.arc.ellipse;
        return EllipsePoint(e.cx, e.cy, inner ? band.value : e.radius, e.flatness, Rotation(e.tilt), t);
    };
    const TclpEntSolid band = ArcSolid(105, 1, 2, 3, 0.6, 0.4, 0.3, 2.1, 2);
    const std::vector<std::vector<BlockTransform>> chains = {
        {{0, 0, 2, 0.5, 0, 1}}, {{1, -1, 1, -2, 0.7, 1}}, {{0, 0, 3, 1, 0.2, 1}, {5, 5, -0.5, 2, 1.1, 1}}};
    for (const auto &chain : chains) {
        TclpEntSolid placed = band;
        for (const BlockTransform &t : chain)
            ASSERT_TRUE(PlaceFigure(placed, BlockPlacement(t)));
        const ArcSolidShape from = DecodeArcSolid(band), to = DecodeArcSolid(placed);
        for (const bool inner : {false, true})
            for (int i = 0; i <= 8; i++) {
                PlanePoint want = edgePoint(band, inner, from.arc.start + from.arc.sweep * i / 8);
                for (const BlockTransform &t : chain)
                    want = BlockPlacement(t).Place(want);
                const PlanePoint got = edgePoint(placed, inner, to.arc.start + to.arc.sweep * i / 8);
                EXPECT_NEAR(got.x, want.x, 1e-9) << inner << " " << i << " of a chain of " << chain.size();
                EXPECT_NEAR(got.y, want.y, 1e-9) << inner << " " << i << " of a chain of " << chain.size();
            }
    }
    TclpEntSolid other = ArcSolid(106, 1, 2, 3, 0.6, 0.4, 0.3, 2.1, 2);
    EXPECT_FALSE(PlaceFigure(other, BlockPlacement({0, 0, 2, 0.5, 0, 1})));

    // Converted: a partial band and a whole ring, placed with unequal scales, each its command.
    TclpEntBlockDef def = Definition(9);
    def.solids.push_back(band);
    def.solids.push_back(ArcSolid(105, 0, 0, 3, 1, 0, 0, 0, 2));
    DrawingStore d = Empty();
    d.blockDefs = {def};
    d.inserts.push_back(Insert(9, {0, 0, 2, 0.5, 0.3}));
    ConvertOptions options{false, false, false, true};
    options.blocks = true;
    ConversionReport report;
    const std::string script = Convert(d, options, &report);
    EXPECT_EQ(report[WrittenKind::Solid], 2u);
    EXPECT_EQ(report[LeftOutReason::NoFigure], 0u);
    EXPECT_NE(script.find("BSLD2D"), std::string::npos) << script;
    EXPECT_NE(script.find("DSLD2D"), std::string::npos) << script;
}

// Any arc under any insert: the placed record's points are the insert's images of the member's points, at the
// corresponding parameters from start to end.
TEST(BlockFigures, PlacedArcsPassThroughThePlacedPoints) {
    const auto pointAt = [](const TclpEntEnko &a, double t) {
        const double u = a.radius * std::cos(t), v = a.flatness * a.radius * std::sin(t);
        return std::pair{a.centerX + u * std::cos(a.tiltAngle) - v * std::sin(a.tiltAngle),
                         a.centerY + u * std::sin(a.tiltAngle) + v * std::cos(a.tiltAngle)};
    };
    const TclpEntEnko arcs[] = {Arc(Base(1), 1, 2, 3, 5.9, 1.1, 0.4, 0.5), Arc(Base(1), -1, 0, 2, 0.2, -2.5, 2, 1.7)};
    const Place places[] = {{1, 1, 2, -0.5, 0.3}, {0, 0, -3, 0.25, -1}, {4, -2, 0.5, 2, 2}, {0, 0, 2, 2, 0.5}};
    for (const TclpEntEnko &arc : arcs)
        for (const Place &p : places) {
            TclpEntEnko placed = arc;
            ASSERT_TRUE(PlaceFigure(placed, BlockPlacement({p.x, p.y, p.sx, p.sy, p.angle, 1})));
            for (int i = 0; i <= 8; i++) {
                auto [x, y] = pointAt(arc, arc.startAngle + arc.arcAngle * i / 8);
                p.Point(x, y);
                const auto [px, py] = pointAt(placed, placed.startAngle + placed.arcAngle * i / 8);
                EXPECT_NEAR(px, x, 1e-9) << i;
                EXPECT_NEAR(py, y, 1e-9) << i;
            }
        }
}

// Hostile nesting: definitions that each insert the next twice would place 2^40 figures, and a chain of
// definitions goes 100 deep; both convert at once, leaving out what is past the budget or too deep.
TEST(BlockFigures, NestingIsBoundedByTheBudgetAndTheDepth) {
    const auto chain = [](int length, int insertsOfNext) {
        DrawingStore d = Empty();
        for (int i = 0; i < length; i++) {
            TclpEntBlockDef def = Definition(i);
            def.lines.push_back({Base(1), 0, 0, 1, 1});
            for (int k = 0; i + 1 < length && k < insertsOfNext; k++)
                def.inserts.push_back(Insert(i + 1, {1, 0, 1, 1, 0}));
            d.blockDefs.push_back(def);
        }
        d.inserts.push_back(Insert(0, {0, 0, 1, 1, 0}));
        return d;
    };
    ConvertOptions options;
    options.blocks = true;
    ConversionReport doubling;
    Convert(chain(41, 2), options, &doubling);
    EXPECT_EQ(doubling.Written(), 0u);
    EXPECT_EQ(doubling[LeftOutReason::OverBudget], 1u);

    ConversionReport deep;
    Convert(chain(100, 1), options, &deep);
    EXPECT_EQ(deep.Written(), kMaxBlockNesting);
    EXPECT_EQ(deep[LeftOutReason::OverBudget], 1u);
}

// An insert whose members weigh exactly what the budget allows is placed; one member more and it is left out.
TEST(BlockFigures, AnInsertWeighingExactlyTheBudgetIsPlaced) {
    for (const int extraLines : {0, 1}) {
        SCOPED_TRACE(extraLines);
        DrawingStore d = Empty();
        TclpEntBlockDef def = Definition(1);
        // 1 + 8 x 1,249,999 = 9,999,993, and 7 lines: 10,000,000, the least budget.
        TclpEntMoji text;
        text.text.assign(1'249'999, 'A');
        def.texts.push_back(text);
        for (int i = 0; i < 7 + extraLines; i++)
            def.lines.push_back({Base(1), 0, static_cast<double>(i), 1, static_cast<double>(i)});
        d.blockDefs.push_back(def);
        d.inserts.push_back(Insert(1, {0, 0, 1, 1, 0}));
        ASSERT_EQ(BlockMemberBudget(d), 10'000'000u);
        ConvertOptions options;
        options.blocks = true;
        ConversionReport report;
        Convert(d, options, &report);
        EXPECT_EQ(report[WrittenKind::Line], extraLines ? 0u : 7u);
        EXPECT_EQ(report[LeftOutReason::OverBudget], extraLines ? 1u : 0u);
        EXPECT_EQ(report[LeftOutReason::Text], extraLines ? 0u : 1u);
    }
}

// What a definition holds inside other definitions is reported by its own reason: a nested insert of a
// missing definition, a solid without --solids, a dimension whose lines are or are not asked for.
TEST(BlockFigures, NestedMembersAreCountedOnceUnderTheirOwnReason) {
    DrawingStore d = Empty();
    TclpEntBlockDef outer = Definition(1), inner = Definition(2);
    outer.inserts.push_back(Insert(2, {1, 0, 1, 1, 0}));
    outer.inserts.push_back(Insert(99, {1, 0, 1, 1, 0}));  // no definition 99
    inner.solids.push_back(ArcSolid(101, 1, 0, 2, 1, 0, 0.25, 1.5, 0));
    TclpEntSunpo dimension;
    dimension.base = Base(3);
    dimension.line = {Base(3), 0, 0, 10, 0};
    dimension.label = {Base(3), 0, 1, 10, 1, 0, 2, 2, 0, 0, "", "10"};
    inner.dimensions.push_back(dimension);
    d.blockDefs = {outer, inner};
    d.inserts.push_back(Insert(1, {0, 0, 1, 1, 0}));
    for (const bool dimensions : {false, true})
        for (const bool solids : {false, true}) {
            SCOPED_TRACE(testing::Message() << "dimensions " << dimensions << " solids " << solids);
            ConvertOptions options;
            options.blocks = true;
            options.dimensions = dimensions;
            options.solids = solids;
            ConversionReport report;
            Convert(d, options, &report);
            EXPECT_EQ(report[LeftOutReason::MissingBlock], 1u);
            EXPECT_EQ(report[LeftOutReason::Solid], solids ? 0u : 1u);
            EXPECT_EQ(report[WrittenKind::Solid], solids ? 1u : 0u);
            // Its line converted and its value left out as a text, or the whole dimension left out: never both.
            EXPECT_EQ(report[WrittenKind::Line], dimensions ? 1u : 0u);
            EXPECT_EQ(report[LeftOutReason::Dimension], dimensions ? 0u : 1u);
            EXPECT_EQ(report[LeftOutReason::Text], dimensions ? 1u : 0u);
            EXPECT_EQ(report.fromBlocks, report.Written());
        }
}

// A dimension inside a block converts, under --blocks --dimensions, into its line and both extension lines
// placed by the insert, each on the dimension's own layer and colour rather than its lines' records'.
TEST(BlockFigures, AnSxfDimensionInsideABlockIsPlacedWhole) {
    TclpEntSunpo dimension;
    dimension.base = Base(5, 4);
    dimension.line = {Base(2, 7), 0, 0, 10, 0};
    dimension.auxLine1 = {Base(2, 7), 0, -3, 0, 0};
    dimension.auxLine2 = {Base(2, 7), 10, -3, 10, 0};
    dimension.label = {Base(2, 7), 0, 1, 10, 1, 0, 2, 2, 0, 0, "", "10"};
    dimension.sxfMode = 1;
    DrawingStore blocks = Empty();
    TclpEntBlockDef def = Definition(1);
    def.dimensions.push_back(dimension);
    blocks.blockDefs.push_back(def);
    const Place place{100, 50, 2, 3, 0.3};
    blocks.inserts.push_back(Insert(1, place, Base(1, 4)));

    DrawingStore direct = Empty();  // the same lines placed by hand, as lines of the dimension's layer and colour
    for (TclpEntSen line : {dimension.line, dimension.auxLine1, dimension.auxLine2}) {
        place.Point(line.startX, line.startY);
        place.Point(line.endX, line.endY);
        line.base = Base(5, 4);
        test::Add(direct, line);
    }
    ConvertOptions options;
    options.blocks = options.dimensions = options.layers = options.colors = true;
    ExpectSameCommands(Convert(blocks, options), Convert(direct, options));
}
