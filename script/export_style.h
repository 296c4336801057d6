// How an exported figure looks, for both formats: its colour as Jw_cad shows it on a white sheet, its line
// type's pattern and its pen width.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "preview/canvas.h"
#include "reader/drawing_store.h"

namespace korvel {

// A line type's name, what Jw_cad calls it, and its pattern in paper millimetres: dashes positive, gaps
// negative, 0 a dot; no elements for a continuous line.
struct LineTypePattern {
    std::string_view name, description;
    std::span<const double> elements;
};

// Jw_cad's line types 2 to 9; the first entry (continuous) stands for 1 and every other number.
std::span<const LineTypePattern> JwLineTypes();
const LineTypePattern &LineTypeOf(const TclpEntBase &base);

// The entity's colour: its colour number's, or a solid's own RGB.
Rgb ColorOf(const TclpEntBase &base);
Rgb ColorOf(const TclpEntSolid &solid);

// A pen width (hundredths of a millimetre) as the nearest of DXF's line weights; -3 (the default) for 0.
std::int32_t LineWeightOf(const TclpEntBase &base);

}  // namespace korvel
