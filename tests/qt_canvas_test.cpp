// The Qt canvas draws what the recording says, with the original surface's pixel rules.
#include <gtest/gtest.h>

#include "platform/raster_canvas.h"

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
