// The import: Jw_cad's three clipboard formats dumped beside the program, "Jw_win" read and previewed.
#include <filesystem>
#include <vector>

#include "preview/preview.h"
#include "reader/file_path.h"
#include "reader/jclfunit.h"
#include "reader/jww_file.h"
#include "shell/capture.h"
#include "shell/form.h"

namespace korvel {

namespace {

// Shows the busy cursor for a scope, restored however the scope ends.
class BusyCursor {
public:
    explicit BusyCursor(FormControls &controls) : controls(controls) { controls.SetBusyCursor(true); }
    ~BusyCursor() { controls.SetBusyCursor(false); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    FormControls &controls;
};

}  // namespace

void TForm1::Button1Click() {
    try {
        Import();
    } catch (const ClipboardOpenError &error) {
        controls.ShowMessage(error.what());
    }
}

void TForm1::Import() {
    // Busy from the first request on: the clipboard's owner answers in its own time.
    const BusyCursor busy(controls);
    if (!ListJwFormats(clipboards, controls)) return;
    DumpListedFormats(clipboards, controls, programFolder);
    const std::string streamPath = ScratchPath(1);
    if (std::filesystem::exists(FilePath(streamPath))) PreviewStream(streamPath);
}

bool TForm1::PreviewStream(const std::string &path) {
    if (!CheckClipFile(path)) return false;
    ShowPreview([&] { return ReadClipFile(path, store); });
    return true;
}

void TForm1::ShowPreview(const std::function<bool()> &read) {
    Canvas &canvas = controls.NewPreviewImage();
    PreviewSurface surface(canvas);
    PrepareBlankPreview(surface, controls.PreviewImageWidth(), controls.PreviewImageHeight());
    if (read()) RenderDrawingPreview(surface, store);
    controls.PreviewImageDrawn();
}

void TForm1::ImportDroppedFile(const std::string &path) {
    bool previewed = false;
    {
        const BusyCursor busy(controls);
        // A saved drawing (.jww, .jws) by its first bytes, otherwise a "Jw_win" dump such as prev.1.
        const std::optional<std::vector<std::uint8_t>> bytes = ReadWholeFile(path);
        if (bytes && KindOfInput(*bytes) != InputKind::Stream) {
            previewed = CheckDrawingFileBytes(*bytes);
            if (previewed) ShowPreview([&] { return ReadDrawingFileBytes(*bytes, store, DrawingFileOptions{}); });
        } else if (bytes) {
            previewed = CheckClipBytes(*bytes);
            if (previewed) ShowPreview([&] { return ReadClipBytes(*bytes, store); });
        }
    }
    // Unlike the clipboard import, a file the user chose deserves an answer when it is not a drawing.
    if (!previewed) controls.ShowMessage("Jw_cadの図形データではありません: " + path);
}

}  // namespace korvel
