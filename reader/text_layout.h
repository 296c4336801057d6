// How Jw_cad lays a text out along its baseline: the string centred on the baseline's middle, one cell per
// character (a full-width one `w` wide, a half-width one half that) with the spacing after each, the cells
// standing on the baseline (or hanging from it, for a negative height).
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "geom/plane.h"

namespace korvel {

struct TextLayout {
    double angle = 0;  // of the baseline, radians
    double h = 0;      // cell height
    double w = 0;      // a full-width cell's width, and the spacing after it, as fitted to the baseline
    double s = 0;
    double perByte = 0;  // the string's length over its bytes
    Rotation direction{0};
    PlanePoint anchor;  // the top-left corner of the first cell
};

// None for a text of no height or no baseline, which is drawn as its baseline.
std::optional<TextLayout> LayOutText(double x1, double y1, double x2, double y2, double h, double w, double s,
                                     std::size_t bytes);

// The point `along` the text's direction and `up` across it from the first cell's top-left corner.
PlanePoint PointInText(const TextLayout &layout, double along, double up);

// A character's cell width and the advance to the next, by whether it is full-width (two bytes).
double CellWidth(const TextLayout &layout, bool wide);
double CellAdvance(const TextLayout &layout, bool wide);
// From the first cell's start to the last cell's end (Shift-JIS `text`).
double CellsLength(const TextLayout &layout, std::string_view text);

}  // namespace korvel
