// Export: the format chosen, the writer run, the file written through a buffer.
#include "script/export.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace korvel {

std::optional<ExportFormat> ExportFormatOfName(std::string_view path) {
    if (path.size() < 4) return std::nullopt;
    std::string extension(path.substr(path.size() - 4));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".dxf") return ExportFormat::Dxf;
    if (extension == ".svg") return ExportFormat::Svg;
    return std::nullopt;
}

std::string_view ExtensionOf(ExportFormat format) { return format == ExportFormat::Dxf ? ".dxf" : ".svg"; }

bool ExportDrawing(const DrawingStore &store, ExportFormat format, const ExportOptions &options, ScriptSink &out,
                   ConversionReport *report) {
    ConversionReport counted;
    const bool done =
        format == ExportFormat::Dxf ? WriteDxf(store, options, out, counted) : WriteSvg(store, options, out, counted);
    if (report) *report = counted;
    return done && out.Ok();
}

bool WriteExportFile(std::FILE *file, const DrawingStore &store, ExportFormat format, const ExportOptions &options,
                     ConversionReport *report) {
    FileScriptSink sink(file);
    return ExportDrawing(store, format, options, sink, report) && sink.Finish();
}

}  // namespace korvel
