// The DXF and SVG writers on drawings made to hold what real ones seldom do: every kind and every arc-shaped
// solid, blocks that place themselves, coordinates that overflow once scaled, names no DXF may hold.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>
#include <set>
#include <string>
#include <vector>

#include "geom/utf8.h"
#include "reader/block_figures.h"
#include "reader/drawing_rules.h"
#include "reader/drawing_store.h"
#include "script/export.h"
#include "tests/support/dxf_check.h"
#include "tests/support/export_check.h"
#include "tests/support/stream_writer.h"

namespace korvel {
namespace {

using test::EntitiesIn;
using test::Export;
using test::Exported;
using test::Group;
using test::Number;
using test::Scaled;

template <class Entity>
void Add(DrawingStore &store, std::vector<Entity> &list, const Entity &entity, EntityKind kind) {
    store.objects.push_back({static_cast<std::int32_t>(kind), static_cast<std::int32_t>(list.size())});
    list.push_back(entity);
}

TclpEntSolid ArcSolid(std::uint8_t kind, double value, double start = 0.3, double sweep = 1.2) {
    TclpEntSolid solid;
    solid.base.penStyle = kind;
    solid.base.penColor = 3;
    EncodeArcSolid({kind, {{10, 20, 5, 0.6, 0.4}, start, sweep}, value}, solid);
    return solid;
}

// One of everything, arc-shaped solids of every figure and a block placed with a block inside it.
DrawingStore EveryKind() {
    DrawingStore store = Scaled(100);
    Add(store, store.lines, {{}, 1, 2, 3, 4}, EntityKind::Line);
    TclpEntEnko circle{{}, 5, 5, 2, 0, 0, 0, 1, 1};
    Add(store, store.arcs, circle, EntityKind::Arc);
    TclpEntEnko ellipse{{}, 5, 5, 2, 0.5, -2, 0.3, 2.5, 0};
    Add(store, store.arcs, ellipse, EntityKind::Arc);
    TclpEntTen point;
    point.x = 7;
    Add(store, store.points, point, EntityKind::Point);
    TclpEntMoji text;
    text.startX = 0, text.endX = 10, text.sizeX = 2, text.sizeY = 3, text.spacing = 0.5;
    text.text = "a<b&c\"\x01\x90\x7D\x96\xCA";            // with 図面 in Shift-JIS
    text.fontName = "\x82\x6C\x82\x72 \x96\xBE\x92\xA9";  // ＭＳ 明朝
    Add(store, store.texts, text, EntityKind::Text);
    TclpEntSunpo dimension;
    dimension.line = {{}, 0, 0, 10, 0};
    dimension.sxfMode = 1;
    dimension.auxLine1 = {{}, 0, 0, 0, -3};
    dimension.auxLine2 = {{}, 10, 0, 10, -3};
    dimension.label = text;
    Add(store, store.dimensions, dimension, EntityKind::Dimension);
    TclpEntSolid quad{{}, 0, 0, 1, 0, 1, 1, 0, 1, 0};
    Add(store, store.solids, quad, EntityKind::Solid);
    for (const TclpEntSolid &solid : {ArcSolid(101, 100), ArcSolid(101, 0), ArcSolid(101, 5), ArcSolid(101, 3),
                                      ArcSolid(111, 100), ArcSolid(111, 1), ArcSolid(105, 2), ArcSolid(106, 2),
                                      ArcSolid(105, 2, 0, 7), ArcSolid(106, 0), ArcSolid(120, 1)})
        Add(store, store.solids, solid, EntityKind::Solid);

    TclpEntBlockDef inner;
    inner.number = 2;
    inner.name = "inner";
    inner.lines.push_back({{}, 0, 0, 1, 1});
    inner.objects.push_back({1, 0});
    TclpEntBlockDef outer;
    outer.number = 1;
    outer.name = "outer";
    outer.arcs.push_back(circle);
    outer.objects.push_back({2, 0});
    outer.inserts.push_back({{}, 3, 3, 2, -1, 0.5, 2});
    outer.objects.push_back({7, 0});
    store.blockDefs.push_back(inner);
    store.blockDefs.push_back(outer);
    Add(store, store.inserts, TclpEntBlock{{}, 50, 60, 1, 1, std::numbers::pi / 2, 1}, EntityKind::Insert);
    Add(store, store.inserts, TclpEntBlock{{}, 0, 0, 1, 1, 0, 99}, EntityKind::Insert);  // no such block
    return store;
}

// What an export's report adds up to: the top-level entities and each definition's members.
std::uint64_t EntitiesOf(const DrawingStore &store) {
    std::uint64_t n = store.objects.size() + store.leftOnLockedLayers;
    for (const TclpEntBlockDef &definition : store.blockDefs)
        n += definition.objects.size();
    return n;
}

TEST(ExportWriters, EveryKindMakesAWellFormedDxfAndAWellFormedSvgAndTheReportAddsUp) {
    const DrawingStore store = EveryKind();
    for (const ExportFormat format : {ExportFormat::Dxf, ExportFormat::Svg}) {
        const Exported out = Export(store, format);
        ASSERT_TRUE(out.done);
        EXPECT_EQ(out.report.Written() + out.report.LeftOut(), EntitiesOf(store));
        EXPECT_EQ(out.report.fromBlocks, 3u);  // a line, a circle and an insert
        EXPECT_EQ(out.report.leftOut[static_cast<std::size_t>(LeftOutReason::MissingBlock)], 1u);
        // The 106 band of no inner radius and the unknown kind 120 are nothing.
        EXPECT_EQ(out.report.leftOut[static_cast<std::size_t>(LeftOutReason::NoFigure)], 2u);
        EXPECT_EQ(out.text.find("nan"), std::string::npos);
        EXPECT_EQ(out.text.find("inf"), std::string::npos);
        if (format == ExportFormat::Dxf) {
            EXPECT_EQ(test::DxfProblem(out.text), std::nullopt);
            std::map<std::string, int> kinds;
            for (const auto &[type, group] : EntitiesIn(out.text, "ENTITIES"))
                kinds[type]++;
            // Dimension: its line, two extension lines and its value; outlines as their curves.
            EXPECT_EQ(kinds["LINE"], 4);
            EXPECT_EQ(kinds["TEXT"], 2);
            EXPECT_EQ(kinds["CIRCLE"], 1);
            EXPECT_EQ(kinds["ELLIPSE"], 3);
            EXPECT_EQ(kinds["SOLID"], 1);
            EXPECT_EQ(kinds["HATCH"], 7);
            EXPECT_EQ(kinds["INSERT"], 1);
            EXPECT_NE(out.text.find("a<b&c\" 図面"), std::string::npos);
            EXPECT_NE(out.text.find("ＭＳ 明朝"), std::string::npos);
        } else {
            std::size_t opened = 0, closed = 0;
            for (std::size_t p = 0; (p = out.text.find("<g", p)) != std::string::npos; p++)
                opened++;
            for (std::size_t p = 0; (p = out.text.find("</g>", p)) != std::string::npos; p++)
                closed++;
            EXPECT_EQ(opened, closed);
            // One element per character, each escaped.
            for (const char *character : {">a<", ">&lt;<", ">&amp;<", ">&quot;<", ">図<", ">面<"})
                EXPECT_NE(out.text.find(std::string("\">") + (character + 1)), std::string::npos) << character;
            EXPECT_NE(out.text.find("<use href=\"#block-1\""), std::string::npos);
        }
    }
}

TEST(ExportWriters, BlocksThatWouldPlaceThemselvesAreLeftOutAndCounted) {
    DrawingStore store = Scaled(1);
    // 1 places 2, 2 places 1 and 3, 3 places itself; 4 places 3, which is no cycle of its own.
    const auto definition = [&](std::int32_t number, std::vector<std::int32_t> placed) {
        TclpEntBlockDef d;
        d.number = number;
        d.name = "B" + std::to_string(number);
        for (const std::int32_t p : placed) {
            d.objects.push_back({7, static_cast<std::int32_t>(d.inserts.size())});
            d.inserts.push_back({{}, 0, 0, 1, 1, 0, p});
        }
        store.blockDefs.push_back(d);
    };
    definition(1, {2});
    definition(2, {1, 3});
    definition(3, {3});
    definition(4, {3});
    Add(store, store.inserts, TclpEntBlock{{}, 0, 0, 1, 1, 0, 1}, EntityKind::Insert);
    const Exported out = Export(store, ExportFormat::Dxf);
    EXPECT_EQ(test::DxfProblem(out.text), std::nullopt);
    EXPECT_EQ(out.report.leftOut[static_cast<std::size_t>(LeftOutReason::SelfReferring)], 3u);
    // What stays: 2 places 3, 4 places 3, and the drawing places 1.
    std::multiset<std::string> placed;
    for (const auto &[type, group] : EntitiesIn(out.text, "BLOCKS"))
        if (type == "INSERT") placed.insert(group.at(2).at(0));
    EXPECT_EQ(placed, (std::multiset<std::string>{"B3", "B3"}));
}

// A chain of blocks each placing the next is written as deep as conversion and the view place blocks; the
// inserts past that are left out and counted, so that a reader can open the file.
TEST(ExportWriters, ChainsOfBlocksStopWhereConversionStops) {
    DrawingStore store = Scaled(1);
    const std::int32_t depth = 200;
    for (std::int32_t number = 1; number <= depth; number++) {
        TclpEntBlockDef d;
        d.number = number;
        d.name = "B" + std::to_string(number);
        if (number < depth) test::Add(d, TclpEntBlock{{}, 1, 0, 1, 1, 0, number + 1});
        else test::Add(d, TclpEntSen{{}, 0, 0, 1, 1});
        store.blockDefs.push_back(d);
    }
    Add(store, store.inserts, TclpEntBlock{{}, 0, 0, 1, 1, 0, 1}, EntityKind::Insert);
    const Exported out = Export(store, ExportFormat::Dxf);
    EXPECT_EQ(test::DxfProblem(out.text), std::nullopt);
    // Cut below the 64th, 128th and 192nd: each definition past a cut starts a chain of its own.
    EXPECT_EQ(out.report.leftOut[static_cast<std::size_t>(LeftOutReason::OverBudget)], 3u);
    // Each definition's own inserts, followed down from the one the drawing places: at most the depth allowed.
    std::map<std::string, std::string> places;
    std::string block;
    for (const auto &[type, group] : EntitiesIn(out.text, "BLOCKS")) {
        if (type == "BLOCK") block = group.at(2).at(0);
        if (type == "INSERT") places[block] = group.at(2).at(0);
    }
    std::size_t levels = 1;
    for (std::string at = "B1"; places.contains(at); at = places[at])
        levels++;
    EXPECT_EQ(levels, kMaxBlockNesting);
}

TEST(ExportWriters, FiguresThatOverflowOnceMovedAreLeftOutNotWrittenAsNoNumbers) {
    DrawingStore store = Scaled(1);
    store.originX = -1e308;  // x - originX is beyond the doubles for x = 1e308
    Add(store, store.lines, {{}, 1e308, 0, 0, 0}, EntityKind::Line);
    Add(store, store.lines, {{}, 1, 0, 2, 0}, EntityKind::Line);
    TclpEntMoji text;
    text.startX = 1e308, text.endX = 1.5e308, text.sizeX = text.sizeY = 1, text.text = "x";
    Add(store, store.texts, text, EntityKind::Text);
    for (const ExportFormat format : {ExportFormat::Dxf, ExportFormat::Svg}) {
        const Exported out = Export(store, format);
        EXPECT_EQ(out.report.written[static_cast<std::size_t>(WrittenKind::Line)], 1u);
        EXPECT_EQ(out.report.leftOut[static_cast<std::size_t>(LeftOutReason::NoFigure)], 2u);
        EXPECT_EQ(out.text.find("inf"), std::string::npos);
        if (format == ExportFormat::Dxf) {
            EXPECT_EQ(test::DxfProblem(out.text), std::nullopt);
        }
    }
}

// A dimension with a coordinate that is no number is left out whole: none of its lines, and no group naming
// figures the file does not hold.
TEST(ExportWriters, ADimensionIsWrittenWholeOrNotAtAll) {
    DrawingStore store = Scaled(1);
    TclpEntSunpo dimension;
    dimension.line = {{}, 0, 0, 10, 0};
    dimension.sxfMode = 1;
    dimension.auxLine1 = {{}, 0, 0, 0, -3};
    dimension.auxLine2 = {{}, 10, 0, 10, std::nan("")};
    dimension.label.startX = 0, dimension.label.endX = 10, dimension.label.sizeX = dimension.label.sizeY = 2;
    dimension.label.text = "10";
    Add(store, store.dimensions, dimension, EntityKind::Dimension);
    dimension.auxLine2.endY = -3;
    Add(store, store.dimensions, dimension, EntityKind::Dimension);
    const Exported out = Export(store, ExportFormat::Dxf);
    EXPECT_EQ(test::DxfProblem(out.text), std::nullopt);
    EXPECT_EQ(out.report.leftOut[static_cast<std::size_t>(LeftOutReason::NoFigure)], 1u);
    EXPECT_EQ(out.report.written[static_cast<std::size_t>(WrittenKind::Dimension)], 1u);
    std::set<std::string> handles;
    std::size_t lines = 0;
    for (const auto &[type, group] : EntitiesIn(out.text, "ENTITIES")) {
        handles.insert(group.at(5).at(0));
        lines += type == "LINE";
    }
    EXPECT_EQ(lines, 3u);
    std::size_t groups = 0;
    for (const auto &[type, group] : EntitiesIn(out.text, "OBJECTS"))
        if (type == "GROUP") {
            groups++;
            for (const std::string &member : group.at(340))
                EXPECT_TRUE(handles.contains(member)) << "the group names " << member << ", which no entity has";
        }
    EXPECT_EQ(groups, 1u);
}

TEST(ExportWriters, LayersAndBlocksAreNamedAsJwCadNamesThemAndNoNameIsTakenTwice) {
    DrawingStore store = Scaled(1);
    store.layerNames.assign(256 + 16, "");
    store.layerNames[1] = "\x90\x7D\x96\xCA ";  // 図面, trailing blank
    store.layerNames[0xFA] = "a/b:c";
    store.layerStates.assign(16 + 256, 2);
    store.layerStates[16 + 2] = 0;  // 0-2 hidden
    store.layerStates[16 + 3] = 1;  // 0-3 display only
    store.layerStates[5] = 0;       // group 5 hidden: all its layers off
    for (const char *name : {"door", "DOOR", "", "*U1"}) {
        TclpEntBlockDef d;
        d.number = static_cast<std::int32_t>(store.blockDefs.size()) + 7;
        d.name = name;
        store.blockDefs.push_back(d);
    }
    const Exported out = Export(store, ExportFormat::Dxf);
    ASSERT_EQ(test::DxfProblem(out.text), std::nullopt);
    std::map<std::string, Group> layers;
    std::set<std::string> blocks;
    for (const auto &[type, group] : EntitiesIn(out.text, "TABLES")) {
        if (type == "LAYER") layers[group.at(2).at(0)] = group;
        if (type == "BLOCK_RECORD") blocks.insert(group.at(2).at(0));
    }
    EXPECT_EQ(layers.size(), 257u);
    ASSERT_TRUE(layers.contains("0-1 図面"));
    ASSERT_TRUE(layers.contains("F-A a_b_c"));
    EXPECT_EQ(Number(layers["0-2"], 62), -7);
    EXPECT_EQ(layers["0-3"].at(70).back(), "4");
    EXPECT_EQ(Number(layers["0-3"], 62), 7);
    EXPECT_EQ(Number(layers["5-9"], 62), -7);
    EXPECT_EQ(blocks, (std::set<std::string>{"*Model_Space", "*Paper_Space", "door", "DOOR_1", "BLOCK_9", "_U1"}));
}

// DXF readers compare block names regardless of case beyond ASCII too; a chain of names that each take the
// next one's renamed form is named once per definition, whatever number of inserts place them.
TEST(ExportWriters, BlockNamesDifferAsReadersCompareThemAndChainsAreNamedOnce) {
    DrawingStore store = Scaled(1);
    std::vector<std::string> names = {"\x82\x60", "\x82\x81", "\x83\x9F", "\x83\xBF", "\x84\x47", "\x84\x77"};
    names.push_back("A");
    for (std::string chained = "A"; chained.size() < 40; chained += "_7")  // A, A_7, A_7_7, ...
        names.push_back(chained);
    for (std::size_t i = 0; i < names.size(); i++) {
        TclpEntBlockDef d;
        d.number = static_cast<std::int32_t>(i) + 1;
        d.name = names[i];  // Ａ ａ Α α Ж ж, then a chain
        test::Add(d, TclpEntSen{{}, 0, 0, 1, 1});
        store.blockDefs.push_back(d);
    }
    for (int i = 0; i < 1000; i++)
        Add(store, store.inserts, TclpEntBlock{{}, 0, 0, 1, 1, 0, 7}, EntityKind::Insert);
    const Exported out = Export(store, ExportFormat::Dxf);
    std::set<std::string> folded;
    std::size_t records = 0;
    for (const auto &[type, group] : EntitiesIn(out.text, "TABLES"))
        if (type == "BLOCK_RECORD") {
            records++;
            folded.insert(CaseFolded(group.at(2).at(0)));
        }
    EXPECT_EQ(records, names.size() + 2);
    EXPECT_EQ(folded.size(), records) << "two blocks a reader takes for one";
}

TEST(ExportWriters, ArcsKeepTheirTiltAndDirectionAndEllipsesTheirLongerAxis) {
    DrawingStore store = Scaled(10);
    store.originX = 1;
    // A circular arc from 0.5 back to 0.2, tilted by 0.25: counter-clockwise from 0.45 to 0.75.
    Add(store, store.arcs, TclpEntEnko{{}, 3, 4, 2, 0.5, -0.3, 0.25, 1, 0}, EntityKind::Arc);
    // Flatness 2: the longer axis is the second, a quarter turn from the tilt.
    Add(store, store.arcs, TclpEntEnko{{}, 0, 0, 1, 0, 1, 0.1, 2, 0}, EntityKind::Arc);
    const Exported out = Export(store, ExportFormat::Dxf);
    const auto entities = EntitiesIn(out.text, "ENTITIES");
    ASSERT_EQ(entities.size(), 2u);
    const Group &arc = entities[0].second;
    EXPECT_EQ(entities[0].first, "ARC");
    EXPECT_DOUBLE_EQ(Number(arc, 10), 20);
    EXPECT_DOUBLE_EQ(Number(arc, 40), 20);
    EXPECT_NEAR(Number(arc, 50), 0.45 * 180 / std::numbers::pi, 1e-12);
    EXPECT_NEAR(Number(arc, 51), 0.75 * 180 / std::numbers::pi, 1e-12);
    const Group &ellipse = entities[1].second;
    EXPECT_EQ(entities[1].first, "ELLIPSE");
    EXPECT_DOUBLE_EQ(Number(ellipse, 40), 0.5);
    EXPECT_NEAR(Number(ellipse, 11), -20 * std::sin(0.1), 1e-12);
    EXPECT_NEAR(Number(ellipse, 21), 20 * std::cos(0.1), 1e-12);
    // Parameters a quarter turn back, so that the ends stay where they were.
    EXPECT_NEAR(Number(ellipse, 41), -std::numbers::pi / 2, 1e-12);
    EXPECT_NEAR(Number(ellipse, 42), 1 - std::numbers::pi / 2, 1e-12);
}

TEST(ExportWriters, StopsWhenItsProgressSaysSo) {
    DrawingStore store = Scaled(1);
    for (double y = 0; y < 20000; y++)
        Add(store, store.lines, {{}, 0, 0, 1, y}, EntityKind::Line);
    std::uint64_t calls = 0;
    ExportOptions options;
    options.progress = [&](std::uint64_t done, std::uint64_t total) {
        EXPECT_LE(done, total);
        return ++calls < 2;
    };
    EXPECT_FALSE(Export(store, ExportFormat::Dxf, options).done);
    EXPECT_EQ(calls, 2u);

    // Block definitions are work too: a drawing of nothing but many of them stops as soon.
    DrawingStore definitions = Scaled(1);
    for (std::int32_t number = 0; number < 20000; number++) {
        TclpEntBlockDef d;
        d.number = number;
        definitions.blockDefs.push_back(d);
    }
    for (const ExportFormat format : {ExportFormat::Dxf, ExportFormat::Svg}) {
        calls = 0;
        EXPECT_FALSE(Export(definitions, format, options).done);
        EXPECT_EQ(calls, 2u);
    }
}

}  // namespace
}  // namespace korvel
