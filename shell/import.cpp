// The import: Jw_cad's three clipboard formats dumped beside the program, "Jw_win" read and previewed.
#include <filesystem>

#include "geom/func.h"
#include "reader/file_path.h"
#include "preview/preview.h"
#include "reader/jclfunit.h"
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
    if (clipboards.ClipboardFormatCount() < 3) return;
    std::uint32_t formats[3];
    for (int i = 0; i < 3; ++i) {
        formats[i] = clipboards.RegisterFormat(kFormatNames[i]);
        if (formats[i] == 0) return;
    }

    controls.ClearScratchList();
    for (const std::uint32_t format : formats) {
        std::uint32_t size = 0;
        if (clipboards.ClipboardFormatSize(format, size) && size != 0)
            controls.AddScratchLine(std::to_string(format) + " S:" + std::to_string(size));
    }
    if (controls.ScratchLineCount() != 3) return;

    const BusyCursor busy(controls);
    {
        const ClipboardHold hold(clipboards);
        for (int i = 0; i < 3; ++i) {
            const std::string line = controls.ScratchLine(i);
            const std::size_t separator = line.find(" S:");
            if (separator == std::string::npos || separator == 0) continue;
            const auto format = static_cast<std::uint32_t>(ParseIntOrZero(line.substr(0, separator)));
            clipboards.DumpClipboardFormat(format, ScratchPath(i));
        }
    }
    const std::string streamPath = ScratchPath(1);
    if (std::filesystem::exists(FilePath(streamPath))) PreviewStream(streamPath);
}

bool TForm1::PreviewStream(const std::string &path) {
    if (!CheckClipFile(path)) return false;
    Canvas &canvas = controls.NewPreviewImage();
    PreviewSurface surface(canvas);
    PrepareBlankPreview(surface, controls.PreviewImageWidth(), controls.PreviewImageHeight());
    if (ReadClipFile(path, store)) RenderDrawingPreview(surface, store);
    controls.PreviewImageDrawn();
    return true;
}

void TForm1::ImportDroppedFile(const std::string &path) {
    bool previewed = false;
    {
        const BusyCursor busy(controls);
        previewed = PreviewStream(path);
    }
    // Unlike the clipboard import, a file the user chose deserves an answer when it is not a drawing.
    if (!previewed) controls.ShowMessage("Jw_winの図形データではありません: " + path);
}

}  // namespace korvel
