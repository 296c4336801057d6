// Fuzz target: any bytes read every way (fuzz/read_checks.h), then a conversion with every option on, the preview on a
// recording canvas, DXF and SVG exports, and the drawing view: its camera fitted, zoomed and panned (always numbers),
// and its images of the whole drawing and of a part, found through its grid.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "fuzz/read_checks.h"
#include "preview/drawing_view.h"
#include "preview/preview.h"
#include "preview/recording_canvas.h"
#include "script/convert.h"
#include "script/export.h"
#include "tests/support/converted_entities.h"
#include "tests/support/dxf_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    // An exact-size copy, so that AddressSanitizer sees any read past the end.
    const std::vector<std::uint8_t> bytes(data, data + size);
    korvel::DrawingStore store;
    korvel::ScriptDrawing script;
    const bool stream = korvel::fuzz::ReadEveryWay(bytes, store, script);
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
