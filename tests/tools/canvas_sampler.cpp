// Draws every canvas primitive (no text) with this platform's raster canvas and writes the PNG, so that
// the Windows and Linux canvases can be compared pixel for pixel. With --wide: only wide pens.
#include <cstdio>
#include <string>

#include "platform/raster_canvas.h"

using namespace korvel;

namespace {

constexpr PenStyle kStyles[] = {PenStyle::Solid,   PenStyle::Dash,       PenStyle::Dot,
                                PenStyle::DashDot, PenStyle::DashDotDot, PenStyle::Null};
constexpr BrushKind kBrushes[] = {BrushKind::Hollow,   BrushKind::Solid,           BrushKind::Horizontal,
                                  BrushKind::Vertical, BrushKind::ForwardDiagonal, BrushKind::BackwardDiagonal,
                                  BrushKind::Cross,    BrushKind::DiagonalCross};

// Fans of lines in every style: all octants, shallow and steep slopes.
void DrawFans(Canvas &canvas, std::int32_t width, std::int32_t top) {
    for (int s = 0; s < 6; ++s) {
        canvas.SetPen(
            {Rgb{static_cast<std::uint8_t>(40 * s), 0, static_cast<std::uint8_t>(200 - 30 * s)}, kStyles[s], width});
        const PixelPoint centre{40 + 75 * s, top + 40};
        for (int k = 0; k < 16; ++k) {
            const int dx[] = {35, 35, 35, 17, 0, -17, -35, -35, -35, -35, -35, -17, 0, 17, 35, 35};
            const int dy[] = {0, 11, 35, 35, 35, 35, 35, 11, 0, -11, -35, -35, -35, -35, -35, -11};
            canvas.StrokeLine(centre, {centre.x + dx[k], centre.y + dy[k]});
        }
    }
}

void Draw(Canvas &canvas) {
    DrawFans(canvas, 1, 5);
    DrawFans(canvas, 0, 85);
    // Rectangles and polygons (one crossing itself, filled odd-even) with every brush, framed and not.
    for (int b = 0; b < 8; ++b) {
        canvas.SetBrush({Rgb{0, static_cast<std::uint8_t>(30 * b), 120}, kBrushes[b]});
        canvas.SetPen({Rgb{200, 0, 0}, b % 2 ? PenStyle::Null : PenStyle::Solid, 1});
        const int x = 10 + 56 * b;
        canvas.DrawRect(x, 175, x + 48, 215);
        const PixelPoint star[] = {{x + 24, 222}, {x + 38, 270}, {x + 2, 238}, {x + 46, 238}, {x + 10, 270}};
        canvas.DrawPolygon(star);
    }
    // Polylines that run on across their vertices and leave the image.
    canvas.SetPen({Rgb{0, 128, 0}, PenStyle::DashDot, 1});
    const PixelPoint run[] = {{5, 290}, {120, 280}, {130, 298}, {470, 275}, {700, 290}};
    canvas.StrokePolyline(run);
}

}  // namespace

int main(int argc, char **argv) {
    const bool wide = argc == 3 && std::string(argv[2]) == "--wide";
    if (argc != 2 && !wide) {
        std::fputs("usage: canvas_sampler OUT.png [--wide]\n", stderr);
        return 2;
    }
    const auto canvas = CreateRasterCanvas(470, 300);
    if (wide) {
        for (const int width : {2, 3, 5})
            DrawFans(*canvas, width, 5 + 95 * (width / 2 - 1));
    } else {
        Draw(*canvas);
    }
    std::string png;
    std::FILE *out = std::fopen(argv[1], "wb");
    const bool ok = out && canvas->EncodePng(png) && std::fwrite(png.data(), 1, png.size(), out) == png.size();
    if (out) std::fclose(out);
    return ok ? 0 : 1;
}
