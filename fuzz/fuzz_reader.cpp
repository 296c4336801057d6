// Fuzz target: any bytes through the header check, the reader, a conversion with every option on, and
// the preview on a recording canvas.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "preview/preview.h"
#include "preview/recording_canvas.h"
#include "reader/jclfunit.h"
#include "script/convert.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    // An exact-size copy, so that AddressSanitizer sees any read past the end.
    const std::vector<std::uint8_t> bytes(data, data + size);
    korvel::CheckClipBytes(bytes);
    korvel::DrawingStore store;
    korvel::ReadClipBytes(bytes, store);
    static const korvel::PenColorTable pens = [] {
        korvel::PenColorTable table;
        korvel::FillPenColorTable(table);
        return table;
    }();
    // Whatever was read, complete or not, must convert without a crash or a hang.
    korvel::NullScriptSink sink;
    korvel::ConvertDrawing(store, korvel::ConvertOptions{true, true, true, true}, pens, sink);
    // And preview without a crash; the operations are formatted as the trace would be, then dropped.
    korvel::RecordingCanvas canvas([](const korvel::DrawOp &op) { korvel::TraceLine(op); });
    korvel::PreviewSurface surface(canvas);
    korvel::PrepareBlankPreview(surface, korvel::kPreviewWidth, korvel::kPreviewHeight);
    korvel::RenderDrawingPreview(surface, store);
    return 0;
}
