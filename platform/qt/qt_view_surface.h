// The drawing view's image on Linux: a QImage, its canvases kept from frame to frame (with the characters they
// have drawn).
#pragma once

#include <QImage>
#include <memory>

#include "platform/qt/qt_canvas.h"
#include "platform/view_surface.h"

namespace korvel {

class QtViewSurface final : public ImageViewSurface {
public:
    const QImage &Image() const { return frame; }

    void DrawWhole(std::int32_t width, std::int32_t height, const std::function<void(Canvas &)> &draw) override;
    void Scroll(std::int32_t dx, std::int32_t dy) override;
    void DrawPart(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                  const std::function<void(Canvas &)> &draw) override;
    void Magnify(double factor, double dx, double dy) override;
    bool EncodePng(std::string &png) const override;
    Rgb PixelAt(std::int32_t x, std::int32_t y) const override;

private:
    // A canvas of at least this size, kept while the image keeps its size.
    static QtCanvas &CanvasFor(std::unique_ptr<QtCanvas> &canvas, std::int32_t width, std::int32_t height);
    // The frame redrawn from itself by `transform`, white where it does not reach.
    void Redraw(const QTransform &transform);

    QImage frame;
    std::unique_ptr<QtCanvas> whole, part;
};

}  // namespace korvel
