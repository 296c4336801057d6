// The view's image from one frame to the next.
#include "preview/view_frames.h"

#include <cmath>
#include <cstdlib>

namespace korvel {

namespace {

// How near a whole number of pixels a move must be for the image to be moved rather than drawn afresh.
constexpr double kWholePixel = 1e-6;

}  // namespace

void ViewFrames::SetDrawing(const DrawingView *drawing) {
    view = drawing;
    shown.reset();
    exact = false;
}

void ViewFrames::DrawAfresh(const ViewCamera &camera, const HiddenLayers &hidden) {
    surface.DrawWhole(camera.width, camera.height, [&](Canvas &canvas) {
        if (view) leftOut = view->Draw(canvas, camera, hidden);
        else FillPreviewBackground(canvas, camera.width, camera.height, {255, 255, 255});
    });
    shown = camera;
    shownHidden = hidden;
    exact = true;
}

void ViewFrames::Show(const ViewCamera &camera, const HiddenLayers &hidden) {
    if (!view || !shown || hidden != shownHidden || camera.width != shown->width || camera.height != shown->height)
        return DrawAfresh(camera, hidden);
    const ViewCamera last = *shown;
    // Where the last image's corner lands, in the new image's pixels.
    const double factor = camera.scale / last.scale;
    const double dx = (last.centreX - camera.centreX) * camera.scale + camera.width / 2.0 * (1 - factor);
    const double dy = (camera.centreY - last.centreY) * camera.scale + camera.height / 2.0 * (1 - factor);
    if (camera.scale != last.scale) {
        surface.Magnify(factor, dx, dy);
        shown = camera;
        exact = false;
        return;
    }
    const double wholeX = std::round(dx), wholeY = std::round(dy);
    if (std::fabs(dx - wholeX) > kWholePixel || std::fabs(dy - wholeY) > kWholePixel ||
        std::fabs(wholeX) >= camera.width || std::fabs(wholeY) >= camera.height)
        return DrawAfresh(camera, hidden);
    const auto mx = static_cast<std::int32_t>(wholeX), my = static_cast<std::int32_t>(wholeY);
    if (mx == 0 && my == 0) return;
    surface.Scroll(mx, my);
    const auto drawPart = [&](std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
        if (width <= 0 || height <= 0) return;
        surface.DrawPart(left, top, width, height, [&](Canvas &canvas) {
            view->Draw(canvas, camera, hidden, ImagePart{left, top, width, height});
        });
    };
    // The columns uncovered, whole height, then the rows uncovered beside them.
    const std::int32_t columns = std::abs(mx), rows = std::abs(my);
    const std::int32_t columnsLeft = mx > 0 ? 0 : camera.width - columns;
    drawPart(columnsLeft, 0, columns, camera.height);
    drawPart(mx > 0 ? columns : 0, my > 0 ? 0 : camera.height - rows, camera.width - columns, rows);
    shown = camera;
}

void ViewFrames::Settle() {
    if (!exact && shown) DrawAfresh(*shown, shownHidden);
}

}  // namespace korvel
