// A resizable view of a drawing.
#include "preview/drawing_view.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "preview/preview.h"
#include "preview/snap.h"
#include "reader/drawing_rules.h"

namespace korvel {

namespace {

// How far pens, dots and fixed-size markers reach past an entity's own box, in pixels.
constexpr double kPenReachPixels = 8;
// The view zooms out to a fiftieth of the fitted drawing, and in until the drawing would span this many
// pixels: beyond, the canvases' coordinates would overflow.
constexpr double kFurthestOut = 1.0 / 50;
constexpr double kWidestPixels = 0x1p24;

}  // namespace

PreviewView ViewOf(const ViewCamera &c) {
    PreviewView v;
    v.width = c.width;
    v.height = c.height;
    v.scale = c.scale;
    v.minX = c.centreX - c.width / 2.0 / c.scale;
    v.maxX = c.centreX + c.width / 2.0 / c.scale;
    v.minY = c.centreY - c.height / 2.0 / c.scale;
    v.maxY = c.centreY + c.height / 2.0 / c.scale;
    return v;
}

PlanePoint DrawingPointAt(const ViewCamera &c, double x, double y) {
    const PreviewView v = ViewOf(c);
    return {v.minX + x / c.scale, v.minY + (c.height - y) / c.scale};
}

LayerCounts CountByLayer(const DrawingStore &store) {
    LayerCounts counts{};
    const auto countAll = [&](const auto &entities) {
        for (const auto &entity : entities)
            if (const auto index = LayerIndexOf(entity.base)) counts[*index]++;
    };
    countAll(store.lines);
    countAll(store.arcs);
    countAll(store.points);
    countAll(store.texts);
    countAll(store.dimensions);
    countAll(store.solids);
    countAll(store.inserts);
    return counts;
}

std::uint64_t GroupCount(const LayerCounts &counts, std::size_t group) {
    std::uint64_t total = 0;
    for (std::size_t layer = 0; layer < kLayersPerGroup; layer++)
        total += counts[group * kLayersPerGroup + layer];
    return total;
}

double RealDistance(PlanePoint a, PlanePoint b, double groupScale) {
    return std::hypot(b.x - a.x, b.y - a.y) * groupScale;
}

DefinitionBoxes BoxesOfPlacedDefinitions(const DrawingStore &store) {
    DefinitionBoxes boxes;
    ForEachPlacedInsert(store, [&](const TclpEntBlockDef &definition, const BlockPlacement &) {
        if (auto [at, made] = boxes.try_emplace(&definition); made) at->second = BoxOf(definition);
    });
    return boxes;
}

DrawingView::DrawingView(const DrawingStore &store)
    : store(store),
      extents(ComputeDrawnExtents(store)),
      shown(ComputeShownExtents(store)),
      definitionBoxes(BoxesOfPlacedDefinitions(store)),
      placedInserts(store),
      counts(CountByLayer(store)) {
    fittedScale = FitPreviewView(shown, 1000, 1000).scale / 1000;  // per pixel of the image's smaller side
    // Spans past the largest double (-1e308 to 1e308) count as the largest.
    const double span = std::min(std::max({extents.maxX - extents.minX, extents.maxY - extents.minY, 1e-6}),
                                 std::numeric_limits<double>::max());
    largestScale = kWidestPixels / span;
}

double DrawingView::ClampScale(double scale) const { return std::clamp(scale, 0.0, largestScale); }

bool IsFinite(const ViewCamera &c) {
    const PreviewView v = ViewOf(c);
    return std::isfinite(c.centreX) && std::isfinite(c.centreY) && std::isfinite(c.scale) && c.scale > 0 &&
           std::isfinite(v.minX) && std::isfinite(v.maxX) && std::isfinite(v.minY) && std::isfinite(v.maxY);
}

namespace {

// A move that would leave the numbers (a pan or zoom far past the largest double) changes nothing.
ViewCamera FiniteOr(const ViewCamera &moved, const ViewCamera &before) { return IsFinite(moved) ? moved : before; }

}  // namespace

ViewCamera DrawingView::Fit(std::int32_t width, std::int32_t height) const {
    const PreviewView fitted = FitPreviewView(shown, width, height);
    ViewCamera c;
    c.width = width;
    c.height = height;
    c.scale = ClampScale(fitted.scale);
    c.centreX = fitted.minX / 2 + fitted.maxX / 2;
    c.centreY = fitted.minY / 2 + fitted.maxY / 2;
    // A drawing reaching to the largest doubles: centred on its extents, and zoomed in until the window's
    // edges are numbers.
    if (!IsFinite(c)) {
        c.centreX = shown.minX / 2 + shown.maxX / 2;
        c.centreY = shown.minY / 2 + shown.maxY / 2;
        c.scale = std::max(c.scale, std::numeric_limits<double>::min());
        while (!IsFinite(c) && c.scale < largestScale)
            c.scale *= 2;
    }
    return c;
}

ViewCamera DrawingView::Zoom(const ViewCamera &camera, double x, double y, double factor) const {
    const double smallest = fittedScale * std::min(camera.width, camera.height) * kFurthestOut;
    const double scale = std::clamp(camera.scale * factor, std::min(smallest, camera.scale), largestScale);
    const PlanePoint held = DrawingPointAt(camera, x, y);
    ViewCamera c = camera;
    c.scale = scale;
    // The held point stays under (x, y).
    c.centreX = held.x - (x - camera.width / 2.0) / scale;
    c.centreY = held.y + (y - camera.height / 2.0) / scale;
    return FiniteOr(c, camera);
}

ViewCamera DrawingView::Pan(const ViewCamera &camera, double dx, double dy) {
    ViewCamera c = camera;
    c.centreX -= dx / camera.scale;
    c.centreY += dy / camera.scale;
    return FiniteOr(c, camera);
}

ViewCamera DrawingView::ZoomToRectangle(const ViewCamera &camera, PlanePoint corner1, PlanePoint corner2) const {
    const double w = std::max(std::fabs(corner2.x - corner1.x), 1.0),
                 h = std::max(std::fabs(corner2.y - corner1.y), 1.0);
    const PlanePoint middle = DrawingPointAt(camera, (corner1.x + corner2.x) / 2, (corner1.y + corner2.y) / 2);
    ViewCamera c = camera;
    c.scale = ClampScale(camera.scale * std::min(camera.width / w, camera.height / h));
    c.centreX = middle.x;
    c.centreY = middle.y;
    return FiniteOr(c, camera);
}

ViewCamera DrawingView::Resize(const ViewCamera &camera, std::int32_t width, std::int32_t height) {
    ViewCamera c = camera;
    c.width = width;
    c.height = height;
    return c;
}

std::optional<PlanePoint> DrawingView::SnapNear(const ViewCamera &camera, double x, double y, double reach,
                                                const HiddenLayers &hidden) const {
    const PlanePoint at = DrawingPointAt(camera, x, y);
    const double units = reach / camera.scale;
    WorldBox window;
    window.AddAround(at.x, at.y, units);
    PrepareIndex();
    const std::optional<EntitySelection> nearby = grid->Select(window);
    return NearestKeyPoint(store, nearby ? &*nearby : nullptr, hidden, at, units);
}

void DrawingView::PrepareIndex() const {
    if (!grid) grid.emplace(store, extents, placedInserts, definitionBoxes);
}

std::size_t DrawingView::Draw(Canvas &canvas, const ViewCamera &camera, const HiddenLayers &hidden,
                              const std::optional<ImagePart> &part) const {
    PreviewSurface surface(canvas);
    surface.view = ViewOf(camera);
    // A white sheet to the last pixel whatever pen the canvas's last image ended with: a pen without style
    // would leave the right column and bottom row of that image.
    canvas.SetPen(Pen{});
    FillPreviewBackground(canvas, camera.width, camera.height, {255, 255, 255});
    const PreviewView &v = surface.view;
    const double reach = kPenReachPixels / camera.scale;
    DrawFilter filter{hidden, {}, &definitionBoxes, &placedInserts};
    if (part) {
        const PlanePoint topLeft = DrawingPointAt(camera, part->left, part->top),
                         bottomRight = DrawingPointAt(camera, part->left + part->width, part->top + part->height);
        filter.window.Add(topLeft.x - reach, bottomRight.y - reach);
        filter.window.Add(bottomRight.x + reach, topLeft.y + reach);
    } else {
        filter.window.Add(v.minX - reach, v.minY - reach);
        filter.window.Add(v.maxX + reach, v.maxY + reach);
    }
    // The whole drawing in view: every entity is worth testing.
    const bool whole = filter.window.minX <= extents.minX && filter.window.minY <= extents.minY &&
                       filter.window.maxX >= extents.maxX && filter.window.maxY >= extents.maxY;
    if (!whole) PrepareIndex();
    const std::optional<EntitySelection> nearby = whole ? std::nullopt : grid->Select(filter.window);
    if (nearby) filter.nearby = &*nearby;
    surface.filter = &filter;
    surface.atViewResolution = true;
    // A few thousand entities near a strip are drawn sooner here than handed to threads and back.
    constexpr std::size_t kFewForThreads = 20000;
    return DrawPreview(surface, store,
                       nearby && nearby->Count() <= kFewForThreads ? std::optional<unsigned>(1) : std::nullopt);
}

}  // namespace korvel
