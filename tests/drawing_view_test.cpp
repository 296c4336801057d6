// The drawing view: drawn as the preview draws at any zoom, leaving out only what cannot show, its layer
// switches in the image and in the script, its frames the same as drawing afresh, and its measures.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "platform/raster_canvas.h"
#include "platform/view_surface.h"
#include "preview/drawing_view.h"
#include "preview/preview.h"
#include "preview/recording_canvas.h"
#include "script/convert.h"
#include "shell/view_texts.h"
#include "tests/support/stream_writer.h"

namespace korvel {
namespace {

bool Inked(const RasterCanvas &c, int x, int y) { return !(c.PixelAt(x, y) == Rgb{255, 255, 255}); }

// How many inked pixels of `a` have no inked pixel of `b` within one pixel.
int Unmatched(const RasterCanvas &a, const RasterCanvas &b, int width, int height) {
    int unmatched = 0;
    for (int y = 1; y + 1 < height; y++)
        for (int x = 1; x + 1 < width; x++) {
            if (!Inked(a, x, y)) continue;
            bool nearby = false;
            for (int dy = -1; dy <= 1 && !nearby; dy++)
                for (int dx = -1; dx <= 1 && !nearby; dx++)
                    nearby = Inked(b, x + dx, y + dy);
            unmatched += !nearby;
        }
    return unmatched;
}

TEST(DrawingView, DrawsWhatThePreviewDrawsForTheSameWindowAtEveryZoom) {
    const DrawingStore store = test::SampleDrawing();
    const DrawingView view(store);
    const ViewCamera fitted = view.Fit(kPreviewWidth, kPreviewHeight);
    struct Case {
        const char *name;
        ViewCamera camera;
    } cases[] = {{"the preview's own", fitted},
                 {"zoomed in on a corner", view.Zoom(fitted, 40, 90, 3)},
                 {"zoomed out", view.Zoom(fitted, 90, 60, 0.5)},
                 {"moved", DrawingView::Pan(view.Zoom(fitted, 120, 30, 2), -37, 12)}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::unique_ptr<RasterCanvas> preview = CreateRasterCanvas(kPreviewWidth, kPreviewHeight);
        PreviewSurface surface(*preview);
        surface.view = ViewOf(c.camera);
        DrawPreview(surface, store);
        const std::unique_ptr<RasterCanvas> drawn = CreateRasterCanvas(kPreviewWidth, kPreviewHeight);
        view.Draw(*drawn, c.camera, {});
        // The view's finer curves stray from the preview's 72-sided ones by less than a pixel; only the dashes
        // of the 5-pixel reference-point circle fall elsewhere along a circle of other sides.
        EXPECT_LE(Unmatched(*preview, *drawn, kPreviewWidth, kPreviewHeight), 6);
        EXPECT_LE(Unmatched(*drawn, *preview, kPreviewWidth, kPreviewHeight), 6);
    }
}

// Operations drawn beyond the background.
std::size_t DrawnOperations(const DrawingStore &store, const ViewCamera &camera, const HiddenLayers &hidden = {}) {
    std::size_t drawn = 0;
    RecordingCanvas canvas([&](const DrawOp &) { drawn++; });
    DrawingView(store).Draw(canvas, camera, hidden);
    return drawn - 1;
}

TEST(DrawingView, LeavesOutOnlyWhatLiesWhollyOutsideTheWindow) {
    // The camera looks at (0, 0) to (100, 100); the reference point lies far away.
    ViewCamera camera{50, 50, 2, 200, 200};
    const auto alone = [](auto entity) {
        DrawingStore store;
        store.originX = store.originY = 1e6;
        test::Add(store, entity);
        test::Add(store, TclpEntSen{{}, 1e6 + 1, 1e6, 1e6 + 2, 1e6});  // keeps the extents around the origin
        return store;
    };
    TclpEntBlockDef square;
    square.number = 7;
    test::Add(square, TclpEntSen{{}, 0, 0, 10, 0});
    const auto withBlock = [&](TclpEntBlock insert) {
        DrawingStore store = alone(insert);
        store.blockDefs.push_back(square);
        return store;
    };
    struct Case {
        const char *name;
        DrawingStore store;
        bool draws;
    } cases[] = {
        {"a line beside it", alone(TclpEntSen{{}, 200, 0, 300, 0}), false},
        {"a line above it", alone(TclpEntSen{{}, 0, 200, 100, 300}), false},
        {"a line across the window, both ends outside", alone(TclpEntSen{{}, -50, 50, 150, 50}), true},
        {"a circle around the window", alone(TclpEntEnko{{}, 50, 50, 500, 0, 0, 0, 1, 1}), true},
        {"a circle outside", alone(TclpEntEnko{{}, 500, 50, 100, 0, 0, 0, 1, 1}), false},
        {"a text whose baseline starts outside", alone(TclpEntMoji{{}, -60, 50, 40, 50, 0, 20, 20, 0, 0, "", "ABCDE"}),
         true},
        {"an insert placed into the window", withBlock(TclpEntBlock{{}, 95, 50, 1, 1, 0, 7}), true},
        {"an insert placed beside it", withBlock(TclpEntBlock{{}, 150, 50, 1, 1, 0, 7}), false},
        {"an insert turned into it", withBlock(TclpEntBlock{{}, 105, 50, 1, 1, 3.14159, 7}), true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DrawnOperations(c.store, camera) > 0, c.draws);
    }
}

TEST(DrawingView, AHiddenLayerIsNeitherDrawnNorConverted) {
    DrawingStore store = test::SampleDrawing();
    TclpEntBlockDef block;
    block.number = 3;
    test::Add(block, TclpEntSen{{}, 0, 0, 100, 100});
    store.blockDefs.push_back(block);
    TclpEntBlock insert{{}, 500, 500, 1, 1, 0, 3};
    insert.base.layerGroup = 2, insert.base.layer = 5;
    test::Add(store, insert);
    TclpEntSen line{{}, 10, 10, 20, 20};
    line.base.layerGroup = 2, line.base.layer = 5;
    test::Add(store, line);

    HiddenLayers hidden;
    hidden.set(2 * 16 + 5);
    // Only what lies on group 2, layer 5: the rest hidden.
    HiddenLayers allButIt = ~hidden;
    const DrawingView view(store);
    const ViewCamera camera = view.Fit(400, 300);
    EXPECT_EQ(DrawnOperations(store, camera, allButIt) - DrawnOperations(DrawingStore{}, camera), 2u)
        << "the line and the block's member";
    EXPECT_EQ(DrawnOperations(store, camera, hidden) + 2, DrawnOperations(store, camera));

    ConvertOptions options;
    options.blocks = true;
    const auto convert = [&](const ConvertOptions &o) {
        ConversionReport report;
        StringScriptSink out;
        ConvertDrawing(store, o, PenColorTable{}, out, &report);
        return report;
    };
    const ConversionReport all = convert(options);
    options.hiddenLayers = hidden;
    const ConversionReport shown = convert(options);
    EXPECT_EQ(all.Written() - shown.Written(), 2u);
    EXPECT_EQ(shown.leftOut[static_cast<std::size_t>(LeftOutReason::HiddenLayer)], 2u);
    options.hiddenLayers = allButIt;
    EXPECT_EQ(convert(options).Written(), 2u);
}

// A view's frames as the window shows them, beside the same view drawn afresh at each camera.
struct FramesAndAfresh {
    explicit FramesAndAfresh(const DrawingView &view) : view(view) {
        frames.SetDrawing(&view);
        camera = view.Zoom(view.Fit(320, 240), 150, 100, 2.5);
        frames.Show(camera, {});
    }
    // Pixels of the frame shown that drawing the camera afresh gives otherwise.
    int Differing() {
        ViewFrames afresh(*fresh);
        afresh.SetDrawing(&view);
        afresh.Show(camera, {});
        int differing = 0;
        for (int y = 0; y < 240; y++)
            for (int x = 0; x < 320; x++)
                differing += !(shown->PixelAt(x, y) == fresh->PixelAt(x, y));
        return differing;
    }

    const DrawingView &view;
    const std::unique_ptr<ImageViewSurface> shown = CreateViewSurface(), fresh = CreateViewSurface();
    ViewFrames frames{*shown};
    ViewCamera camera;
};

// A zoom shows the last image scaled until the view settles, then what drawing afresh gives.
TEST(ViewFrames, AZoomIsExactOnceTheViewSettles) {
    const DrawingStore store = test::SampleDrawing();
    const DrawingView view(store);
    FramesAndAfresh f(view);
    f.camera = view.Zoom(f.camera, 160, 120, 1.25);
    f.frames.Show(f.camera, {});
    EXPECT_FALSE(f.frames.Exact());
    f.frames.Settle();
    EXPECT_EQ(f.Differing(), 0);
}

// Lines along the axes (some on the last image's edges), a fill, circles and texts that cross the edges of
// the strips a move draws.
DrawingStore Grid() {
    DrawingStore store;
    store.originX = store.originY = -500;
    for (int i = 0; i <= 20; i++) {
        test::Add(store, TclpEntSen{{0, 1, 2}, i * 10.0, -100, i * 10.0, 300});
        test::Add(store, TclpEntSen{{0, 1, 3}, -100, i * 10.0, 300, i * 10.0});
    }
    for (int i = 0; i < 6; i++) {
        test::Add(store, TclpEntEnko{{0, 1, 4}, 60.0 + i * 17, 90.0 + i * 3, 4.0 + i, 0, 0, 0, 1, 1});
        test::Add(store, TclpEntMoji{{0, 1, 2},
                                     40.0 + i * 21,
                                     40.0 + i * 23,
                                     70.0 + i * 21,
                                     40.0 + i * 23,
                                     0,
                                     6,
                                     6,
                                     0,
                                     0,
                                     "",
                                     "\x8c\x9a\x95\xa8"
                                     "AB"});
    }
    test::Add(store, TclpEntSolid{{0, 1, 6}, 30, 30, 70, 30, 70, 80, 30, 80, 0});
    return store;
}

// Every moved frame is, pixel for pixel, what drawing its camera afresh gives: texts and dotted lines
// crossing a strip's edge included; drags on either axis and both, each way.
TEST(ViewFrames, EveryMovedFrameIsPixelForPixelWhatDrawingAfreshGives) {
    for (const DrawingStore &store : {test::SampleDrawing(), Grid()}) {
        const DrawingView view(store);
        FramesAndAfresh f(view);
        for (const auto &[dx, dy] : {std::pair{0, 19}, std::pair{0, -27}, std::pair{23, 0}, std::pair{-31, 0},
                                     std::pair{11, 13}, std::pair{-7, 17}, std::pair{9, -21}, std::pair{-15, -5}}) {
            SCOPED_TRACE(testing::Message() << store.lines.size() << " lines, moved " << dx << ", " << dy);
            f.camera = DrawingView::Pan(f.camera, dx, dy);
            f.frames.Show(f.camera, {});
            ASSERT_TRUE(f.frames.Exact());
            EXPECT_EQ(f.Differing(), 0);
        }
    }
}

// Scaled, the last image shows the drawing where drawing it afresh puts it.
TEST(ViewFrames, AZoomScalesTheLastImageAboutTheCursor) {
    DrawingStore store;
    for (const auto &[x, y] : {std::pair{0.0, 0.0}, std::pair{50.0, 20.0}, std::pair{-30.0, 35.0}})
        test::Add(store, TclpEntSolid{{0, 1, 6}, x, y, x + 10, y, x + 10, y + 10, x, y + 10, 0});
    store.originX = store.originY = 5;  // the marker, drawn at one size, in the middle of a square
    const DrawingView view(store);
    const std::unique_ptr<ImageViewSurface> scaled = CreateViewSurface(), fresh = CreateViewSurface();
    ViewFrames frames(*scaled), afresh(*fresh);
    frames.SetDrawing(&view);
    afresh.SetDrawing(&view);
    ViewCamera camera = view.Fit(320, 240);
    frames.Show(camera, {});
    camera = view.Zoom(camera, 100, 170, 1.6);
    frames.Show(camera, {});
    afresh.Show(camera, {});
    const auto inkCentre = [](const ImageViewSurface &image) {
        double x = 0, y = 0, count = 0;
        for (int py = 0; py < 240; py++)
            for (int px = 0; px < 320; px++)
                if (!(image.PixelAt(px, py) == Rgb{255, 255, 255})) x += px, y += py, count++;
        return PlanePoint{x / count, y / count};
    };
    const PlanePoint magnified = inkCentre(*scaled), exact = inkCentre(*fresh);
    EXPECT_NEAR(magnified.x, exact.x, 1.5);
    EXPECT_NEAR(magnified.y, exact.y, 1.5);
}

TEST(DrawingView, ZoomKeepsThePointUnderTheCursorAndMeasuresInRealSize) {
    DrawingStore store = test::SampleDrawing();
    store.layerGroupScales[3] = 50;
    const DrawingView view(store);
    const ViewCamera camera = view.Fit(800, 600);
    const PlanePoint held = DrawingPointAt(camera, 123, 456);
    const PlanePoint after = DrawingPointAt(view.Zoom(camera, 123, 456, 1.25), 123, 456);
    EXPECT_NEAR(after.x, held.x, 1e-9 * std::fabs(held.x) + 1e-9);
    EXPECT_NEAR(after.y, held.y, 1e-9 * std::fabs(held.y) + 1e-9);
    // The pixel a drawing point is drawn at is the pixel it is read back from.
    const PixelPoint pixel = ViewPixel(ViewOf(camera), held);
    EXPECT_EQ(pixel.x, 123);
    EXPECT_EQ(pixel.y, 456);

    const PlanePoint a{1250.5, -830.25}, b{1250.5 + 30, -830.25 + 40};
    EXPECT_EQ(MeasureText(store, a, &b, 3), "距離 50（実寸 2500 mm・縮尺 1/50）");
    EXPECT_EQ(CursorText(store, b, 3), "X 1280.5  Y -790.25  (実寸 1500, 2000 mm・縮尺 1/50)");
    // A scale the drawing does not have reads as 1, never as nothing or a negative size.
    store.layerGroupScales[4] = -2;
    EXPECT_EQ(MeasureText(store, a, &b, 4), "距離 50（実寸 50 mm・縮尺 1/1）");
}

// Zoomed in as far as the view goes, inside a filled circle and across a long line: the canvas is handed
// pixels it can take (polygons clipped to the window), so the circle fills the image and the line crosses it.
TEST(DrawingView, ZoomedInAsFarAsItGoesDrawsWhatSurroundsTheWindow) {
    DrawingStore store;
    TclpEntEnko disc{{0, 1, 6}, 0, 0, 5000, 0, 0, 0, 1, 1};
    TclpEntSolid filled{{0, 101, 3}, 0, 0, 5000, 1, 0, 0, 0, 100};  // a filled whole circle
    test::Add(store, disc);
    test::Add(store, filled);
    test::Add(store, TclpEntSen{{0, 1, 2}, -4000, 1.0e-3, 4000, 1.0e-3});
    const DrawingView view(store);
    ViewCamera camera = view.Fit(200, 150);
    for (int i = 0; i < 200; i++)
        camera = view.Zoom(camera, 100, 75, 4);  // until the limit holds it
    EXPECT_LT(camera.scale * 10000, 0x1p25) << "the drawing spans no more pixels than a canvas takes";
    const std::unique_ptr<RasterCanvas> image = CreateRasterCanvas(200, 150);
    view.Draw(*image, camera, {});
    int filledPixels = 0;
    for (int y = 0; y < 150; y++)
        for (int x = 0; x < 200; x++)
            filledPixels += image->PixelAt(x, y) == PreviewPalette(3);
    EXPECT_GT(filledPixels, 200 * 150 * 9 / 10);
}

// A view's curves are as fine as its pixels: every vertex on the circle, and each chord within a pixel of it;
// a circle of a block scaled up a hundred times as fine as one drawn at that size.
TEST(DrawingView, CurvesAreAsFineAsThePixels) {
    for (const bool placed : {false, true})
        for (const double zoom : {1.0, 20.0, 60.0}) {
            SCOPED_TRACE(testing::Message() << "zoom " << zoom << (placed ? ", in a block scaled 100 times" : ""));
            DrawingStore store;
            if (placed) {
                TclpEntBlockDef unit;
                unit.number = 1;
                test::Add(unit, TclpEntEnko{{0, 1, 2}, 0, 0, 1, 0, 0, 0, 1, 1});
                store.blockDefs.push_back(unit);
                test::Add(store, TclpEntBlock{{0, 1, 2}, 0, 0, 100, 100, 0, 1});
            } else {
                test::Add(store, TclpEntEnko{{0, 1, 2}, 0, 0, 100, 0, 0, 0, 1, 1});
            }
            const DrawingView view(store);
            const ViewCamera camera = view.Zoom(view.Fit(400, 400), 200, 20, zoom);  // about the circle's top
            const PreviewView v = ViewOf(camera);
            const double radius = 100 * camera.scale;
            const PlanePoint centre{(0 - v.minX) * camera.scale, v.height - (0 - v.minY) * camera.scale};
            std::size_t vertices = 0;
            RecordingCanvas canvas([&](const DrawOp &op) {
                if (op.pen.color == Rgb{255, 0, 0}) return;  // the reference point's marker
                if (op.kind != DrawOp::Kind::Polyline && op.kind != DrawOp::Kind::Polygon) return;
                // (Where the window cuts the circle, the polygon runs along the window's edge, outside the image.)
                const auto inImage = [](PixelPoint p) { return p.x >= 0 && p.y >= 0 && p.x < 400 && p.y < 400; };
                for (std::size_t i = 0; i < op.points.size(); i++) {
                    const PixelPoint a = op.points[i], b = op.points[(i + 1) % op.points.size()];
                    if (!inImage(a) || !inImage(b)) continue;
                    vertices++;
                    EXPECT_NEAR(std::hypot(a.x - centre.x, a.y - centre.y), radius, 1.0);
                    // The chord's middle, rounded ends and all, stays within a pixel and a half of the circle.
                    EXPECT_NEAR(std::hypot((a.x + b.x) / 2.0 - centre.x, (a.y + b.y) / 2.0 - centre.y), radius, 1.5);
                }
            });
            view.Draw(canvas, camera, {});
            EXPECT_GT(vertices, 0u);
        }
}

// A drag moves the drawing with the hand on both axes; the layer panel counts an insert on its layer.
TEST(DrawingView, DraggingFollowsTheHandAndInsertsCountOnTheirLayers) {
    DrawingStore store = test::SampleDrawing();
    const DrawingView view(store);
    const ViewCamera camera = view.Zoom(view.Fit(640, 480), 300, 200, 3);
    for (const auto &[dx, dy] : {std::pair{25.0, 0.0}, std::pair{0.0, 40.0}, std::pair{-13.0, -7.0}}) {
        const PlanePoint grabbed = DrawingPointAt(camera, 200, 150);
        const PlanePoint under = DrawingPointAt(DrawingView::Pan(camera, dx, dy), 200 + dx, 150 + dy);
        EXPECT_NEAR(under.x, grabbed.x, 1e-9 * (1 + std::fabs(grabbed.x)));
        EXPECT_NEAR(under.y, grabbed.y, 1e-9 * (1 + std::fabs(grabbed.y)));
    }
    DrawingStore inserts;
    TclpEntBlock insert{{}, 0, 0, 1, 1, 0, 1};
    insert.base.layerGroup = 3, insert.base.layer = 9;
    test::Add(inserts, insert);
    test::Add(inserts, insert);
    EXPECT_EQ(CountByLayer(inserts)[3 * 16 + 9], 2u);
    EXPECT_EQ(GroupCount(CountByLayer(inserts), 3), 2u);
}

// Zoomed out, what lies just outside the window but draws into it (a temporary point's circle of a few
// pixels, whatever its distance in drawing units) is drawn exactly as without leaving anything out; a
// dimension whose line is in view is drawn though its value lies far away.
TEST(DrawingView, WhatReachesIntoTheWindowFromOutsideIsDrawn) {
    DrawingStore store;
    store.originX = store.originY = 5e5;                 // the reference point's marker far away
    test::Add(store, TclpEntSen{{}, 0, 0, 1e5, 1e5});    // the drawing, zoomed out to a few hundred pixels
    const ViewCamera camera{5e4, 5e4, 0.004, 400, 400};  // the window: 0..100,000 on both axes
    for (int px = 1; px <= 4; px++) {
        const double beyond = px / camera.scale;
        test::Add(store, TclpEntTen{{0, 1, 2}, -beyond, 2e4 + px * 1.5e4, 1});       // left of the window
        test::Add(store, TclpEntTen{{0, 1, 2}, 2e4 + px * 1.5e4, 1e5 + beyond, 1});  // above it
    }
    const DrawingView view(store);
    const std::unique_ptr<RasterCanvas> culled = CreateRasterCanvas(400, 400), whole = CreateRasterCanvas(400, 400);
    view.Draw(*culled, camera, {});
    PreviewSurface surface(*whole);
    surface.view = ViewOf(camera);
    surface.atViewResolution = true;
    FillPreviewBackground(*whole, 400, 400, {255, 255, 255});
    DrawPreview(surface, store);
    int differing = 0, inkedAtTheEdges = 0;
    for (int y = 0; y < 400; y++)
        for (int x = 0; x < 400; x++) {
            differing += !(culled->PixelAt(x, y) == whole->PixelAt(x, y));
            inkedAtTheEdges += (x < 3 || y < 3) && Inked(*whole, x, y);
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(inkedAtTheEdges, 8);

    DrawingStore dimensioned;
    dimensioned.originX = dimensioned.originY = 1e6;
    TclpEntSunpo dimension;
    dimension.line = {{}, 10, 50, 90, 50};
    dimension.label = {{}, 5e5, 5e5, 5e5 + 30, 5e5, 0, 5, 5, 0, 0, "", "80"};  // written far away
    test::Add(dimensioned, dimension);
    EXPECT_GT(DrawnOperations(dimensioned, ViewCamera{50, 50, 2, 200, 200}), 0u);
}

// One character filling the view, every corner of its cell outside the window, is still drawn; so is a
// character whose cell only crosses the window.
TEST(DrawingView, ACharacterLargerThanTheWindowIsDrawn) {
    DrawingStore store;
    store.originX = store.originY = 1e6;
    test::Add(store, TclpEntMoji{{}, 0, 0, 100, 0, 0, 100, 100, 0, 0, "", "\x8a\xbf"});  // one wide character
    std::size_t characters = 0;
    RecordingCanvas canvas([&](const DrawOp &op) { characters += op.kind == DrawOp::Kind::Text; });
    const DrawingView view(store);
    view.Draw(canvas, ViewCamera{50, 50, 6, 200, 200}, {});  // the cell is 600 pixels, the window 200
    EXPECT_EQ(characters, 1u);
}

// A drawing with a coordinate that is no number, or reaching to the largest doubles, still has a view whose
// every camera is a number: fitting, zooming and dragging never make it NaN for good.
TEST(DrawingView, CoordinatesThatAreNoNumberNeverReachTheCamera) {
    for (const double bad : {double{INFINITY}, -double{INFINITY}, double{NAN}, 1e308}) {
        SCOPED_TRACE(bad);
        DrawingStore store;
        test::Add(store, TclpEntSen{{}, 0, 0, 100, 50});
        test::Add(store, TclpEntSen{{}, bad, 0, -bad, 10});
        test::Add(store, TclpEntEnko{{}, 10, bad, 5, 0, 0, 0, 1, 1});
        const DrawingView view(store);
        EXPECT_EQ(view.NotFinite() > 0, !std::isfinite(bad));
        ViewCamera camera = view.Fit(640, 480);
        ASSERT_TRUE(IsFinite(camera));
        if (!std::isfinite(bad)) {  // the extents are those of what is a number
            const PlanePoint centre = DrawingPointAt(camera, 320, 240);
            EXPECT_NEAR(centre.x, 50, 1e-6);
        }
        for (int i = 0; i < 40; i++) {
            camera = view.Zoom(camera, 100 + i, 200, i < 20 ? 0.25 : 4);
            camera = DrawingView::Pan(camera, 1e6, -1e6);
            ASSERT_TRUE(IsFinite(camera)) << i;
        }
        camera = view.Fit(640, 480);
        const std::unique_ptr<RasterCanvas> image = CreateRasterCanvas(640, 480);
        view.Draw(*image, camera, {});
        EXPECT_EQ(CursorText(store, DrawingPointAt(camera, 320, 240), 0).find("nan"), std::string::npos);
    }
}

// Slivers of far-centred ellipses (a car's body drawn with arcs of radius 3,000 whose centres lie far off)
// fill the view by what they draw; the preview keeps its own rule.
TEST(DrawingView, FitsWhatIsDrawnNotTheWholeEllipsesOfArcShapedSolids) {
    DrawingStore store;
    test::Add(store, TclpEntSen{{0, 1, 2}, 0, 0, 100, 0});
    test::Add(store, TclpEntSen{{0, 1, 2}, 0, 50, 100, 50});
    const auto sliver = [&](std::uint8_t kind, double value, double centreY, double radius) {
        TclpEntSolid solid{{0, kind, 10}};
        EncodeArcSolid({kind, {{50, centreY, radius, 1, 0}, kPi / 2 - 0.01, 0.02}, value}, solid);
        test::Add(store, solid);
    };
    sliver(101, 5, -3000, 3050);     // a segment
    sliver(101, 1, 3050, -3000);     // a tangent corner, its radius negative
    sliver(111, 0, -3200, 3240);     // an outline arc
    sliver(105, 3230, -3200, 3240);  // a band, its inner edge just inside
    store.originX = 50, store.originY = 25;
    const DrawingView view(store);
    const ViewCamera fitted = view.Fit(400, 300);
    const PlanePoint topLeft = DrawingPointAt(fitted, 0, 0), bottomRight = DrawingPointAt(fitted, 400, 300);
    EXPECT_LT(bottomRight.x - topLeft.x, 200) << "the drawing is a speck";
    EXPECT_GT(bottomRight.x - topLeft.x, 100);
    EXPECT_LT(ComputeDrawingExtents(store).minY, -3000) << "the preview's own rule changed";
}

// Numbers shown whole, however large: 1e70 is not cut to its first 63 characters.
TEST(ViewTexts, NumbersAreShownWhole) {
    DrawingStore store;
    store.layerGroupScales.assign(16, 1.0);
    const std::string text = CursorText(store, {1e70, -2.5}, 0);
    ASSERT_TRUE(text.starts_with("X 1000000000000000072531436381529235126158374409646521955518210155479040")) << text;
    EXPECT_EQ(text.find("  Y -2.5"), 2 + 71u) << text;  // all 71 digits of the double nearest 1e70
}

}  // namespace
}  // namespace korvel
