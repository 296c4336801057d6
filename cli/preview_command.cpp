// korvel-cli preview: the window's preview of a drawing as PNG, and optionally its draw-call trace.
#include "cli/preview_command.h"

#include <charconv>
#include <filesystem>

#include "files/file_path.h"
#include "files/output_file.h"
#include "platform/raster_canvas.h"
#include "preview/drawing_view.h"
#include "preview/preview.h"
#include "preview/recording_canvas.h"
#include "shell/input_list.h"

namespace korvel::cli {

namespace {

constexpr std::int32_t kMaxPreviewSide = 10000;

bool ParseSide(std::string_view text, std::int32_t &value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value >= 1 && value <= kMaxPreviewSide;
}

// The import's preparation of a fresh image, then the drawing; the block inserts left out.
std::size_t Draw(Canvas &canvas, const DrawingStore &store, const PreviewRequest &request) {
    if (request.view) {
        // What the file shows: its hidden layers' entities, read with --all-layers, stay hidden.
        const DrawingView view(store);
        return view.Draw(canvas, view.Fit(request.width, request.height), HiddenInFile(store));
    }
    PreviewSurface surface(canvas);
    PrepareBlankPreview(surface, request.width, request.height);
    return RenderDrawingPreview(surface, store);
}

std::string LeftOutMessage(const DrawingStore &store, std::size_t leftOut) {
    return std::to_string(leftOut) + " of " + std::to_string(store.inserts.size()) +
           " block inserts left out: their members exceed the budget of " + std::to_string(BlockMemberBudget(store)) +
           " placed block members (a text counts " + std::to_string(kCharacterWeight) + " per character)";
}

bool WriteTrace(std::FILE *file, const DrawingStore &store, const PreviewRequest &request) {
    bool ok = true;
    std::string line;
    RecordingCanvas trace([&](const DrawOp &op) {
        line = TraceLine(op);
        line += '\n';
        ok = ok && std::fwrite(line.data(), 1, line.size(), file) == line.size();
    });
    const std::size_t leftOut = Draw(trace, store, request);
    if (leftOut > 0) {
        line = "incomplete: " + LeftOutMessage(store, leftOut) + "\n";
        ok = ok && std::fwrite(line.data(), 1, line.size(), file) == line.size();
    }
    return ok;
}

}  // namespace

bool ParsePreviewSize(std::string_view text, PreviewRequest &request) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos) return false;
    return ParseSide(text.substr(0, x), request.width) && ParseSide(text.substr(x + 1), request.height);
}

namespace {

// A PNG under another name (x.jpg) would be a wrong result; devices and pipes have no extension to check.
bool NamesAPng(const std::string &path) {
    if (path == "-" || path.ends_with(".png") || path.ends_with(".PNG")) return true;
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(FilePath(path), ec);
    return std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
}

}  // namespace

int RunPreview(Input &input, const PreviewRequest &request) {
    if (!NamesAPng(request.imagePath))
        return Fail(kUsage, Tr("{0}: preview writes PNG only: name the image .png", {request.imagePath}));
    if (request.imagePath == "-" && IsTerminal(stdout))
        return Fail(kUsage, Tr("a PNG image is not written to a terminal: use -o FILE.png, or pipe it"));
    if (NameOneFile(request.imagePath, request.tracePath))
        return Fail(kUsage, Tr("{0}: is named for both the image and the trace; name two files", {request.tracePath}));
    for (const std::string *output : {&request.imagePath, &request.tracePath})
        if (const std::optional<std::string> same = OutputOverInput(*output, {input.Path()}))
            return Fail(kUsage, Tr("{0}: is the input {1}; not written over (name another output)", {*output, *same}));
    DrawingStore store;
    const int loaded = LoadDrawing(input, store);
    if (loaded != kOk) return loaded;

    const std::unique_ptr<RasterCanvas> canvas = CreateRasterCanvas(request.width, request.height);
    const std::size_t leftOut = Draw(*canvas, store, request);
    if (leftOut > 0)
        Tell("korvel-cli: " +
             Tr("warning: {0}: {1} of {2} block inserts left out: their members exceed the budget of {3} placed "
                "block members (a text counts {4} per character)",
                {input.Name(), std::to_string(leftOut), std::to_string(store.inserts.size()),
                 std::to_string(BlockMemberBudget(store)), std::to_string(kCharacterWeight)}));
    std::string png;
    if (!canvas->EncodePng(png)) return Fail(kOutputFailed, Tr("the preview image could not be encoded"));
    const auto writePng = [&](std::FILE *file) { return std::fwrite(png.data(), 1, png.size(), file) == png.size(); };
    if (const Failure failed = WriteOutputFile(request.imagePath, writePng, request.output))
        return Fail(kOutputFailed, Tr("not written: {0}", {*failed}));
    if (!request.tracePath.empty()) {
        const auto writeTrace = [&](std::FILE *file) { return WriteTrace(file, store, request); };
        if (const Failure failed = WriteOutputFile(request.tracePath, writeTrace, request.output))
            return Fail(kOutputFailed, Tr("not written: {0}", {*failed}));
    }
    return kOk;
}

}  // namespace korvel::cli
