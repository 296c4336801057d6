// The view's image from one frame to the next: drawn afresh when it must be, otherwise the last image reused
// (moved by whole pixels with only the uncovered strips drawn, or scaled while zooming until the hand rests).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "preview/drawing_view.h"

namespace korvel {

// The window's image as a platform keeps it.
class ViewSurface {
public:
    virtual ~ViewSurface() = default;
    // A fresh image of this size, as the canvas `draw` draws on.
    virtual void DrawWhole(std::int32_t width, std::int32_t height, const std::function<void(Canvas &)> &draw) = 0;
    // The image's pixels moved by (dx, dy); what they uncover is drawn next.
    virtual void Scroll(std::int32_t dx, std::int32_t dy) = 0;
    // A part of the image, `width` x `height` pixels at (left, top), drawn afresh: `draw` draws in the whole
    // image's pixels on a canvas of the image's size, of which only that part is kept (a text or a dashed line
    // crossing the part's edge then comes out as in the whole image).
    virtual void DrawPart(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                          const std::function<void(Canvas &)> &draw) = 0;
    // The image magnified by `factor` about the origin and then moved by (dx, dy): pixel (x, y) goes to
    // (x * factor + dx, y * factor + dy). What nothing covers is left white.
    virtual void Magnify(double factor, double dx, double dy) = 0;
};

class ViewFrames {
public:
    explicit ViewFrames(ViewSurface &surface) : surface(surface) {}

    // The drawing to show (null for none); its first Show draws afresh.
    void SetDrawing(const DrawingView *view);
    // Brings the image to the camera and layers.
    void Show(const ViewCamera &camera, const HiddenLayers &hidden);
    // Whether the image is what drawing afresh would give; after a zoom it is the last image scaled, until Settle.
    bool Exact() const { return exact; }
    // Draws afresh if the image is not exact.
    void Settle();
    // How many inserts the member budget left out of the last image drawn afresh.
    std::size_t LeftOut() const { return leftOut; }

private:
    void DrawAfresh(const ViewCamera &camera, const HiddenLayers &hidden);

    ViewSurface &surface;
    const DrawingView *view = nullptr;
    std::optional<ViewCamera> shown;
    HiddenLayers shownHidden;
    bool exact = false;
    std::size_t leftOut = 0;
};

}  // namespace korvel
