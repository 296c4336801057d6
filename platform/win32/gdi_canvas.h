// The preview's canvas on Windows: GDI drawing into a top-down 32-bit DIB section.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/raster_canvas.h"

namespace korvel {

class GdiCanvas final : public RasterCanvas {
public:
    GdiCanvas(std::int32_t width, std::int32_t height);
    ~GdiCanvas() override;
    GdiCanvas(const GdiCanvas &) = delete;
    GdiCanvas &operator=(const GdiCanvas &) = delete;

    HDC DeviceContext() const { return dc; }
    std::int32_t Width() const { return width; }
    std::int32_t Height() const { return height; }
    bool EncodePng(std::string &png) const override;
    Rgb PixelAt(std::int32_t x, std::int32_t y) const override;

protected:
    void Line(const Pen &pen, PixelPoint from, PixelPoint to) override;
    void Rect(const Pen &pen, const Brush &brush, std::int32_t left, std::int32_t top, std::int32_t right,
              std::int32_t bottom) override;
    void Polyline(const Pen &pen, std::span<const PixelPoint> points) override;
    void Polygon(const Pen &pen, const Brush &brush, std::span<const PixelPoint> points) override;
    void Character(PixelPoint at, std::string_view sjis, const FontSpec &font, Rgb color) override;

private:
    // Selects the pen (and brush) for one call and restores the previous ones afterwards.
    class Tools;
    HFONT FontFor(const FontSpec &description);

    std::int32_t width, height;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ originalBitmap = nullptr;
    std::uint32_t *pixels = nullptr;  // 0x00RRGGBB, top row first
    std::optional<FontSpec> cachedDescription;
    HFONT cachedFont = nullptr;
};

}  // namespace korvel
