// The conversion driver: the whole drawing as a Vantra script, under the four options.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>

#include "reader/drawing_store.h"
#include "reader/drawing_summary.h"
#include "reader/layers.h"
#include "script/conversion_report.h"
#include "script/pen_colors.h"
#include "script/script_sink.h"

namespace korvel {

struct ConvertOptions {
    bool colors = false;          // write "PEN" lines
    bool layers = false;          // write "LAYER" lines
    bool hatching = false;        // convert hatching entities (flag 0x0020) too
    bool solids = false;          // convert solids
    bool blocks = false;          // write block figures' members, placed (a DrawingStore's; a ScriptDrawing keeps none)
    bool dimensions = false;      // write dimensions' lines (likewise)
    bool groupScales = false;     // scale each entity by its own layer group's scale, not group 0's
    HiddenLayers hiddenLayers{};  // leave out what lies on these (a block figure goes with its insert's layer)
    // Told how many of the script's parts are written, of how many; false stops the conversion there (which
    // then returns false).
    std::function<bool(std::uint64_t done, std::uint64_t total)> progress{};
};

// Whether the options need the drawing's block definitions and dimensions, which a ScriptDrawing does not keep.
inline bool NeedsWholeDrawing(const ConvertOptions &options) { return options.blocks || options.dimensions; }

// Writes the header lines, then solids (if chosen), lines, arcs and points in array order, each kind followed
// by (lines only) the dimensions' lines and by the block figures' members of that kind, when chosen. Stops at
// the first failed write and returns false; what was written before stays. `report`, when given, receives what
// was written and left out.
bool ConvertDrawing(const DrawingStore &store, const ConvertOptions &options, const PenColorTable &pens,
                    ScriptSink &out, ConversionReport *report = nullptr);
bool ConvertDrawing(const ScriptDrawing &drawing, const ConvertOptions &options, const PenColorTable &pens,
                    ScriptSink &out, ConversionReport *report = nullptr);

// The whole script into an open file, buffered; false when a write failed.
bool WriteScriptFile(std::FILE *file, const DrawingStore &store, const ConvertOptions &options,
                     const PenColorTable &pens, ConversionReport *report = nullptr);
bool WriteScriptFile(std::FILE *file, const ScriptDrawing &drawing, const ConvertOptions &options,
                     const PenColorTable &pens, ConversionReport *report = nullptr);

}  // namespace korvel
