// The drawing view's image on Windows: a DIB section drawn with GDI, its canvases kept from frame to frame.
#pragma once

#include <memory>

#include "platform/view_surface.h"
#include "platform/win32/gdi_canvas.h"

namespace korvel {

class GdiViewSurface final : public ImageViewSurface {
public:
    // The image to copy to the screen; null before the first frame.
    const GdiCanvas *Frame() const { return frame.get(); }

    void DrawWhole(std::int32_t width, std::int32_t height, const std::function<void(Canvas &)> &draw) override;
    void Scroll(std::int32_t dx, std::int32_t dy) override;
    void DrawPart(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                  const std::function<void(Canvas &)> &draw) override;
    void Magnify(double factor, double dx, double dy) override;
    bool EncodePng(std::string &png) const override;
    Rgb PixelAt(std::int32_t x, std::int32_t y) const override;

private:
    // The last frame copied aside, and the frame made white, to be drawn from the copy.
    void SetAside();

    std::unique_ptr<GdiCanvas> frame, part, aside;
};

}  // namespace korvel
