// The drawing view on a large drawing (the blocks mix by default): its first whole view against the preview of
// the same store, its frames while panning and zooming the whole drawing and a tenth of it, and its memory
// against the store's. `bench_view --open PATH` only opens the view on a stream, for hostile.py.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>

#include "bench/bench_support.h"
#include "platform/raster_canvas.h"
#include "platform/view_surface.h"
#include "preview/drawing_view.h"
#include "preview/preview.h"
#include "reader/jclfunit.h"

using namespace korvel;

namespace {

// What opening the view costs a drawing: its first whole image, then where everything lies, as the window
// does; for measuring the process's peak memory from outside.
int OpenViewOnly(const char *path, std::int32_t width, std::int32_t height) {
    DrawingStore store;
    if (!ReadClipFile(path, store)) return 1;
    const DrawingView view(store);
    const std::unique_ptr<RasterCanvas> image = CreateRasterCanvas(width, height);
    view.Draw(*image, view.Fit(width, height), {});
    view.PrepareIndex();
    return 0;
}

}  // namespace

int main(int argc, char **argv) {
    const std::int32_t width = 1280, height = 800;
    if (argc == 3 && std::string(argv[1]) == "--open") return OpenViewOnly(argv[2], width, height);
    const std::size_t entities = bench::ArgumentOr(argc, argv, "--entities", 1000000);
    const std::string path = (std::filesystem::temp_directory_path() / "korvel_bench_view.jwwin").string();
    if (bench::WriteMixedStream(path, entities, argc > 1 ? bench::MixArgument(argc, argv) : bench::Mix::Blocks) == 0) {
        std::fprintf(stderr, "bench_view: cannot write %s\n", path.c_str());
        return 1;
    }
    const std::size_t before = bench::ResidentBytes();
    DrawingStore store;
    const bool complete = ReadClipFile(path, store);
    std::filesystem::remove(path);
    const std::size_t storeBytes = bench::ResidentBytes() - before;

    // The view's own memory: what it keeps, its image, and what a whole draw takes on the way.
    bench::ResetPeakMemory();
    const std::size_t withStore = bench::ResidentBytes();
    double firstSeconds = 0;
    std::unique_ptr<RasterCanvas> image;
    std::unique_ptr<DrawingView> view;
    firstSeconds = bench::BestSeconds(1, [&] {
        view = std::make_unique<DrawingView>(store);
        image = CreateRasterCanvas(width, height);
        view->Draw(*image, view->Fit(width, height), {});
    });
    view->PrepareIndex();  // as the window does once the first image is up
    const std::size_t viewBytes = bench::PeakResidentBytes() - withStore;

    double previewSeconds = 1e300;
    for (int round = 0; round < 5; round++) {
        previewSeconds = std::min(previewSeconds, bench::BestSeconds(1, [&] {
                                      const std::unique_ptr<RasterCanvas> canvas =
                                          CreateRasterCanvas(kPreviewWidth, kPreviewHeight);
                                      PreviewSurface surface(*canvas);
                                      PrepareBlankPreview(surface, kPreviewWidth, kPreviewHeight);
                                      RenderDrawingPreview(surface, store);
                                  }));
        firstSeconds = std::min(firstSeconds, bench::BestSeconds(1, [&] {
                                    const DrawingView fresh(store);
                                    fresh.Draw(*image, fresh.Fit(width, height), {});
                                }));
    }

    const ViewCamera whole = view->Fit(width, height);
    const ViewCamera tenth = view->Zoom(whole, width * 0.4, height * 0.6, std::sqrt(10.0));
    const auto redraw = [&](const ViewCamera &camera) {
        return bench::BestSeconds(3, [&] { view->Draw(*image, camera, {}); });
    };
    const double indexSeconds = bench::BestSeconds(3,
                                                   [&] {
                                                       const DrawingView fresh(store);
                                                       fresh.PrepareIndex();
                                                   }) -
                                bench::BestSeconds(3, [&] { const DrawingView fresh(store); });
    std::printf("drawing: %zu entities, read %s; store %.1f MB\n", entities, complete ? "complete" : "FAILED",
                storeBytes / 1e6);
    std::printf("preview, %dx%d:             %8.1f ms\n", kPreviewWidth, kPreviewHeight, previewSeconds * 1e3);
    std::printf("first whole view, %dx%d:   %8.1f ms  (%.2fx the preview; goal <= 2x)\n", width, height,
                firstSeconds * 1e3, firstSeconds / previewSeconds);
    std::printf("then, while it is looked at, finding where everything lies: %.1f ms\n", indexSeconds * 1e3);

    // Frames as the window makes them: a drag of 30 moves, then 8 wheel steps in and 8 out about the cursor,
    // each the slowest frame of its kind; then the redraw once the hand rests.
    const std::unique_ptr<ImageViewSurface> surface = CreateViewSurface();
    ViewFrames frames(*surface);
    frames.SetDrawing(view.get());
    for (const auto &[name, start] : {std::pair{"whole drawing", whole}, std::pair{"a tenth of it", tenth}}) {
        ViewCamera camera = start;
        frames.Show(camera, {});
        double panning = 0, zooming = 0;
        for (int i = 0; i < 30; i++) {
            camera = DrawingView::Pan(camera, i < 15 ? 23 : -17, i % 3 == 0 ? -9 : 4);
            panning = std::max(panning, bench::BestSeconds(1, [&] { frames.Show(camera, {}); }));
        }
        for (int i = 0; i < 16; i++) {
            camera = view->Zoom(camera, width * 0.3, height * 0.7, i < 8 ? 1.25 : 0.8);
            zooming = std::max(zooming, bench::BestSeconds(1, [&] { frames.Show(camera, {}); }));
        }
        const double settling = bench::BestSeconds(1, [&] { frames.Settle(); });
        std::printf(
            "%-14s redraw %6.1f ms; frames: panning %5.1f ms, zooming %5.1f ms (goal <= 50 ms); "
            "at rest %6.1f ms\n",
            name, redraw(start) * 1e3, panning * 1e3, zooming * 1e3, settling * 1e3);
    }
    std::printf("view memory: %.1f MB, %.0f%% of the store's (goal <= 25%%)\n", viewBytes / 1e6,
                100.0 * viewBytes / storeBytes);
    return complete ? 0 : 1;
}
