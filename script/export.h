// Export: the whole drawing as a DXF or SVG file, blocks kept as blocks.
#pragma once

#include <cstdio>
#include <optional>
#include <string_view>

#include "reader/drawing_store.h"
#include "script/conversion_report.h"
#include "script/export_walk.h"
#include "script/script_sink.h"

namespace korvel {

enum class ExportFormat { Dxf, Svg };

// The format a file name's extension names (".dxf", ".svg", in any case), if any.
std::optional<ExportFormat> ExportFormatOfName(std::string_view path);
// ".dxf" or ".svg".
std::string_view ExtensionOf(ExportFormat format);

// Writes the drawing; false when a write failed or `progress` stopped it. `report`, when given, receives
// what was written and left out, top-level entities by kind.
bool ExportDrawing(const DrawingStore &store, ExportFormat format, const ExportOptions &options, ScriptSink &out,
                   ConversionReport *report = nullptr);
bool WriteExportFile(std::FILE *file, const DrawingStore &store, ExportFormat format, const ExportOptions &options,
                     ConversionReport *report = nullptr);

// Each format's writer.
bool WriteDxf(const DrawingStore &store, const ExportOptions &options, ScriptSink &out, ConversionReport &report);
bool WriteSvg(const DrawingStore &store, const ExportOptions &options, ScriptSink &out, ConversionReport &report);

}  // namespace korvel
