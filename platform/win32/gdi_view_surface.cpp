// The drawing view's image on Windows.
#include "platform/win32/gdi_view_surface.h"

#include <cmath>

namespace korvel {

namespace {

// A canvas of the frame's size, made again only when that changes.
GdiCanvas &CanvasFor(std::unique_ptr<GdiCanvas> &canvas, std::int32_t width, std::int32_t height) {
    if (!canvas || canvas->Width() != width || canvas->Height() != height)
        canvas = std::make_unique<GdiCanvas>(width, height);
    return *canvas;
}

void FillWhite(const GdiCanvas &canvas) {
    PatBlt(canvas.DeviceContext(), 0, 0, canvas.Width(), canvas.Height(), WHITENESS);
}

}  // namespace

void GdiViewSurface::DrawWhole(std::int32_t width, std::int32_t height, const std::function<void(Canvas &)> &draw) {
    draw(CanvasFor(frame, width, height));
}

void GdiViewSurface::SetAside() {
    GdiCanvas &copy = CanvasFor(aside, frame->Width(), frame->Height());
    BitBlt(copy.DeviceContext(), 0, 0, frame->Width(), frame->Height(), frame->DeviceContext(), 0, 0, SRCCOPY);
    FillWhite(*frame);
}

void GdiViewSurface::Scroll(std::int32_t dx, std::int32_t dy) {
    if (!frame) return;
    SetAside();
    BitBlt(frame->DeviceContext(), dx, dy, frame->Width(), frame->Height(), aside->DeviceContext(), 0, 0, SRCCOPY);
}

void GdiViewSurface::DrawPart(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                              const std::function<void(Canvas &)> &draw) {
    if (!frame) return;
    GdiCanvas &canvas = CanvasFor(part, frame->Width(), frame->Height());
    // Only the part's pixels are drawn: GDI leaves out what falls outside the clip.
    SelectClipRgn(canvas.DeviceContext(), nullptr);
    IntersectClipRect(canvas.DeviceContext(), left, top, left + width, top + height);
    draw(canvas);
    BitBlt(frame->DeviceContext(), left, top, width, height, canvas.DeviceContext(), left, top, SRCCOPY);
}

void GdiViewSurface::Magnify(double factor, double dx, double dy) {
    if (!frame) return;
    SetAside();
    const int w = frame->Width(), h = frame->Height();
    SetStretchBltMode(frame->DeviceContext(), COLORONCOLOR);
    StretchBlt(frame->DeviceContext(), static_cast<int>(std::lround(dx)), static_cast<int>(std::lround(dy)),
               static_cast<int>(std::lround(w * factor)), static_cast<int>(std::lround(h * factor)),
               aside->DeviceContext(), 0, 0, w, h, SRCCOPY);
}

bool GdiViewSurface::EncodePng(std::string &png) const { return frame && frame->EncodePng(png); }

Rgb GdiViewSurface::PixelAt(std::int32_t x, std::int32_t y) const { return frame ? frame->PixelAt(x, y) : Rgb{}; }

std::unique_ptr<ImageViewSurface> CreateViewSurface() { return std::make_unique<GdiViewSurface>(); }

}  // namespace korvel
