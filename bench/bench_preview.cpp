// Preview speed on a large mixed drawing, with the Qt canvas and with the recording canvas, each next
// to the time to read the same drawing, and on the Qt canvas drawn in one pass on this thread.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "bench/bench_support.h"
#include "platform/raster_canvas.h"
#include "preview/preview.h"
#include "preview/recording_canvas.h"
#include "reader/jclfunit.h"

using namespace korvel;

namespace {

void Preview(Canvas &canvas, const DrawingStore &store, std::optional<unsigned> partsAhead = std::nullopt) {
    PreviewSurface surface(canvas);
    PrepareBlankPreview(surface, kPreviewWidth, kPreviewHeight);
    RenderDrawingPreview(surface, store, partsAhead);
}

}  // namespace

int main(int argc, char **argv) {
    const std::size_t entities = bench::ArgumentOr(argc, argv, "--entities", 1000000);
    const std::string path = (std::filesystem::temp_directory_path() / "korvel_bench_preview.jwwin").string();
    if (bench::WriteMixedStream(path, entities, bench::MixArgument(argc, argv)) == 0) {
        std::fprintf(stderr, "bench_preview: cannot write %s\n", path.c_str());
        return 1;
    }
    // Rounds of read, recording preview and Qt preview in turn, the best of each: a slow spell of the
    // machine then weighs on all three alike.
    DrawingStore store;
    bool complete = false;
    std::size_t operations = 0;
    double readSeconds = 1e300, recordingSeconds = 1e300, qtSeconds = 1e300, oneThreadSeconds = 1e300;
    for (int round = 0; round < 7; round++) {
        readSeconds = std::min(readSeconds, bench::BestSeconds(1, [&] { complete = ReadClipFile(path, store); }));
        recordingSeconds = std::min(recordingSeconds, bench::BestSeconds(1, [&] {
                                        operations = 0;
                                        RecordingCanvas canvas([&](const DrawOp &) { operations++; });
                                        Preview(canvas, store);
                                    }));
        qtSeconds = std::min(qtSeconds, bench::BestSeconds(1, [&] {
                                 const std::unique_ptr<RasterCanvas> canvas =
                                     CreateRasterCanvas(kPreviewWidth, kPreviewHeight);
                                 Preview(*canvas, store);
                             }));
        oneThreadSeconds = std::min(oneThreadSeconds, bench::BestSeconds(1, [&] {
                                        const std::unique_ptr<RasterCanvas> canvas =
                                            CreateRasterCanvas(kPreviewWidth, kPreviewHeight);
                                        Preview(*canvas, store, 1);
                                    }));
    }
    std::filesystem::remove(path);

    std::printf("drawing: %zu entities, read %s, %zu drawing operations\n", entities, complete ? "complete" : "FAILED",
                operations);
    std::printf("ReadClipFile:              %8.1f ms\n", readSeconds * 1e3);
    std::printf("preview, recording canvas: %8.1f ms  (%.2fx the read)\n", recordingSeconds * 1e3,
                recordingSeconds / readSeconds);
    std::printf("preview, Qt canvas:        %8.1f ms  (%.2fx the read; goal <= 3x)\n", qtSeconds * 1e3,
                qtSeconds / readSeconds);
    std::printf("preview, Qt canvas, 1 thread: %5.1f ms  (%.2fx the preview in parts)\n", oneThreadSeconds * 1e3,
                oneThreadSeconds / qtSeconds);
    return complete ? 0 : 1;
}
