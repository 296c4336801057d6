// The import: Jw_cad's three clipboard formats dumped beside the program, "Jw_win" read and previewed.
#include <ctime>
#include <filesystem>
#include <vector>

#include "files/file_path.h"
#include "preview/preview.h"
#include "reader/any_input.h"
#include "reader/jclfunit.h"
#include "shell/busy_cursor.h"
#include "shell/capture.h"
#include "shell/form.h"
#include "shell/form_layout.h"
#include "shell/input_list.h"
#include "shell/messages.h"

namespace korvel {

namespace {

// The local time as hours and minutes, "10:32".
std::string ClockNow() {
    const std::time_t now = std::time(nullptr);
    char clock[8] = "--:--";
    if (const std::tm *local = std::localtime(&now)) std::strftime(clock, sizeof clock, "%H:%M", local);
    return clock;
}

}  // namespace

void TForm1::Button1Click() {
    try {
        if (!Import()) controls.ShowMessage(kNoJwDrawingMessage, MessageKind::Information);
    } catch (const ClipboardOpenError &error) {
        controls.ShowMessage(error.what(), MessageKind::Error);
    }
}

void TForm1::ClipboardChanged(bool copiedHere) {
    if (!autoImport.import || copiedHere) return;
    try {
        if (Import() && autoImport.convert && loaded == Loaded::Whole) Button2Click();
    } catch (const ClipboardOpenError &) {
        // Another program still holds the clipboard while it fills it; its next change comes again.
    }
}

bool TForm1::Import() {
    bool read = false;
    {
        // Busy from the first request on: the clipboard's owner answers in its own time.
        const BusyCursor busy(controls);
        if (!ListJwFormats(clipboards, controls)) return false;
        DumpListedFormats(clipboards, controls, programFolder);
        const std::string streamPath = ScratchPath(1);
        read = std::filesystem::exists(FilePath(streamPath)) && PreviewStream(streamPath);
    }
    if (read) {
        openedFile.clear();
        controls.ShowDocumentName(std::string(kClipboardDocumentName) + " " + ClockNow());
    }
    SayHowItWasRead(read, kRejectedCopyMessage);
    return true;
}

void TForm1::SayHowItWasRead(bool checked, const std::string &rejected) {
    if (checked) {
        if (loaded == Loaded::Partial) controls.ShowMessage(kPartialReadMessage, MessageKind::Warning);
        return;
    }
    if (loaded == Loaded::Nothing) {
        controls.ShowMessage(rejected, MessageKind::Error);
        return;
    }
    loaded = Loaded::Stale;
    controls.ShowMessage(rejected + "。" + kEarlierDrawingKeptMessage, MessageKind::Error);
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
    controls.DrawingReplacing();
    const bool whole = read();
    hiddenLayers.reset();
    if (whole) RenderDrawingPreview(surface, store);
    controls.PreviewImageDrawn();
    controls.DrawingReplaced();
    controls.ClearText();
    shownScript.reset();
    loaded = whole ? Loaded::Whole : Loaded::Partial;
}

void TForm1::ImportDroppedFile(const std::string &dropped) {
    std::error_code ec;
    // A saved clipboard (a folder holding "Jw_win" or a capture's "prev.1") opens as its stream.
    const std::string path = std::filesystem::is_directory(FilePath(dropped), ec) && IsClipboardFolder(dropped)
                                 ? Utf8Of(ClipboardFolderStream(dropped))
                                 : dropped;
    if (!std::filesystem::exists(FilePath(path), ec)) {
        controls.ShowMessage(kFileNotFoundMessage + path, MessageKind::Error);
        return;
    }
    bool previewed = false;
    {
        const BusyCursor busy(controls);
        // A saved drawing (.jww, .jws) by its first bytes, otherwise a "Jw_win" dump such as prev.1.
        const std::optional<std::vector<std::uint8_t>> bytes = ReadWholeFile(path);
        previewed = bytes && CheckAnyInput(*bytes);
        if (previewed) ShowPreview([&] { return ReadAnyInput(*bytes, store); });
    }
    if (previewed) {
        openedFile = dropped;
        controls.ShowDocumentName(Utf8Of(FilePath(dropped).filename()));
    }
    // Unlike the clipboard import, a file the user chose deserves an answer when it is not a drawing.
    SayHowItWasRead(previewed, kNotADrawingFileMessage + path);
}

}  // namespace korvel
