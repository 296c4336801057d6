// A resizable view of a drawing: where it looks (pixels per drawing unit, any image size), which layers it
// shows, and drawing it with what draws the preview, at the view's own resolution.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "geom/plane.h"
#include "preview/canvas.h"
#include "preview/draw_filter.h"
#include "preview/view.h"
#include "reader/extents.h"
#include "reader/layers.h"

namespace korvel {

// The drawing point at the image's centre, pixels per drawing unit, and the image's size.
struct ViewCamera {
    double centreX = 0, centreY = 0;
    double scale = 1;
    std::int32_t width = 0, height = 0;
};

PreviewView ViewOf(const ViewCamera &camera);
// Whether the camera and the edges of what it sees are all numbers, the scale above 0.
bool IsFinite(const ViewCamera &camera);
// Pixel (x, y) of the image, y down, as a drawing point; pixel centres are at whole numbers.
PlanePoint DrawingPointAt(const ViewCamera &camera, double x, double y);
// A part of the image, in pixels.
struct ImagePart {
    std::int32_t left = 0, top = 0, width = 0, height = 0;
};

// Entities on each layer (top-level entities and inserts, by the layer they were placed on).
using LayerCounts = std::array<std::uint64_t, kLayerCount>;
LayerCounts CountByLayer(const DrawingStore &store);
// Entities on all of a group's layers.
std::uint64_t GroupCount(const LayerCounts &counts, std::size_t group);

// A distance between two drawing points in real size: drawing units times the layer group's scale, as the
// script writes them.
double RealDistance(PlanePoint a, PlanePoint b, double groupScale);

class DrawingView {
public:
    // Keeps a reference to the store, which must outlive the view and not change under it.
    explicit DrawingView(const DrawingStore &store);

    const DrawingStore &Store() const { return store; }
    const LayerCounts &Counts() const { return counts; }
    // Points of the drawing left out of its extents for a coordinate that is no number.
    std::uint64_t NotFinite() const { return extents.notFinite; }

    // The whole drawing, as the preview fits it, in an image of this size.
    ViewCamera Fit(std::int32_t width, std::int32_t height) const;
    // Zoomed by `factor` about pixel (x, y), which stays over the same drawing point; the scale is kept between
    // a fiftieth of the fitted one and where the drawing's coordinates would outgrow the pixels.
    ViewCamera Zoom(const ViewCamera &camera, double x, double y, double factor) const;
    // Moved so that the drawing follows the hand by (dx, dy) pixels.
    static ViewCamera Pan(const ViewCamera &camera, double dx, double dy);
    // The rectangle between two pixels filling the image.
    ViewCamera ZoomToRectangle(const ViewCamera &camera, PlanePoint corner1, PlanePoint corner2) const;
    // The same centre and scale in an image of a new size.
    static ViewCamera Resize(const ViewCamera &camera, std::int32_t width, std::int32_t height);

    // Draws an image of the camera's size: white background, the entities on shown layers that reach it,
    // block inserts as the preview places them, the reference point. With `part`, only what reaches that part
    // of the image is drawn, each entity whole and in the whole image's pixels, so that the part's pixels are
    // those of the whole image. Returns how many inserts the member budget left out.
    std::size_t Draw(Canvas &canvas, const ViewCamera &camera, const HiddenLayers &hidden,
                     const std::optional<ImagePart> &part = std::nullopt) const;
    // The key point (an end, a middle, a centre) of a shown entity nearest pixel (x, y), within `reach` pixels.
    std::optional<PlanePoint> SnapNear(const ViewCamera &camera, double x, double y, double reach,
                                       const HiddenLayers &hidden) const;
    // Finds where each entity lies, so that a view of part of the drawing tests only the entities near it.
    void PrepareIndex() const;

private:
    double ClampScale(double scale) const;

    const DrawingStore &store;
    DrawingExtents extents;
    DrawingExtents shown;  // what the file shows, texts by their cells: what Fit fits
    DefinitionBoxes definitionBoxes;
    // Found when first needed, or when the window has a moment after showing the first image: the whole view
    // needs none of it.
    mutable std::optional<EntityGrid> grid;
    PlacedInserts placedInserts;
    LayerCounts counts{};
    double fittedScale = 1, largestScale = 1;
};

}  // namespace korvel
