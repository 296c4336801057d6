// Fuzz target: any bytes through the header check, the reader (of streams, into a store, counting, and
// keeping the script's kinds, which must agree; or, by signature, of drawing files; each from memory and
// through the buffered file read, which must agree), a conversion with every option on, the preview on a
// recording canvas, DXF and SVG exports, and the drawing view: its camera fitted, zoomed and panned (always numbers),
// and its images of the whole drawing and of a part, found through its grid.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "preview/drawing_view.h"
#include "preview/preview.h"
#include "preview/recording_canvas.h"
#include "reader/jclfunit.h"
#include "reader/jww_file.h"
#include "script/convert.h"
#include "script/export.h"
#include "tests/support/converted_entities.h"
#include "tests/support/dxf_check.h"
#include "tests/support/summary_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    // An exact-size copy, so that AddressSanitizer sees any read past the end.
    const std::vector<std::uint8_t> bytes(data, data + size);
    korvel::DrawingStore store;
    korvel::ScriptDrawing script;
    const bool stream = korvel::KindOfInput(bytes) == korvel::InputKind::Stream;
    if (stream) {
        korvel::CheckClipBytes(bytes);
        korvel::ReadReport stored, counted;
        korvel::ReadClipBytes(bytes, store, &stored);
        // The counting read (korvel-cli info) must find exactly what the store read finds.
        korvel::DrawingSummary summary;
        korvel::ReadClipBytes(bytes, summary, &counted);
        if (!korvel::test::SameEnding(stored, counted) || !korvel::test::SameFigures(summary, store)) std::abort();
        // So must the read that keeps only the script's kinds (korvel-cli convert).
        korvel::ReadReport kept;
        korvel::ReadClipBytes(bytes, script, &kept);
        if (!korvel::test::SameEnding(stored, kept) || !korvel::test::SameFigures(script, store)) std::abort();
        // Through the buffered file reader with a buffer far smaller than the input, so that refills, growth
        // and strings across refills happen at fuzz sizes; it must read exactly what the memory read reads.
        if (std::FILE *file = fmemopen(const_cast<std::uint8_t *>(bytes.data()), size, "rb")) {
            korvel::DrawingStore buffered;
            korvel::ReadReport viaFile;
            korvel::ReadClipStream(file, size, buffered, &viaFile, 1 + size % 61);
            std::fclose(file);
            if (!korvel::test::SameEnding(stored, viaFile) || !korvel::test::SameStrings(buffered, store)) std::abort();
        }
    } else {  // a .jww or .jws file, by its signature
        korvel::CheckDrawingFileBytes(bytes);
        const korvel::DrawingFileOptions options{size % 2 == 0};
        korvel::ReadReport fromMemory;
        korvel::ReadDrawingFileBytes(bytes, store, options, &fromMemory);
        // The buffered file read (korvel-cli's for any file) must read exactly what the memory read reads.
        if (std::FILE *file = fmemopen(const_cast<std::uint8_t *>(bytes.data()), size, "rb")) {
            korvel::DrawingStore buffered;
            korvel::ReadReport viaFile;
            korvel::ReadDrawingFileStream(file, size, buffered, options, &viaFile, 1 + size % 61);
            std::fclose(file);
            if (!korvel::test::SameEnding(fromMemory, viaFile) || !korvel::test::SameStrings(buffered, store) ||
                buffered.replacedCharacters != store.replacedCharacters)
                std::abort();
        }
    }
    static const korvel::PenColorTable pens = [] {
        korvel::PenColorTable table;
        korvel::FillPenColorTable(table);
        return table;
    }();
    // Whatever was read, complete or not, must convert without a crash or a hang, to the same script from
    // either read.
    const korvel::ConvertOptions all{true, true, true, true};
    korvel::StringScriptSink sink;
    korvel::ConversionReport counted;
    korvel::ConvertDrawing(store, all, pens, sink, &counted);
    // Each entity is written or left out for one reason: the summary adds up to the drawing.
    if (counted.Written() + counted.LeftOut() != korvel::test::ConvertedEntities(store, all)) std::abort();
    if (stream) {
        korvel::StringScriptSink fromKept;
        korvel::ConvertDrawing(script, all, pens, fromKept);
        if (fromKept.text != sink.text) std::abort();
    }
    // With every part of the drawing asked for too: nested block figures, dimension lines, each group's
    // scale; and whatever the report counts must add up to what the drawing offers.
    korvel::ConvertOptions everything = all;
    everything.blocks = everything.dimensions = everything.groupScales = true;
    korvel::NullScriptSink nowhere;
    korvel::ConversionReport report;
    korvel::ConvertDrawing(store, everything, pens, nowhere, &report);
    if (report.fromBlocks > report.Written()) std::abort();
    if (report.Written() + report.LeftOut() != korvel::test::ConvertedEntities(store, everything)) std::abort();
    // Exported as DXF, at real size and on paper, the file must be one a strict reader takes; as SVG it must
    // end; and each export's report adds up to the drawing too.
    for (const bool paper : {false, true}) {
        korvel::ExportOptions exportOptions;
        exportOptions.paper = paper;
        korvel::StringScriptSink dxf;
        korvel::ConversionReport exported;
        korvel::ExportDrawing(store, korvel::ExportFormat::Dxf, exportOptions, dxf, &exported);
        if (korvel::test::DxfProblem(dxf.text)) std::abort();
        std::uint64_t entities = store.objects.size() + store.leftOnLockedLayers;
        for (const korvel::TclpEntBlockDef &definition : store.blockDefs)
            entities += definition.objects.size();
        if (exported.Written() + exported.LeftOut() != entities) std::abort();
    }
    korvel::StringScriptSink svg;
    korvel::ExportDrawing(store, korvel::ExportFormat::Svg, {}, svg);
    if (!svg.text.ends_with("</svg>\n")) std::abort();
    // And preview without a crash; the operations are formatted as the trace would be, then dropped.
    korvel::RecordingCanvas canvas([](const korvel::DrawOp &op) { korvel::TraceLine(op); });
    korvel::PreviewSurface surface(canvas);
    korvel::PrepareBlankPreview(surface, korvel::kPreviewWidth, korvel::kPreviewHeight);
    korvel::RenderDrawingPreview(surface, store);

    const korvel::DrawingView view(store);
    const korvel::ViewCamera whole = view.Fit(96, 64);
    if (!korvel::IsFinite(whole)) std::abort();
    korvel::RecordingCanvas viewCanvas([](const korvel::DrawOp &) {});
    view.Draw(viewCanvas, whole, {});
    // A part: zoomed in about a point, then dragged; each camera a number, or the one before it kept.
    korvel::ViewCamera part = view.Zoom(whole, 20 + size % 50, 10 + size % 40, 16);
    part = korvel::DrawingView::Pan(part, 37, -23);
    if (!korvel::IsFinite(part)) std::abort();
    korvel::HiddenLayers hidden;
    hidden.set(size % hidden.size());
    view.Draw(viewCanvas, part, hidden);
    return 0;
}
