// The conversion driver: the whole drawing as a Vantra script, under the four options.
#pragma once

#include <cstdio>

#include "reader/drawing_store.h"
#include "reader/drawing_summary.h"
#include "script/pen_colors.h"
#include "script/script_sink.h"

namespace korvel {

struct ConvertOptions {
    bool colors = false;    // write "PEN" lines
    bool layers = false;    // write "LAYER" lines
    bool hatching = false;  // convert hatching entities (flag 0x0020) too
    bool solids = false;    // convert solids
};

// Writes the header lines, then solids (if chosen), lines, arcs and points in array order. Stops at the
// first failed write and returns false; what was written before stays.
bool ConvertDrawing(const DrawingStore &store, const ConvertOptions &options, const PenColorTable &pens,
                    ScriptSink &out);
bool ConvertDrawing(const ScriptDrawing &drawing, const ConvertOptions &options, const PenColorTable &pens,
                    ScriptSink &out);

// The whole script into an open file, buffered; false when a write failed.
bool WriteScriptFile(std::FILE *file, const DrawingStore &store, const ConvertOptions &options,
                     const PenColorTable &pens);
bool WriteScriptFile(std::FILE *file, const ScriptDrawing &drawing, const ConvertOptions &options,
                     const PenColorTable &pens);

}  // namespace korvel
