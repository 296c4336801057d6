// What each exported figure looks like and where it goes, read back from the files: colours, line types and
// weights, text width factors, corner orders, placements and their scales, what sits inside a block, hidden
// layers, arc directions and band outlines.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>
#include <regex>
#include <string>
#include <vector>

#include "geom/extended.h"
#include "geom/plane.h"
#include "reader/drawing_rules.h"
#include "tests/support/export_check.h"
#include "tests/support/stream_writer.h"

namespace korvel {
namespace {

using test::Add;
using test::EntitiesIn;
using test::Export;
using test::Group;
using test::Number;
using test::Scaled;

constexpr double pi = std::numbers::pi;

TclpEntBase Pen(std::uint16_t color, std::uint8_t style = 1, std::uint16_t width = 0) {
    TclpEntBase base;
    base.penColor = color;
    base.penStyle = style;
    base.penWidth = width;
    return base;
}

TclpEntBase OnLayer(std::uint16_t group, std::uint16_t layer) {
    TclpEntBase base = Pen(2);
    base.layerGroup = group;
    base.layer = layer;
    return base;
}

TclpEntSolid OwnColourSolid(std::int32_t bgr) {
    TclpEntSolid solid{Pen(kOwnColorNumber), 0, 0, 1, 0, 1, 1, 0, 1, bgr};
    return solid;
}

const Group &Only(const std::vector<std::pair<std::string, Group>> &entities, const std::string &type) {
    const Group *found = nullptr;
    for (const auto &[t, group] : entities)
        if (t == type) {
            EXPECT_EQ(found, nullptr) << "more than one " << type;
            found = &group;
        }
    if (!found) ADD_FAILURE() << "no " << type;
    static const Group none;
    return found ? *found : none;
}

TEST(DxfAttributes, ColoursLineTypesWeightsWidthFactorsAndCornersAreWhatJwCadShows) {
    DrawingStore store = Scaled(10);
    Add(store, TclpEntSen{Pen(5, 3, 30), 0, 0, 1, 0});  // magenta (192, 0, 192), 点線2, 0.3 mm
    TclpEntMoji text;
    text.startX = 0, text.endX = 10, text.sizeX = 2, text.sizeY = 3, text.text = "A^Jb";
    Add(store, text);
    Add(store, TclpEntSolid{Pen(6), 0, 0, 1, 0, 1, 1, 0, 1, 0});  // a unit square, Jw_cad's corners round it
    const auto entities = EntitiesIn(Export(store, ExportFormat::Dxf).text, "ENTITIES");

    const Group &line = Only(entities, "LINE");
    EXPECT_EQ(Number(line, 62), 6) << "magenta's nearest index colour";
    EXPECT_EQ(Number(line, 420), 0xC000C0);
    EXPECT_EQ(line.at(6).at(0), "JW_DOT2");
    EXPECT_EQ(Number(line, 48), 10) << "a pattern in paper millimetres drawn at the group's scale";
    EXPECT_EQ(Number(line, 370), 30);

    const Group &label = Only(entities, "TEXT");
    EXPECT_DOUBLE_EQ(Number(label, 41), 2.0 / 3.0) << "the width factor is width over height";
    EXPECT_DOUBLE_EQ(Number(label, 40), 30);
    EXPECT_EQ(label.at(1).at(0), "A^ Jb") << "a caret followed by a letter is a control code in DXF";

    // DXF fills corners 1, 2, 4, 3: its third corner is Jw_cad's fourth.
    const Group &solid = Only(entities, "SOLID");
    EXPECT_EQ(Number(solid, 62), 5) << "blue";
    EXPECT_EQ(std::vector<double>({Number(solid, 10), Number(solid, 11), Number(solid, 12), Number(solid, 13)}),
              std::vector<double>({0, 10, 0, 10}));
    EXPECT_EQ(std::vector<double>({Number(solid, 20), Number(solid, 21), Number(solid, 22), Number(solid, 23)}),
              std::vector<double>({0, 0, 10, 10}));
}

// A solid's own colour is stored as Windows keeps it, blue in the high byte.
TEST(ExportAttributes, ASolidsOwnColourIsReadBlueGreenRed) {
    DrawingStore store = Scaled(1);
    Add(store, OwnColourSolid(0x0000FF));
    TclpEntSolid band;
    band.base = Pen(kOwnColorNumber, 105);
    band.color = 0xFF0000;
    EncodeArcSolid({105, {{0, 0, 5, 1, 0}, 0, 1}, 2}, band);
    Add(store, band);

    const auto entities = EntitiesIn(Export(store, ExportFormat::Dxf).text, "ENTITIES");
    const Group &solid = Only(entities, "SOLID");
    EXPECT_EQ(Number(solid, 420), 0xFF0000) << "red";
    EXPECT_EQ(Number(solid, 62), 1);
    const Group &hatch = Only(entities, "HATCH");
    EXPECT_EQ(Number(hatch, 420), 0x0000FF) << "blue";
    EXPECT_EQ(Number(hatch, 62), 5);

    const std::string svg = Export(store, ExportFormat::Svg).text;
    EXPECT_NE(svg.find("fill=\"#ff0000\""), std::string::npos);
    EXPECT_NE(svg.find("fill=\"#0000ff\""), std::string::npos);
}

// Members follow the layer their insert is on (DXF's layer "0"), and everything inside a block, a nested
// insert too, is owned by that block's record; placements keep each axis's scale at the group's scale.
TEST(DxfAttributes, BlockMembersFollowTheirInsertAndBelongToTheirBlock) {
    DrawingStore store = Scaled(10);
    TclpEntBlockDef inner;
    inner.number = 2;
    inner.name = "inner";
    Add(inner, TclpEntSen{OnLayer(0, 5), 0, 0, 1, 1});
    TclpEntBlockDef outer;
    outer.number = 1;
    outer.name = "outer";
    Add(outer, TclpEntSen{OnLayer(2, 3), 0, 0, 1, 0});
    TclpEntBlock nested = test::InsertOf(2, 1, 1, 1, 1, 0);
    nested.base = OnLayer(2, 3);
    Add(outer, nested);
    store.blockDefs = {inner, outer};
    TclpEntBlock insert = test::InsertOf(1, 5, 6, 2, 3, 0);
    insert.base = OnLayer(1, 4);
    Add(store, insert);
    const std::string dxf = Export(store, ExportFormat::Dxf).text;

    std::string block, owner;
    int members = 0;
    for (const auto &[type, group] : EntitiesIn(dxf, "BLOCKS")) {
        if (type == "BLOCK") {
            block = group.at(2).at(0);
            owner = group.at(330).back();
            continue;
        }
        if (type == "ENDBLK" || block.starts_with("*")) continue;
        members++;
        EXPECT_EQ(group.at(8).at(0), "0") << type << " in " << block << " keeps a layer of its own";
        EXPECT_EQ(group.at(330).back(), owner) << type << " in " << block << " names another owner";
    }
    EXPECT_EQ(members, 3);

    const auto topLevel = EntitiesIn(dxf, "ENTITIES");
    const Group &placed = Only(topLevel, "INSERT");
    EXPECT_EQ(placed.at(8).at(0), "1-4");
    EXPECT_EQ(Number(placed, 41), 20);
    EXPECT_EQ(Number(placed, 42), 30);
    EXPECT_EQ(Number(placed, 10), 50);
    EXPECT_EQ(Number(placed, 20), 60);
}

// A reader opens on the drawing: the header's extents and the active viewport hold the reference point and
// what is shown, each layer group at its own scale, texts by their characters' cells.
TEST(DxfAttributes, TheFileOpensOnWhatIsShownEachGroupAtItsScale) {
    DrawingStore store = Scaled(1);
    store.layerGroupScales[1] = 100;
    Add(store, TclpEntSen{Pen(2), 1000, 1000, 1010, 1000});
    TclpEntSen far{Pen(2), 0, 0, 2, 1};
    far.base.layerGroup = 1;
    Add(store, far);  // reaches (200, 100) at its group's scale
    TclpEntMoji text;
    text.startX = 1000, text.endX = 1010, text.startY = text.endY = 1000, text.sizeX = 5, text.sizeY = 30;
    text.text = "AB";
    Add(store, text);  // its cells reach 30 above the baseline
    const std::string dxf = Export(store, ExportFormat::Dxf).text;
    // A header variable's point: its name's line, then " 10", x, " 20", y.
    const auto header = [&](const std::string &name) {
        std::vector<std::string> lines;
        std::size_t p = dxf.find(name + "\n");
        for (int i = 0; i < 5 && p != std::string::npos; i++) {
            const std::size_t end = dxf.find('\n', p);
            lines.push_back(dxf.substr(p, end - p));
            p = end + 1;
        }
        return lines.size() == 5 ? PlanePoint{std::stod(lines[2]), std::stod(lines[4])} : PlanePoint{NAN, NAN};
    };
    ASSERT_NE(dxf.find("$EXTMAX"), std::string::npos);
    EXPECT_EQ(header("$EXTMIN").x, 0);
    EXPECT_EQ(header("$EXTMIN").y, 0);
    EXPECT_EQ(header("$EXTMAX").x, 1010);
    EXPECT_EQ(header("$EXTMAX").y, 1030);
    Group viewport;
    for (const auto &[type, group] : EntitiesIn(dxf, "TABLES"))
        if (type == "VPORT") viewport = group;
    EXPECT_DOUBLE_EQ(Number(viewport, 12), 505);
    EXPECT_DOUBLE_EQ(Number(viewport, 22), 515);
    EXPECT_NEAR(Number(viewport, 40), std::max(1030.0, 1010 / 1.5) / 0.9, 1e-9);
}

// --- SVG, read back by its elements and path data ---

std::vector<std::string> Elements(const std::string &svg, const std::string &open) {
    std::vector<std::string> found;
    for (std::size_t p = 0; (p = svg.find(open, p)) != std::string::npos; p++)
        found.push_back(svg.substr(p, svg.find('>', p) - p + 1));
    return found;
}

std::string Attribute(const std::string &element, const std::string &name) {
    const std::size_t at = element.find(" " + name + "=\"");
    if (at == std::string::npos) return {};
    const std::size_t from = at + name.size() + 3;
    return element.substr(from, element.find('"', from) - from);
}

std::vector<double> NumbersIn(const std::string &text) {
    std::vector<double> numbers;
    static const std::regex number(R"([-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), number); it != std::sregex_iterator(); ++it)
        numbers.push_back(std::stod(it->str()));
    return numbers;
}

// The figures' paths, the sheet's rectangle aside.
std::vector<std::string> PathsOf(const std::string &svg) {
    std::vector<std::string> paths;
    for (const std::string &element : Elements(svg, "<path "))
        paths.push_back(Attribute(element, "d"));
    return paths;
}

PlanePoint Svg(PlanePoint p) { return {p.x, -p.y}; }

// What Jw_cad shows is what readers show: a display-only layer on and locked, a hidden one off and frozen (a
// reader may honour only one of the two), a temporary point kept but invisible.
TEST(DxfAttributes, LayersAreShownAsJwCadShowsThemAndTemporaryPointsAreInvisible) {
    DrawingStore store = Scaled(1);
    store.layerStates.assign(16 + 256, 2);
    store.layerStates[16 + 2] = 0;  // 0-2 hidden
    store.layerStates[16 + 3] = 1;  // 0-3 display only
    TclpEntTen temporary;
    temporary.temporary = 1;
    Add(store, temporary);
    Add(store, TclpEntTen{});
    const std::string dxf = Export(store, ExportFormat::Dxf).text;
    std::map<std::string, Group> layers;
    for (const auto &[type, group] : EntitiesIn(dxf, "TABLES"))
        if (type == "LAYER") layers[group.at(2).at(0)] = group;
    EXPECT_EQ(layers["0-2"].at(70).back(), "1") << "a hidden layer is frozen";
    EXPECT_LT(Number(layers["0-2"], 62), 0) << "and off";
    EXPECT_EQ(layers["0-3"].at(70).back(), "4") << "a display-only layer is locked";
    EXPECT_GT(Number(layers["0-3"], 62), 0) << "and on";
    EXPECT_EQ(layers["0-4"].at(70).back(), "0");
    const auto entities = EntitiesIn(dxf, "ENTITIES");
    ASSERT_EQ(entities.size(), 2u);
    EXPECT_EQ(entities[0].second.at(60).at(0), "1");
    EXPECT_FALSE(entities[1].second.contains(60));

    const std::string svg = Export(store, ExportFormat::Svg).text;
    std::vector<std::string> hidden;
    for (const std::string &element : Elements(svg, "<"))
        if (Attribute(element, "display") == "none") hidden.push_back(element.substr(0, element.find(' ')));
    EXPECT_EQ(hidden, (std::vector<std::string>{"<path", "<g"})) << "the temporary point and the hidden layer";
}

TEST(SvgAttributes, HiddenLayersAreNotDisplayedAndDisplayOnlyOnesAre) {
    DrawingStore store = Scaled(1);
    store.layerStates.assign(16 + 256, 2);
    store.layerStates[16 + 2] = 0;  // 0-2 hidden
    store.layerStates[16 + 3] = 1;  // 0-3 display only
    Add(store, TclpEntSen{OnLayer(0, 2), 0, 0, 1, 0});
    Add(store, TclpEntSen{OnLayer(0, 3), 0, 0, 1, 0});
    const std::string svg = Export(store, ExportFormat::Svg).text;
    std::vector<std::string> hidden;
    for (const std::string &group : Elements(svg, "<g "))
        if (Attribute(group, "display") == "none") hidden.push_back(Attribute(group, "id"));
    EXPECT_EQ(hidden, std::vector<std::string>{"layer-0-2"});
}

// An arc's sweep flag turns the way the arc's own points run, whatever the signs of its sweep and its
// flatness (a negative flatness mirrors the ellipse); SVG's y runs down.
TEST(SvgAttributes, ArcsRunTheWayTheirPointsRun) {
    for (const double flatness : {0.5, -0.5})
        for (const double sweep : {1.0, -1.0}) {
            SCOPED_TRACE("flatness " + std::to_string(flatness) + ", sweep " + std::to_string(sweep));
            DrawingStore store = Scaled(1);
            const TclpEntEnko arc{Pen(2), 3, 4, 2, 0.2, sweep, 0.3, flatness, 0};
            Add(store, arc);
            const std::vector<std::string> paths = PathsOf(Export(store, ExportFormat::Svg).text);
            ASSERT_EQ(paths.size(), 1u);
            // M x y A rx ry rotation large sweep x y
            const std::vector<double> d = NumbersIn(paths[0]);
            ASSERT_EQ(d.size(), 9u) << paths[0];
            const EllipseShape e{3, 4, 2, flatness, 0.3};
            const PlanePoint from = Svg(PointOn(e, 0.2)), middle = Svg(PointOn(e, 0.2 + sweep / 2)),
                             to = Svg(PointOn(e, 0.2 + sweep));
            EXPECT_NEAR(d[0], from.x, 1e-9);
            EXPECT_NEAR(d[1], from.y, 1e-9);
            EXPECT_NEAR(d[7], to.x, 1e-9);
            EXPECT_NEAR(d[8], to.y, 1e-9);
            // Turning towards +y (clockwise on the screen) is SVG's positive direction, its sweep flag 1.
            const double turn = (middle.x - from.x) * (to.y - middle.y) - (middle.y - from.y) * (to.x - middle.x);
            EXPECT_EQ(d[6], turn > 0 ? 1 : 0);
            EXPECT_EQ(d[5], 0) << "an arc of one radian is the small one";
        }
}

// The outer arc, then back along the inner one to where the band began: a ring's piece, not a bow tie.
TEST(SvgAttributes, APartialBandReturnsAlongItsInnerEdgeToItsStart) {
    DrawingStore store = Scaled(1);
    TclpEntSolid band;
    band.base = Pen(3, 105);
    const ArcSolidShape shape{105, {{10, 20, 5, 0.6, 0.4}, 0.3, 1.2}, 2};
    EncodeArcSolid(shape, band);
    Add(store, band);
    const std::vector<std::string> paths = PathsOf(Export(store, ExportFormat::Svg).text);
    ASSERT_EQ(paths.size(), 1u);
    const std::vector<double> d = NumbersIn(paths[0]);
    ASSERT_GE(d.size(), 4u);
    EllipseShape inner = shape.arc.ellipse;
    inner.radius = 2;
    inner.flatness = ToDouble(BandInnerFlatness(shape));
    const PlanePoint start = Svg(PointOn(inner, 0.3)), end = Svg(PointOn(inner, 1.5));
    EXPECT_NEAR(d[d.size() - 2], start.x, 1e-9) << paths[0];
    EXPECT_NEAR(d[d.size() - 1], start.y, 1e-9) << paths[0];
    // The straight edge from the outer arc's end comes to the inner arc's end.
    const std::size_t line = paths[0].find('L');
    ASSERT_NE(line, std::string::npos);
    const std::vector<double> corner = NumbersIn(paths[0].substr(line, paths[0].find('A', line) - line));
    ASSERT_EQ(corner.size(), 2u);
    EXPECT_NEAR(corner[0], end.x, 1e-9);
    EXPECT_NEAR(corner[1], end.y, 1e-9);
}

// A placement turned a quarter counter-clockwise in the drawing puts the block's +x on the drawing's +y.
TEST(SvgAttributes, APlacementTurnsAndScalesItsBlockAsInTheDrawing) {
    DrawingStore store = Scaled(1);
    TclpEntBlockDef block;
    block.number = 1;
    block.name = "B";
    Add(block, TclpEntSen{Pen(2), 0, 0, 1, 0});
    store.blockDefs.push_back(block);
    Add(store, test::InsertOf(1, 5, 6, 2, 3, pi / 2));
    const std::string svg = Export(store, ExportFormat::Svg).text;
    const std::vector<std::string> uses = Elements(svg, "<use ");
    ASSERT_EQ(uses.size(), 1u);
    const std::string transform = Attribute(uses[0], "transform");
    const std::smatch parts = [&] {
        std::smatch m;
        std::regex_match(transform, m, std::regex(R"(translate\((\S+) (\S+)\) rotate\((\S+)\) scale\((\S+) (\S+)\))"));
        return m;
    }();
    ASSERT_EQ(parts.size(), 6u) << transform;
    const double tx = std::stod(parts[1]), ty = std::stod(parts[2]), turn = std::stod(parts[3]) * pi / 180,
                 sx = std::stod(parts[4]), sy = std::stod(parts[5]);
    // The member's far end (1, 0) in the block's own picture coordinates, placed as SVG places it.
    const std::vector<std::string> paths = PathsOf(svg);
    ASSERT_EQ(paths.size(), 1u);
    const std::vector<double> d = NumbersIn(paths[0]);
    ASSERT_EQ(d.size(), 4u);
    const double x = d[2] * sx, y = d[3] * sy;
    const PlanePoint placed{tx + x * std::cos(turn) - y * std::sin(turn), ty + x * std::sin(turn) + y * std::cos(turn)};
    const PlanePoint expected = Svg({5, 8});  // scaled by 2 along x, then turned onto +y
    EXPECT_NEAR(placed.x, expected.x, 1e-9) << transform;
    EXPECT_NEAR(placed.y, expected.y, 1e-9) << transform;
}

}  // namespace
}  // namespace korvel
