// The window's handlers other than the import: start, convert, copy, close.
#include "shell/form.h"
#include "files/file_path.h"
#include "files/output_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <new>
#include <span>

#include "files/program_folder.h"
#include "geom/cp932.h"
#include "script/convert.h"
#include "script/export.h"
#include "shell/capture.h"
#include "shell/form_layout.h"
#include "shell/input_list.h"
#include "shell/messages.h"

namespace korvel {

namespace {

// The script as the pane shows it: UTF-8, one '\n' per line; of a script's first part, its whole lines.
std::string PaneTextOf(const std::vector<std::uint8_t> &script, bool whole) {
    std::size_t end = script.size();
    while (!whole && end > 0 && script[end - 1] != '\n')
        end--;
    std::string text = Cp932ToUtf8(std::string_view(reinterpret_cast<const char *>(script.data()), end));
    std::erase(text, '\r');
    return text;
}

// FNV-1a over the bytes, from `digest` on: whether TEMP.VNT still holds the script shown.
constexpr std::uint64_t kDigestStart = 0xcbf29ce484222325u;
std::uint64_t Digest(std::span<const std::uint8_t> bytes, std::uint64_t digest) {
    for (const std::uint8_t b : bytes)
        digest = (digest ^ b) * 0x100000001b3u;
    return digest;
}

}  // namespace

void TForm1::FormShow(const std::string &folder) {
    programFolder = folder;
    scriptPath = programFolder + kScriptFileName;
    FillPenColorTable(pens);
    controls.ShowScriptLocation(scriptPath);
    if (!FolderIsWritable(programFolder))
        controls.ShowMessage("作業用のフォルダに書き込めません: " + programFolder, MessageKind::Error);
}

std::string TForm1::ScratchPath(int index) const { return korvel::ScratchPath(programFolder, index); }

void TForm1::FormClose() {
    std::error_code ignored;
    for (int i = 0; i < 3; ++i)
        std::filesystem::remove(FilePath(ScratchPath(i)), ignored);
}

void TForm1::Button2Click() {
    if (RefusedWhileBusy()) return;
    // Neither an empty script nor one of a partial drawing replaces the last good TEMP.VNT.
    if (RefusedWithoutWholeDrawing(kNothingToConvertMessage)) return;
    controls.ClearText();
    shownScript.reset();
    struct Conversion {
        ConvertOptions options;
        ConversionReport report;
        Failure failed;
        int shownPercent = -1;
    };
    auto conversion = std::make_shared<Conversion>();
    conversion->options = ChosenOptions();
    conversion->options.progress = ProgressInNote(kConvertingNote, &conversion->shownPercent);
    RunLong(
        kConvertingNote + std::string(kStopHint),
        [this, conversion] {
            // Written whole or not at all: a failed or stopped write keeps the last TEMP.VNT.
            conversion->failed = WriteOutputFile(scriptPath, [&](std::FILE *file) {
                return WriteScriptFile(file, store, conversion->options, pens, &conversion->report);
            });
        },
        [this, conversion] {
            if (stopAsked) return controls.ShowConversionSummary(kConvertingStoppedNote);
            if (conversion->failed)
                // A partial script is not shown as if it were the result.
                return controls.ShowMessage(kScriptWriteMessage + scriptPath, MessageKind::Error);
            LoadScriptIntoPane();
            SayWhatWasConverted(conversion->report);
        });
}

bool TForm1::RefusedWithoutWholeDrawing(const char *nothingMessage) {
    if (loaded == Loaded::Whole) return false;
    controls.ShowMessage(loaded == Loaded::Nothing   ? nothingMessage
                         : loaded == Loaded::Partial ? kPartialConvertMessage
                                                     : kStaleConvertMessage,
                         loaded == Loaded::Nothing ? MessageKind::Information : MessageKind::Warning);
    return true;
}

// (The percent lives in the work it reports on: a plain pointer, or the two would keep each other alive.)
std::function<bool(std::uint64_t, std::uint64_t)> TForm1::ProgressInNote(const char *note, int *shownPercent) {
    return [this, note, shownPercent](std::uint64_t done, std::uint64_t total) {
        const int percent = total ? static_cast<int>(done * 100 / total) : 100;
        if (percent != *shownPercent) {
            *shownPercent = percent;
            controls.Post([this, note, percent] {
                if (busy) controls.ShowConversionSummary(note + std::to_string(percent) + "%" + kStopHint);
            });
        }
        return !stopAsked;
    };
}

void TForm1::RunLong(const std::string &what, std::function<void()> work, std::function<void()> done) {
    if (RefusedWhileBusy()) return;
    busy = true;
    stopAsked = false;
    summaryShown = false;
    for (int button = 1; button <= 4; ++button)
        controls.SetButtonEnabled(button, button == 4);
    controls.ShowConversionSummary(what);
    controls.SetBusyCursor(true);
    controls.RunInBackground(std::move(work), [this, done = std::move(done)] {
        busy = false;
        controls.SetBusyCursor(false);
        for (int button = 1; button <= 4; ++button)
            controls.SetButtonEnabled(button, true);
        RunGuarded(controls, done);
        stopAsked = false;
    });
}

void TForm1::SetMoreOptions(MoreOptions choice) {
    const bool reread = choice.allLayers != moreOptions.allLayers && !openedFile.empty() && !busy;
    moreOptions = choice;
    if (reread) return ImportDroppedFile(openedFile);
    if (!summaryShown && !busy) ShowNote();
}

bool TForm1::RefusedWhileBusy() {
    if (busy) controls.ShowMessage(kBusyMessage, MessageKind::Information);
    return busy;
}

void TForm1::ShowNote() {
    summaryShown = false;
    // The original's words while none of the later choices is on.
    const bool original = !moreOptions.blocks && !moreOptions.dimensions && !moreOptions.groupScales &&
                          !moreOptions.shownLayersOnly && !moreOptions.allLayers;
    if (original) return controls.ShowConversionSummary(kControls.back().caption);
    std::string note = std::string("※文字") + (moreOptions.dimensions ? "・寸法値" : "・寸法図形・寸法属性") +
                       "・画像" + (moreOptions.blocks ? "" : "・ブロック図形") + kNoteNotConverted + "　" +
                       (moreOptions.groupScales ? kNoteEachGroupScale : kNoteGroupZeroScale);
    if (moreOptions.shownLayersOnly) note += std::string("　") + kNoteShownLayersOnly;
    if (moreOptions.allLayers) note += std::string("　") + kNoteAllLayers;
    controls.ShowConversionSummary(note + kNoteWhereChoicesAre);
}

ConvertOptions TForm1::ChosenOptions() const {
    ConvertOptions options;
    options.colors = controls.CheckBoxChecked(1);
    options.layers = controls.CheckBoxChecked(2);
    options.hatching = controls.CheckBoxChecked(3);
    options.solids = controls.CheckBoxChecked(4);
    options.blocks = moreOptions.blocks;
    options.dimensions = moreOptions.dimensions;
    options.groupScales = moreOptions.groupScales;
    if (moreOptions.shownLayersOnly) options.hiddenLayers = hiddenLayers;
    return options;
}

void TForm1::SayWhatWasConverted(const ConversionReport &report) {
    const bool cut = shownScript && !shownScript->Whole();
    controls.ShowConversionSummary(ReportSummary(report, ReportLanguage::Japanese, AdviceFor::Window) +
                                   (cut ? kPaneCutNote : ""));
    summaryShown = true;
    if (report.Written() == 0 && report.LeftOut() > 0)
        controls.ShowMessage(EmptyScriptAdvice(report, ReportLanguage::Japanese, AdviceFor::Window),
                             MessageKind::Warning);
}

void TForm1::LoadScriptIntoPane() {
    shownScript.reset();
    const std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(OpenFile(scriptPath, "rb"), &std::fclose);
    if (!file) return;
    // A script longer than the pane holds shows its first lines; the copy button and TEMP.VNT give all of it.
    ShownScript shown;
    shown.digest = kDigestStart;
    std::vector<std::uint8_t> head;
    std::uint8_t chunk[1 << 16];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0;) {
        const std::size_t kept =
            std::min<std::uint64_t>(got, kPaneMaxCharacters - std::min<std::uint64_t>(shown.size, kPaneMaxCharacters));
        head.insert(head.end(), chunk, chunk + kept);
        shown.digest = Digest(std::span(chunk, got), shown.digest);
        shown.size += got;
    }
    if (std::ferror(file.get())) return;
    const bool whole = head.size() == shown.size;
    controls.SetText(PaneTextOf(head, whole));
    // A cut script's head is not kept: the whole one is read again from TEMP.VNT when asked for.
    if (whole) shown.whole = std::move(head);
    shownScript = std::move(shown);
}

std::optional<std::vector<std::uint8_t>> TForm1::WholeShownScript() {
    if (!shownScript) {
        controls.ShowMessage(kNoScriptToSaveMessage, MessageKind::Information);
        return std::nullopt;
    }
    if (shownScript->Whole()) return shownScript->whole;
    std::optional<std::vector<std::uint8_t>> bytes = ReadWholeFile(scriptPath);
    if (!bytes || bytes->size() != shownScript->size || Digest(*bytes, kDigestStart) != shownScript->digest) {
        controls.ShowMessage(kScriptChangedMessage + scriptPath, MessageKind::Warning);
        return std::nullopt;
    }
    return bytes;
}

void TForm1::SaveScriptAs(const std::string &path) {
    if (RefusedWhileBusy()) return;
    const std::optional<std::vector<std::uint8_t>> script = WholeShownScript();
    if (!script) return;
    const auto write = [&](std::FILE *file) {
        return std::fwrite(script->data(), 1, script->size(), file) == script->size();
    };
    // The system's own words (which file, what failed) follow as the detail a bug report needs.
    if (const Failure failed = WriteOutputFile(path, write))
        return controls.ShowMessage(kScriptSaveFailedMessage + path + "\n" + kDetailLabel + *failed,
                                    MessageKind::Error);
    controls.ShowConversionSummary(kSavedNote + path);
    summaryShown = true;
}

std::string TForm1::SuggestedScriptName() const {
    return openedFile.empty() ? kScriptFileName : OutputNameFor(openedFile, ".vnt");
}

std::string TForm1::SuggestedExportName() const {
    return openedFile.empty() ? "TEMP.dxf" : OutputNameFor(openedFile, ".dxf");
}

void TForm1::ExportDrawingAs(const std::string &chosen) {
    if (RefusedWhileBusy() || RefusedWithoutWholeDrawing(kNothingToExportMessage)) return;
    struct Export {
        std::string path;
        ExportFormat format = ExportFormat::Dxf;
        ExportOptions options;
        ConversionReport report;
        Failure failed;
        int shownPercent = -1;
    };
    auto job = std::make_shared<Export>();
    job->path = chosen;
    if (const std::optional<ExportFormat> named = ExportFormatOfName(chosen)) job->format = *named;
    else job->path += ".dxf";
    job->options.progress = ProgressInNote(kExportingNote, &job->shownPercent);
    RunLong(
        kExportingNote + std::string(kStopHint),
        [this, job] {
            job->failed = WriteOutputFile(job->path, [&](std::FILE *file) {
                return WriteExportFile(file, store, job->format, job->options, &job->report);
            });
        },
        [this, job] {
            if (stopAsked) return controls.ShowConversionSummary(kExportStoppedNote);
            if (job->failed)
                return controls.ShowMessage(kExportFailedMessage + job->path + "\n" + kDetailLabel + *job->failed,
                                            MessageKind::Error);
            controls.ShowConversionSummary(kExportedNote + job->path + "　" +
                                           ReportSummary(job->report, ReportLanguage::Japanese, AdviceFor::Window));
            summaryShown = true;
        });
}

void TForm1::Button3Click() {
    if (shownScript && !shownScript->Whole()) {
        if (const std::optional<std::vector<std::uint8_t>> script = WholeShownScript())
            controls.CopyText(PaneTextOf(*script, true));
        return;
    }
    controls.FocusText();
    controls.SelectAllText();
    controls.CopySelectedText();
}

void TForm1::Button4Click() { controls.CloseWindow(); }

void RunGuarded(FormControls &controls, const std::function<void()> &handler) {
    try {
        handler();
    } catch (const std::bad_alloc &) {
        controls.ShowMessage("メモリが不足しています", MessageKind::Error);
    } catch (const std::exception &error) {
        controls.ShowMessage(error.what(), MessageKind::Error);
    }
}

void ClickButton(TForm1 &form, int button) {
    switch (button) {
        case 1: form.Button1Click(); break;
        case 2: form.Button2Click(); break;
        case 3: form.Button3Click(); break;
        case 4: form.Button4Click(); break;
    }
}

}  // namespace korvel
