// The import: Jw_cad's three clipboard formats dumped beside the program, "Jw_win" read and previewed.
#include <ctime>
#include <filesystem>
#include <memory>
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
    if (RefusedWhileBusy()) return;
    try {
        if (!Import()) controls.ShowMessage(kNoJwDrawingMessage, MessageKind::Information);
    } catch (const ClipboardOpenError &error) {
        controls.ShowMessage(error.what(), MessageKind::Error);
    }
}

void TForm1::ClipboardChanged(bool copiedHere) {
    // A copy made while other work is under way is left for the user to import.
    if (!autoImport.import || copiedHere || busy) return;
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

void TForm1::SayHowItWasRead(bool checked, const std::string &rejected, const std::string &file) {
    if (checked) {
        if (loaded == Loaded::Partial)
            controls.ShowMessage(kPartialReadMessage + (file.empty() ? "" : "\n" + file), MessageKind::Warning);
        return;
    }
    if (loaded == Loaded::Nothing) {
        controls.ShowMessage(rejected, MessageKind::Error);
        return;
    }
    loaded = Loaded::Stale;
    controls.ShowMessage(rejected + "\n" + kEarlierDrawingKeptMessage, MessageKind::Error);
}

bool TForm1::PreviewStream(const std::string &path) {
    if (!CheckClipFile(path)) return false;
    Canvas &canvas = controls.NewPreviewImage();
    PreviewSurface surface(canvas);
    PrepareBlankPreview(surface, controls.PreviewImageWidth(), controls.PreviewImageHeight());
    DrawingStore incoming;
    const bool whole = ReadClipFile(path, incoming);
    if (whole) RenderDrawingPreview(surface, incoming);
    TakeDrawing(incoming, whole);
    return true;
}

void TForm1::TakeDrawing(DrawingStore &incoming, bool whole) {
    controls.DrawingReplacing();
    std::swap(store, incoming);
    incoming = DrawingStore();  // the earlier drawing's memory goes now
    hiddenLayers.reset();
    controls.PreviewImageDrawn();
    controls.DrawingReplaced();
    controls.ClearText();
    shownScript.reset();
    loaded = whole ? Loaded::Whole : Loaded::Partial;
    ShowNote();
}

void TForm1::ImportDroppedFile(const std::string &dropped) {
    if (RefusedWhileBusy()) return;
    std::error_code ec;
    // A saved clipboard (a folder holding "Jw_win" or a capture's "prev.1") opens as its stream.
    const std::string path = std::filesystem::is_directory(FilePath(dropped), ec) && IsClipboardFolder(dropped)
                                 ? Utf8Of(ClipboardFolderStream(dropped))
                                 : dropped;
    if (!std::filesystem::exists(FilePath(path), ec)) {
        controls.ShowMessage(kFileNotFoundMessage + path, MessageKind::Error);
        return;
    }
    // Read and previewed off the window's thread into a drawing of its own: the shown one stays until this
    // one is whole, and stays for good when the read is stopped or finds no drawing.
    struct Read {
        Canvas *canvas = nullptr;
        std::int32_t width = 0, height = 0;
        bool checked = false, whole = false;
        DrawingStore drawing;
    };
    auto read = std::make_shared<Read>();
    read->canvas = &controls.NewPreviewImage();
    read->width = controls.PreviewImageWidth();
    read->height = controls.PreviewImageHeight();
    const std::string name = Utf8Of(FilePath(dropped).filename());
    RunLong(
        kReadingNote + name + kStopHint,
        [this, read, path, allLayers = DrawingFileOptions{moreOptions.allLayers}] {
            PreviewSurface surface(*read->canvas);
            PrepareBlankPreview(surface, read->width, read->height);
            // A saved drawing (.jww, .jws) by its first bytes, otherwise a "Jw_win" dump such as prev.1.
            const FileRead got = ReadAnyInputFile(path, read->drawing, allLayers);
            read->checked = got == FileRead::Whole || got == FileRead::Partial;
            read->whole = got == FileRead::Whole;
            if (read->whole && !stopAsked) RenderDrawingPreview(surface, read->drawing);
        },
        [this, read, path, dropped, name] {
            if (stopAsked) return controls.ShowConversionSummary(kReadingStoppedNote);
            if (read->checked) {
                TakeDrawing(read->drawing, read->whole);
                openedFile = dropped;
                controls.ShowDocumentName(name);
            }
            // Unlike the clipboard import, a file the user chose deserves an answer when it is not a drawing.
            SayHowItWasRead(read->checked, kNotADrawingFileMessage + path, path);
        });
}

}  // namespace korvel
