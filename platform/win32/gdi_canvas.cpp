#include "platform/win32/gdi_canvas.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "geom/cp932.h"
#include "platform/win32/png_writer.h"
#include "platform/win32/wide_text.h"

namespace korvel {

namespace {

COLORREF ToColorRef(Rgb c) { return RGB(c.r, c.g, c.b); }

int ToPenStyle(PenStyle style) {
    switch (style) {
        case PenStyle::Solid: return PS_SOLID;
        case PenStyle::Dash: return PS_DASH;
        case PenStyle::Dot: return PS_DOT;
        case PenStyle::DashDot: return PS_DASHDOT;
        case PenStyle::DashDotDot: return PS_DASHDOTDOT;
        case PenStyle::Null: return PS_NULL;
    }
    return PS_SOLID;
}

HBRUSH CreateBrushFor(const Brush &brush) {
    const COLORREF color = ToColorRef(brush.color);
    switch (brush.kind) {
        case BrushKind::Hollow: return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
        case BrushKind::Solid: return CreateSolidBrush(color);
        case BrushKind::Horizontal: return CreateHatchBrush(HS_HORIZONTAL, color);
        case BrushKind::Vertical: return CreateHatchBrush(HS_VERTICAL, color);
        case BrushKind::ForwardDiagonal: return CreateHatchBrush(HS_FDIAGONAL, color);
        case BrushKind::BackwardDiagonal: return CreateHatchBrush(HS_BDIAGONAL, color);
        case BrushKind::Cross: return CreateHatchBrush(HS_CROSS, color);
        case BrushKind::DiagonalCross: return CreateHatchBrush(HS_DIAGCROSS, color);
    }
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

std::vector<POINT> ToPoints(std::span<const PixelPoint> points) {
    std::vector<POINT> out(points.size());
    std::transform(points.begin(), points.end(), out.begin(), [](PixelPoint p) { return POINT{p.x, p.y}; });
    return out;
}

}  // namespace

class GdiCanvas::Tools {
public:
    Tools(HDC dc, const Pen &pen, const Brush *brush)
        : dc(dc),
          pen(CreatePen(ToPenStyle(pen.style), pen.width, ToColorRef(pen.color))),
          brush(brush ? CreateBrushFor(*brush) : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))) {
        oldPen = SelectObject(dc, this->pen);
        oldBrush = SelectObject(dc, this->brush);
    }
    ~Tools() {
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(pen);
        DeleteObject(brush);  // stock objects ignore this
    }
    Tools(const Tools &) = delete;
    Tools &operator=(const Tools &) = delete;

private:
    HDC dc;
    HPEN pen;
    HBRUSH brush;
    HGDIOBJ oldPen = nullptr, oldBrush = nullptr;
};

GdiCanvas::GdiCanvas(std::int32_t w, std::int32_t h) : width(std::max(w, 1)), height(std::max(h, 1)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc = CreateCompatibleDC(nullptr);
    void *bits = nullptr;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dc || !bitmap || !bits)
        throw std::runtime_error("プレビュー画像を作成できません（メモリか Windows の描画資源が足りません）");
    pixels = static_cast<std::uint32_t *>(bits);
    originalBitmap = SelectObject(dc, bitmap);
    std::fill(pixels, pixels + static_cast<std::size_t>(width) * height, 0x00FFFFFFu);
    // Dash gaps and hatch gaps keep what is underneath, as the preview's original canvas leaves them.
    SetBkMode(dc, TRANSPARENT);
    SetPolyFillMode(dc, ALTERNATE);
}

GdiCanvas::~GdiCanvas() {
    SelectObject(dc, originalBitmap);
    if (cachedFont) DeleteObject(cachedFont);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

bool GdiCanvas::EncodePng(std::string &png) const {
    GdiFlush();
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i) {
        rgb[3 * i] = static_cast<std::uint8_t>(pixels[i] >> 16);
        rgb[3 * i + 1] = static_cast<std::uint8_t>(pixels[i] >> 8);
        rgb[3 * i + 2] = static_cast<std::uint8_t>(pixels[i]);
    }
    png = EncodeRgbPng(width, height, rgb);
    return true;
}

Rgb GdiCanvas::PixelAt(std::int32_t x, std::int32_t y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return {};
    GdiFlush();
    const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
    return {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p)};
}

void GdiCanvas::Line(const Pen &pen, PixelPoint from, PixelPoint to) {
    const Tools tools(dc, pen, nullptr);
    MoveToEx(dc, from.x, from.y, nullptr);
    LineTo(dc, to.x, to.y);
}

void GdiCanvas::Rect(const Pen &pen, const Brush &brush, std::int32_t left, std::int32_t top, std::int32_t right,
                     std::int32_t bottom) {
    const Tools tools(dc, pen, &brush);
    Rectangle(dc, left, top, right, bottom);
}

void GdiCanvas::Polyline(const Pen &pen, std::span<const PixelPoint> points) {
    if (points.size() < 2) return;
    const Tools tools(dc, pen, nullptr);
    const std::vector<POINT> p = ToPoints(points);
    ::Polyline(dc, p.data(), static_cast<int>(p.size()));
}

void GdiCanvas::Polygon(const Pen &pen, const Brush &brush, std::span<const PixelPoint> points) {
    if (points.size() < 2) return;
    const Tools tools(dc, pen, &brush);
    const std::vector<POINT> p = ToPoints(points);
    ::Polygon(dc, p.data(), static_cast<int>(p.size()));
}

HFONT GdiCanvas::FontFor(const FontSpec &description) {
    if (!cachedDescription || *cachedDescription != description) {
        if (cachedFont) DeleteObject(cachedFont);
        // The face is decoded from its Shift-JIS bytes so that it names the same font whatever the
        // system's own code page.
        const std::wstring face = WideOf(Cp932ToUtf8(description.face));
        cachedFont =
            CreateFontW(description.height, description.width, description.escapement, description.escapement,
                        description.weight, description.italic, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
        cachedDescription = description;
    }
    return cachedFont;
}

void GdiCanvas::Character(PixelPoint at, std::string_view sjis, const FontSpec &font, Rgb color) {
    const HGDIOBJ old = SelectObject(dc, FontFor(font));
    SetTextColor(dc, ToColorRef(color));
    const std::wstring text = WideOf(Cp932ToUtf8(sjis));
    TextOutW(dc, at.x, at.y, text.c_str(), static_cast<int>(text.size()));
    SelectObject(dc, old);
}

std::unique_ptr<RasterCanvas> CreateRasterCanvas(std::int32_t width, std::int32_t height) {
    return std::make_unique<GdiCanvas>(width, height);
}

}  // namespace korvel
