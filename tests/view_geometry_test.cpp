// What the view's culling rests on: every entity's box holds all the preview draws of it, a placed box holds
// the placed corners, the grid finds every entity whose box meets a window, and a clipped polygon fills the
// window as the polygon does.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "geom/clip.h"
#include "preview/draw_filter.h"
#include "preview/entity_grid.h"
#include "preview/preview.h"
#include "preview/recording_canvas.h"
#include "reader/entity_box.h"
#include "reader/extents.h"
#include "tests/support/fixed_random.h"
#include "tests/support/stream_writer.h"

namespace korvel {
namespace {

constexpr double pi = std::numbers::pi;

// The preview of one entity through a 400 x 400 window on (-100, -100) to (100, 100): every pixel it draws,
// as drawing points, must lie in the entity's box grown by a pixel and a half.
template <class Entity>
void ExpectDrawnInsideBox(const Entity &entity) {
    DrawingStore store;
    test::Add(store, entity);
    PreviewView v;
    v.minX = v.minY = -100, v.maxX = v.maxY = 100, v.scale = 2, v.width = v.height = 400;
    const WorldBox box = BoxOf(entity);
    const double slack = 1.5 / v.scale;
    std::size_t drawn = 0;
    RecordingCanvas canvas([&](const DrawOp &op) {
        if (op.pen.color == Rgb{255, 0, 0} && op.pen.width == 2) return;  // the reference point's marker
        if (op.kind == DrawOp::Kind::Text) {
            drawn++;
            // A character's cell corner lies within the box; its cell, a few of the text's heights, too.
            const double x = v.minX + op.points[0].x / v.scale, y = v.minY + (v.height - op.points[0].y) / v.scale;
            EXPECT_TRUE(x >= box.minX - slack && x <= box.maxX + slack && y >= box.minY - slack &&
                        y <= box.maxY + slack)
                << x << "," << y;
            return;
        }
        for (const PixelPoint &p : op.points) {
            drawn++;
            const double x = v.minX + p.x / v.scale, y = v.minY + (v.height - p.y) / v.scale;
            EXPECT_TRUE(x >= box.minX - slack && x <= box.maxX + slack && y >= box.minY - slack &&
                        y <= box.maxY + slack)
                << x << "," << y << " outside " << box.minX << ".." << box.maxX << ", " << box.minY << ".." << box.maxY;
        }
    });
    PreviewSurface onto(canvas);
    onto.view = v;
    DrawPreview(onto, store, 1);
    EXPECT_GT(drawn, 0u);
}

TEST(EntityBox, HoldsEverythingThePreviewDrawsOfEachKind) {
    ExpectDrawnInsideBox(TclpEntSen{{}, -30, 10, 40, -20});
    ExpectDrawnInsideBox(TclpEntEnko{{}, 10, -5, 30, 0.3, 0.5, 2, 0.4, 0});         // an elliptic arc
    ExpectDrawnInsideBox(TclpEntEnko{{}, -20, 20, 25, 1.1, 0, 0, 2.5, 1});          // a whole ellipse, flatter than 1
    ExpectDrawnInsideBox(TclpEntTen{{0, 100, 2}, 5, 5, 0, 5, 0.7, 4});              // a symbol point, scaled
    ExpectDrawnInsideBox(TclpEntSolid{{}, -40, -40, 10, -35, 20, 30, -30, 20, 0});  // a quadrilateral
    TclpEntSolid band{{}, 0, 0, 40, 1, 0.3, 0.2, 2.5, 15};
    band.base.penStyle = 105;
    ExpectDrawnInsideBox(band);
    // An arrowhead ten times its size reaches 75 units; a band whose inner radius exceeds the outer one
    // reaches past the outer edge.
    ExpectDrawnInsideBox(TclpEntTen{{0, 100, 2}, 0, 0, 0, 11, 2.5, 10});
    TclpEntSolid wideBand{{}, 0, 0, 20, 1, 0.3, 0.2, 2.5, 55};
    wideBand.base.penStyle = 105;
    ExpectDrawnInsideBox(wideBand);
    TclpEntSolid sector{{}, 0, 0, 35, 0.6, -0.4, 1, 2, 0};
    sector.base.penStyle = 101;
    ExpectDrawnInsideBox(sector);
    for (const double angle : {0.0, 0.7, pi, -2.2}) {
        SCOPED_TRACE(angle);
        const double c = std::cos(angle) * 60, s = std::sin(angle) * 60;
        ExpectDrawnInsideBox(TclpEntMoji{{}, -c / 2, -s / 2, c / 2, s / 2, 0, 6, 6, 0.5, 0, "", "ABCD\x82\xa0xy"});
        // Hanging, mirrored, squeezed: the baseline's ends still bound it.
        ExpectDrawnInsideBox(TclpEntMoji{{}, -c / 2, -s / 2, c / 2, s / 2, 0, -8, -7, 1, 0, "", "W\x8a\xbf"});
    }
    TclpEntSunpo d;
    d.line = {{}, -50, -60, 50, -60};
    d.label = {{}, 70, 80, 90, 80, 0, 5, 5, 0, 0, "", "100"};  // the value written far from the line
    d.sxfMode = 1;
    d.auxLine1 = {{}, -50, -50, -50, -65};
    d.auxLine2 = {{}, 50, -50, 50, -65};
    d.point2 = {{0, 100, 1}, 50, -60, 0, 3, 0.3, 2};
    ExpectDrawnInsideBox(d);
}

TEST(PlacedBox, HoldsTheExactlyPlacedCornersOfEveryInsert) {
    test::FixedRandom random(11);
    const WorldBox local = [] {
        WorldBox b;
        b.Add(-3, 2);
        b.Add(17, 9);
        return b;
    }();
    for (int i = 0; i < 2000; i++) {
        const double scaleX = (random() - 0.5) * 8, scaleY = (random() - 0.5) * 8;
        const BlockTransform t{(random() - 0.5) * 1e6,
                               (random() - 0.5) * 1e6,
                               scaleX,
                               scaleY,
                               (random() - 0.5) * 20,
                               i % 5 == 0 ? 1 + random() * 3 : 1.0};
        const BlockPlacement placement(t);
        const WorldBox placed = PlacedBox(local, placement);
        for (const PlanePoint corner : {PlanePoint{-3, 2}, PlanePoint{17, 2}, PlanePoint{-3, 9}, PlanePoint{17, 9}}) {
            const PlanePoint p = placement.Place(corner);
            ASSERT_TRUE(p.x >= placed.minX && p.x <= placed.maxX && p.y >= placed.minY && p.y <= placed.maxY)
                << "insert " << i;
        }
    }
}

TEST(EntityGrid, FindsEveryEntityWhoseBoxMeetsTheWindow) {
    test::FixedRandom random(5);
    DrawingStore store;
    const auto at = [&](double span) { return (random() - 0.5) * span; };
    for (int i = 0; i < 3000; i++) {
        test::Add(store, TclpEntSen{{}, at(1e4), at(1e4), at(1e4) * (i % 50 == 0 ? 3 : 0.01), at(1e4) * 0.01});
        test::Add(store, TclpEntEnko{{}, at(1e4), at(1e4), random() * 300, 0, 0, 0, 1, 1});
        TclpEntSunpo d;
        d.line = {{}, at(1e4), at(1e4), at(1e4), at(1e4)};
        d.label = {{}, at(1e4), at(1e4), at(1e4), at(1e4), 0, 10, 10, 0, 0, "", "1"};
        test::Add(store, d);
    }
    const DrawingExtents extents = ComputeDrawingExtents(store);
    const PlacedInserts inserts(store);
    const EntityGrid grid(store, extents, inserts, {});
    for (int w = 0; w < 200; w++) {
        WorldBox window;
        const double size = w % 4 == 0 ? 3e4 : random() * 2000;  // some windows reach past the drawing
        window.Add(at(1.2e4), at(1.2e4));
        window.Add(window.minX + size, window.minY + size * random());
        const std::optional<EntitySelection> selection = grid.Select(window);
        if (!selection) continue;  // most of the drawing: every entity is tested anyway
        const auto expectFound = [&](const auto &entities, const std::vector<std::uint32_t> &found) {
            DrawFilter filter;
            filter.window = window;
            for (std::uint32_t i = 0; i < entities.size(); i++) {
                if (!filter.Shows(entities[i])) continue;
                ASSERT_TRUE(std::binary_search(found.begin(), found.end(), i)) << "window " << w << ", entity " << i;
            }
        };
        expectFound(store.lines, selection->lines);
        expectFound(store.arcs, selection->arcs);
        expectFound(store.dimensions, selection->dimensions);
    }
}

// Long diagonals are filed only in the cells they pass through, and still found by every window they reach
// into; an insert is filed where it is placed, not where its definition's members lie.
TEST(EntityGrid, FindsDiagonalsByTheCellsTheyCrossAndInsertsWhereTheyArePlaced) {
    test::FixedRandom random(9);
    DrawingStore store;
    const auto at = [&](double span) { return (random() - 0.5) * span; };
    for (int i = 0; i < 4000; i++) {
        const double x = at(1e4), y = at(1e4), length = 300 + random() * 800, angle = random() * 2 * pi;
        test::Add(store, TclpEntSen{{}, x, y, x + length * std::cos(angle), y + length * std::sin(angle)});
    }
    TclpEntBlockDef square;
    square.number = 4;
    test::Add(square, TclpEntSen{{}, 0, 0, 10, 10});
    store.blockDefs.push_back(square);
    for (int i = 0; i < 300; i++)
        test::Add(store, TclpEntBlock{{}, at(1e4), at(1e4), 1 + random() * 3, 1 + random() * 3, random() * 6, 4});
    const DrawingExtents extents = ComputeDrawingExtents(store);
    const PlacedInserts inserts(store);
    const DefinitionBoxes boxes = BoxesOfPlacedDefinitions(store);
    const EntityGrid grid(store, extents, inserts, boxes);
    std::size_t tested = 0, insertsFound = 0;
    for (int w = 0; w < 300; w++) {
        WorldBox window;
        window.Add(at(1.1e4), at(1.1e4));
        const double size = 5 + random() * 600;
        window.Add(window.minX + size, window.minY + size * (0.2 + random()));
        const std::optional<EntitySelection> selection = grid.Select(window);
        ASSERT_TRUE(selection);
        DrawFilter filter;
        filter.window = window;
        filter.definitionBoxes = &boxes;
        for (std::uint32_t i = 0; i < store.lines.size(); i++) {
            if (!filter.Shows(store.lines[i])) continue;
            tested++;
            ASSERT_TRUE(std::binary_search(selection->lines.begin(), selection->lines.end(), i))
                << "window " << w << ", line " << i;
        }
        for (std::uint32_t i = 0; i < store.inserts.size(); i++) {
            const TclpEntBlock &insert = store.inserts[i];
            if (!PlacedBox(boxes.at(&store.blockDefs[0]), BlockPlacement(BlockTransformOf(insert))).Meets(window))
                continue;
            insertsFound++;
            ASSERT_TRUE(std::binary_search(selection->inserts.begin(), selection->inserts.end(), i))
                << "window " << w << ", insert " << i;
        }
    }
    EXPECT_GT(tested, 300u);
    EXPECT_GT(insertsFound, 10u);
}

// Whether a point lies inside a polygon, odd-even.
bool Inside(const std::vector<PlanePoint> &polygon, PlanePoint p) {
    bool inside = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const PlanePoint a = polygon[i], b = polygon[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) inside = !inside;
    }
    return inside;
}

TEST(ClipPolygon, FillsTheWindowAsThePolygonDoes) {
    test::FixedRandom random(3);
    const double minX = -10, minY = -5, maxX = 10, maxY = 5;
    std::vector<PlanePoint> clipped, scratch;
    for (int shape = 0; shape < 300; shape++) {
        std::vector<PlanePoint> polygon;
        const int corners = 3 + shape % 9;  // convex or not, crossing itself or not
        for (int i = 0; i < corners; i++)
            polygon.push_back({(random() - 0.5) * 60, (random() - 0.5) * 30});
        ClipPolygon(polygon, minX, minY, maxX, maxY, clipped, scratch);
        for (int s = 0; s < 400; s++) {
            const PlanePoint p{minX + random() * (maxX - minX), minY + random() * (maxY - minY)};
            ASSERT_EQ(!clipped.empty() && Inside(clipped, p), Inside(polygon, p)) << "shape " << shape;
        }
    }
}

}  // namespace
}  // namespace korvel
