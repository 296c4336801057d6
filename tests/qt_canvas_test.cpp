// The Qt canvas draws what the recording says, with the original surface's pixel rules.
#include <gtest/gtest.h>

#include "platform/raster_canvas.h"
#include "preview/preview.h"
#include "preview/recording_canvas.h"
#include "tests/support/fixed_random.h"
#include "tests/support/stream_writer.h"

using namespace korvel;

namespace {

constexpr Rgb kWhite{255, 255, 255}, kBlack{0, 0, 0};

std::unique_ptr<RasterCanvas> BlankCanvas() {
    std::unique_ptr<RasterCanvas> c = CreateRasterCanvas(40, 40);
    c->SetPen({kBlack, PenStyle::Solid, 0});
    c->SetBrush({kBlack, BrushKind::Hollow});
    return c;
}

int InkedPixels(const RasterCanvas &c, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
            n += c.PixelAt(x, y) != kWhite;
    return n;
}

}  // namespace

TEST(QtCanvas, LinesLeaveOutTheirEndPixelInEveryDirection) {
    struct Case {
        PixelPoint from, to, lastSet, end;
    };
    const Case cases[] = {
        {{2, 2}, {8, 2}, {7, 2}, {8, 2}},
        {{8, 4}, {2, 4}, {3, 4}, {2, 4}},
        {{5, 10}, {5, 3}, {5, 4}, {5, 3}},
        {{10, 10}, {20, 15}, {19, 14}, {20, 15}},  // the tie at 4.5 rounds down, as GDI does
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.from.x << "," << c.from.y << " to " << c.to.x << "," << c.to.y);
        auto canvas = BlankCanvas();
        canvas->StrokeLine(c.from, c.to);
        EXPECT_EQ(canvas->PixelAt(c.lastSet.x, c.lastSet.y), kBlack);
        EXPECT_EQ(canvas->PixelAt(c.end.x, c.end.y), kWhite);
    }
}

TEST(QtCanvas, FarOffEndsStillDrawTheVisiblePart) {
    auto canvas = BlankCanvas();
    canvas->StrokeLine({-2000000000, 30}, {2000000000, 30});
    EXPECT_EQ(InkedPixels(*canvas, 0, 30, 40, 31), 40);
}

TEST(QtCanvas, RectangleLeavesOutRightAndBottomEdges) {
    auto canvas = BlankCanvas();
    canvas->DrawRect(1, 1, 6, 6);
    EXPECT_EQ(canvas->PixelAt(1, 1), kBlack);
    EXPECT_EQ(canvas->PixelAt(5, 3), kBlack);
    EXPECT_EQ(canvas->PixelAt(3, 5), kBlack);
    EXPECT_EQ(canvas->PixelAt(6, 3), kWhite);
    EXPECT_EQ(canvas->PixelAt(3, 6), kWhite);
    EXPECT_EQ(canvas->PixelAt(3, 3), kWhite);  // hollow
    canvas->SetBrush({{255, 0, 0}, BrushKind::Solid});
    canvas->DrawRect(10, 10, 20, 20);
    EXPECT_EQ(canvas->PixelAt(15, 15), (Rgb{255, 0, 0}));
    EXPECT_EQ(canvas->PixelAt(19, 15), kBlack);
}

TEST(QtCanvas, DottedPenAndHatchPatterns) {
    auto canvas = BlankCanvas();
    canvas->SetPen({kBlack, PenStyle::Dot, 0});
    canvas->StrokeLine({0, 0}, {12, 0});
    std::string dots;
    for (int x = 0; x < 12; x++)
        dots += canvas->PixelAt(x, 0) == kBlack ? '#' : '.';
    EXPECT_EQ(dots, "###...###...");

    canvas->SetPen({kBlack, PenStyle::Null, 0});
    canvas->SetBrush({kBlack, BrushKind::ForwardDiagonal});
    const PixelPoint square[] = {{0, 10}, {40, 10}, {40, 40}, {0, 40}};
    canvas->DrawPolygon(square);
    // A forward diagonal falls to the right: each inked pixel's lower-right neighbour is inked too.
    int inked = 0;
    for (int y = 12; y < 30; y++)
        for (int x = 2; x < 30; x++)
            if (canvas->PixelAt(x, y) == kBlack) {
                inked++;
                EXPECT_EQ(canvas->PixelAt(x + 1, y + 1), kBlack) << x << "," << y;
            }
    EXPECT_GT(inked, 20);
    EXPECT_LT(inked, 28 * 18 / 2);  // a hatch, not a fill
}

TEST(QtCanvas, JapaneseCharacterInksInsideItsCell) {
    auto canvas = BlankCanvas();
    FontSpec font;
    font.height = 20;
    font.face = "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e";  // "ＭＳ ゴシック"
    canvas->PutCharacter({10, 10}, "\x88\x9f", font);                 // "亜"
    EXPECT_GT(InkedPixels(*canvas, 10, 10, 30, 30), 30);
    EXPECT_EQ(InkedPixels(*canvas, 0, 0, 40, 9), 0);
    EXPECT_EQ(InkedPixels(*canvas, 0, 0, 9, 40), 0);
    EXPECT_EQ(InkedPixels(*canvas, 0, 31, 40, 40), 0);
}

// Face names that no font has draw in the family every unknown name falls back to, however many a drawing
// holds (a drawing of thousands of names each in its own face, matched once each, would cost seconds a frame),
// and a Japanese name stays its substitute's.
TEST(QtCanvas, EveryUnknownFaceNameDrawsTheFallbackAndKnownOnesTheirOwn) {
    const auto pixels = [](const std::string &face, std::string_view sjis) {
        auto canvas = BlankCanvas();
        FontSpec font;
        font.height = 24;
        font.face = face;
        canvas->PutCharacter({8, 8}, sjis, font);
        std::vector<Rgb> all;
        for (int y = 0; y < 40; y++)
            for (int x = 0; x < 40; x++)
                all.push_back(canvas->PixelAt(x, y));
        return all;
    };
    const std::string gothic = "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e";  // "ＭＳ ゴシック"
    const std::vector<Rgb> fallback = pixels("no such face", "g"), japanese = pixels(gothic, "g");
    ASSERT_NE(fallback, japanese) << "the test needs a substitute unlike the fallback";
    for (int i = 0; i < 300; i++) {
        ASSERT_EQ(pixels("no such face " + std::to_string(i), "g"), fallback) << i;
        if (i % 50 == 49) {
            ASSERT_EQ(pixels(gothic, "g"), japanese) << "after " << i + 1 << " other names";
        }
    }
}

// A polygon whose vertices lie half-way down its sides fills every row, the vertices' own included; a
// wide pen's ends are round, as the original surface draws them.
TEST(QtCanvas, FilledVertexRowsAndRoundWideEnds) {
    auto canvas = BlankCanvas();
    canvas->SetPen({kBlack, PenStyle::Null, 0});
    canvas->SetBrush({kBlack, BrushKind::Solid});
    const PixelPoint diamond[] = {{20, 5}, {35, 20}, {20, 35}, {5, 20}};
    canvas->DrawPolygon(diamond);
    for (int y = 6; y < 35; ++y)
        EXPECT_GT(InkedPixels(*canvas, 0, y, 40, y + 1), 0) << "row " << y;
    EXPECT_EQ(InkedPixels(*canvas, 0, 20, 40, 21), 30);

    auto wide = BlankCanvas();
    wide->SetPen({kBlack, PenStyle::Solid, 8});
    wide->StrokeLine({10, 20}, {28, 20});
    EXPECT_EQ(wide->PixelAt(31, 20), kBlack);  // the cap reaches past the end on the axis
    EXPECT_EQ(wide->PixelAt(31, 16), kWhite);  // but not into a square's corner
    EXPECT_EQ(wide->PixelAt(7, 24), kWhite);
}

// One pixel over and over draws, through the shortcut, what the same points draw as a polyline and as a
// polygon, whatever the pen, the brush or the place.
TEST(QtCanvas, RepeatedPointsDrawWhatTheirPolylineAndPolygonDraw) {
    const Pen pens[] = {{kBlack, PenStyle::Solid, 0}, {kBlack, PenStyle::Dot, 1},  {kBlack, PenStyle::Solid, 2},
                        {kBlack, PenStyle::Dash, 3},  {kBlack, PenStyle::Null, 4}, {kBlack, PenStyle::Solid, 5}};
    const Brush brushes[] = {{kBlack, BrushKind::Hollow}, {kBlack, BrushKind::Solid}, {kBlack, BrushKind::Cross}};
    const PixelPoint places[] = {{20, 20}, {0, 0}, {39, 17}, {-1, 5}, {60, 60}};
    for (const Pen &pen : pens)
        for (const Brush &brush : brushes)
            for (const PixelPoint at : places)
                for (const std::size_t count : {1u, 2u, 3u, 73u}) {
                    SCOPED_TRACE(testing::Message()
                                 << "width " << pen.width << " at " << at.x << "," << at.y << " x" << count);
                    const std::vector<PixelPoint> copies(count, at);
                    for (const bool polygon : {false, true}) {
                        std::unique_ptr<RasterCanvas> general = BlankCanvas(), shortcut = BlankCanvas();
                        for (RasterCanvas *c : {general.get(), shortcut.get()}) {
                            c->SetPen(pen);
                            c->SetBrush(brush);
                        }
                        if (polygon) {
                            general->DrawPolygon(copies);
                            shortcut->DrawRepeatedPointPolygon(at, count);
                        } else {
                            general->StrokePolyline(copies);
                            shortcut->StrokeRepeatedPoint(at, count);
                        }
                        for (int y = 0; y < 40; y++)
                            for (int x = 0; x < 40; x++)
                                ASSERT_EQ(general->PixelAt(x, y), shortcut->PixelAt(x, y)) << x << "," << y;
                    }
                }
}

// A preview drawn straight onto the canvas, with its shortcuts for shapes inside one pixel, is the image
// its recorded operations draw when replayed one by one: small and large curves, markers, arc-shaped
// solids and inserts of a block of curves at many sizes.
TEST(QtCanvas, APreviewIsItsRecordedOperationsReplayed) {
    DrawingStore d;
    d.layerGroupScales.assign(16, 1.0);
    test::FixedRandom next(3);
    TclpEntBlockDef block;
    block.number = 1;
    for (int i = 0; i < 6; i++) {
        TclpEntEnko arc{{}, i * 3.0, 1, 2.0 + i, 0.3 * i, 1.5, 0.1 * i, i % 2 ? 1.0 : 0.5, i % 3 == 0};
        arc.base.penColor = static_cast<std::uint16_t>(1 + i);
        test::Add(block, arc);
    }
    TclpEntSolid fan{{}, 5, 5, 4, 1, 0.5, 0.25, 1.2, 0};
    fan.base.penStyle = 101;
    test::Add(block, fan);
    d.blockDefs.push_back(block);
    for (int i = 0; i < 400; i++) {
        const double x = 1000 * next(), y = 700 * next(), r = i % 4 ? 3 * next() : 60 * next();
        TclpEntEnko arc{{}, x, y, r, 0, i % 5 ? 2.0 : -1.0, 0.2, i % 3 ? 1.0 : 0.4, i % 2};
        arc.base.penColor = static_cast<std::uint16_t>(i % 9);
        arc.base.penStyle = static_cast<std::uint8_t>(i % 7 ? 1 : 2);
        test::Add(d, arc);
        TclpEntTen point{{}, x, y, 0, static_cast<std::int32_t>(i % 13) - 7, 0.5, 1};
        point.base.penStyle = i % 2 ? 100 : 1;
        point.base.penColor = static_cast<std::uint16_t>(i % 10);
        test::Add(d, point);
        test::Add(d, test::InsertOf(1, x, y, 0.1 + 3 * next(), 0.1 + 3 * next(), 7 * next()));
    }
    for (const bool tiny : {false, true}) {
        SCOPED_TRACE(tiny ? "most shapes inside a pixel" : "shapes over many pixels");
        if (tiny) test::Add(d, TclpEntSen{{}, 0, 0, 100000, 70000});  // widens the view a hundredfold
        const std::unique_ptr<RasterCanvas> direct = CreateRasterCanvas(kPreviewWidth, kPreviewHeight);
        PreviewSurface straight(*direct);
        PrepareBlankPreview(straight, kPreviewWidth, kPreviewHeight);
        RenderDrawingPreview(straight, d);
        const std::unique_ptr<RasterCanvas> replayed = CreateRasterCanvas(kPreviewWidth, kPreviewHeight);
        RecordingCanvas recording([&](const DrawOp &op) {
            replayed->SetPen(op.pen);
            replayed->SetBrush(op.brush);
            switch (op.kind) {
                case DrawOp::Kind::Line: replayed->StrokeLine(op.points[0], op.points[1]); break;
                case DrawOp::Kind::Rect:
                    replayed->DrawRect(op.points[0].x, op.points[0].y, op.points[1].x, op.points[1].y);
                    break;
                case DrawOp::Kind::Polyline: replayed->StrokePolyline(op.points); break;
                case DrawOp::Kind::Polygon: replayed->DrawPolygon(op.points); break;
                case DrawOp::Kind::Text:
                    replayed->SetPen({op.color, op.pen.style, op.pen.width});
                    replayed->PutCharacter(op.points[0], op.text, op.font);
                    break;
            }
        });
        PreviewSurface traced(recording);
        PrepareBlankPreview(traced, kPreviewWidth, kPreviewHeight);
        RenderDrawingPreview(traced, d);
        int differing = 0;
        for (int y = 0; y < kPreviewHeight; y++)
            for (int x = 0; x < kPreviewWidth; x++)
                differing += direct->PixelAt(x, y) != replayed->PixelAt(x, y);
        EXPECT_EQ(differing, 0);
        EXPECT_GT(InkedPixels(*direct, 1, 1, kPreviewWidth - 1, kPreviewHeight - 1), 100);
    }
}

// A large drawing drawn in parts side by side and replayed is the image of one pass on this thread, at a
// size where most shapes fall inside a pixel and at one where they are drawn out.
TEST(QtCanvas, PartsDrawnSideBySideDrawTheImageOfOnePass) {
    const DrawingStore d = test::LargeMixedDrawing();
    for (const std::int32_t magnified : {1, 6}) {
        const std::int32_t width = kPreviewWidth * magnified, height = kPreviewHeight * magnified;
        const auto drawn = [&](unsigned partsAhead) {
            std::unique_ptr<RasterCanvas> canvas = CreateRasterCanvas(width, height);
            PreviewSurface surface(*canvas);
            PrepareBlankPreview(surface, width, height);
            RenderDrawingPreview(surface, d, partsAhead);
            return canvas;
        };
        const std::unique_ptr<RasterCanvas> onePass = drawn(1), inParts = drawn(2);
        int differing = 0;
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                differing += onePass->PixelAt(x, y) != inParts->PixelAt(x, y);
        EXPECT_EQ(differing, 0) << "magnified " << magnified;
        EXPECT_GT(InkedPixels(*onePass, 1, 1, width - 1, height - 1), 1000);
    }
}
