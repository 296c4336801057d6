// Point entities in the preview: a marker by code, turned and scaled, or a dot sized by colour number.
#pragma once

#include <cstdint>

#include "preview/view.h"

namespace korvel {

// `temporary` 1 draws the fixed 3-pixel circle of a temporary point; code 0 (and codes outside the
// marker table) draw the dot. Leaves a filled marker's brush set.
void DrawPointMarker(PreviewSurface &surface, std::int32_t temporary, std::int32_t code, double x, double y,
                     double angle, double scale, std::uint16_t colorNumber);

}  // namespace korvel
