// UnitGra's preview driver: every entity of the drawing, block inserts expanded one level, then the
// reference-point marker.
#pragma once

#include <cstdint>
#include <optional>

#include "preview/canvas.h"
#include "preview/view.h"
#include "reader/drawing_store.h"

namespace korvel {

// The size of the window's preview image.
constexpr std::int32_t kPreviewWidth = 177;
constexpr std::int32_t kPreviewHeight = 129;

// Draws the store with the view already set on the surface. Returns how many block inserts were left out
// for the block member budget (0 as a rule); a red flag in the top-right corner then says so.
// A large drawing is drawn in parts, up to `partsAhead` at once on threads of their own (unless given, as
// many as are worth it), and replayed in order: the surface receives the operations of one pass.
std::size_t DrawPreview(PreviewSurface &surface, const DrawingStore &store,
                        std::optional<unsigned> partsAhead = std::nullopt);

// The whole preparation the import does on a fresh image: white background, blue frame, then, for a
// drawing that was read, the view fitted to its extents and the drawing itself.
void PrepareBlankPreview(PreviewSurface &surface, std::int32_t width, std::int32_t height);
std::size_t RenderDrawingPreview(PreviewSurface &surface, const DrawingStore &store,
                                 std::optional<unsigned> partsAhead = std::nullopt);

}  // namespace korvel
