// A drawing's text in the preview: characters laid out one by one along the baseline, each with a font
// fitted to its cell; too small a text becomes its baseline, too tall a one an outline.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "preview/view.h"

namespace korvel {

enum TextStyleBits : std::int32_t { kTextBold = 1, kTextItalic = 2 };

// The face name as the font description holds it: up to the first NUL, then at most 31 bytes, cut
// between whole Shift-JIS characters.
std::string FontFaceField(std::string_view fontName);

// Start and end of the baseline, character height h, full-width character width w and spacing s, all
// in drawing units; the pen set by the caller gives the colour.
void DrawPreviewText(PreviewSurface &surface, std::int32_t styleBits, double x1, double y1, double x2, double y2,
                     double h, double w, double s, std::string_view fontName, std::string_view text);

}  // namespace korvel
