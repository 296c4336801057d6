// Several drawings dropped on the window at once: each converted (or exported) into a folder the user chose,
// then one summary of them all.
#include <algorithm>
#include <filesystem>
#include <memory>

#include "files/file_path.h"
#include "files/output_file.h"
#include "reader/any_input.h"
#include "script/export.h"
#include "shell/form.h"
#include "shell/input_list.h"
#include "shell/messages.h"

namespace korvel {

namespace fs = std::filesystem;

namespace {

// At most this many unread files are named in the summary; the rest are counted.
constexpr std::size_t kNamedFailures = 10;

// The drawing in a dropped file (a saved drawing by its first bytes, else a "Jw_win" dump, or a clipboard
// folder's stream); the reason it could not be read, or nothing.
std::optional<std::string> ReadDropped(const std::string &path, DrawingStore &store,
                                       const DrawingFileOptions &options) {
    std::error_code ec;
    const std::string file = fs::is_directory(FilePath(path), ec) ? Utf8Of(ClipboardFolderStream(path)) : path;
    switch (ReadAnyInputFile(file, store, options)) {
        case FileRead::Unreadable: return kBatchUnreadableReason;
        case FileRead::NotADrawing: return kBatchNotADrawingReason;
        case FileRead::Partial: return kBatchPartialReason;
        case FileRead::Whole: return std::nullopt;
    }
    return std::nullopt;
}

std::string NameOf(const std::string &path) {
    fs::path p = FilePath(path);
    if (!p.has_filename()) p = p.parent_path();
    return Utf8Of(p.filename());
}

struct NotConverted {
    std::string text;  // NAME（why）
    bool unread;       // not read, as opposed to not written
};

// One message for the whole batch: how many converted (or exported), which could not be and why, where they
// went.
void SayWhatTheBatchDid(FormControls &controls, std::size_t converted, const std::vector<NotConverted> &failures,
                        const std::string &folder, bool stopped, bool exported) {
    std::string message = std::to_string(converted) + (exported ? " 件を書き出し" : " 件を変換");
    if (!failures.empty()) {
        const bool allUnread =
            std::all_of(failures.begin(), failures.end(), [](const NotConverted &f) { return f.unread; });
        message += "、" + std::to_string(failures.size()) +
                   (allUnread  ? " 件は読めませんでした:\n"
                    : exported ? " 件は書き出せませんでした:\n"
                               : " 件は変換できませんでした:\n");
        for (std::size_t i = 0; i < failures.size() && i < kNamedFailures; i++)
            message += (i ? "、" : "") + failures[i].text;
        if (failures.size() > kNamedFailures)
            message += " ほか " + std::to_string(failures.size() - kNamedFailures) + " 件";
    }
    if (stopped) message += std::string("\n") + kBatchStoppedNote;
    message += "\n" + std::string(kScriptFolderLabel) + folder;
    controls.ShowMessage(message, failures.empty() && !stopped ? MessageKind::Information
                                  : converted == 0             ? MessageKind::Error
                                                               : MessageKind::Warning);
}

}  // namespace

void TForm1::ConvertDroppedFiles(const std::vector<std::string> &paths, const std::string &folder) {
    std::vector<ListedInput> inputs;
    if (const std::optional<UnlistedInput> failed = ListInputs(paths, false, inputs))
        return controls.ShowMessage(
            kBatchNothingMessage + NameOf(failed->argument) + "（" + kBatchEmptyFolderReason + "）",
            MessageKind::Error);
    // Scripts named after the drawings; when two names would be one file (on a folder that ignores case
    // too), each is named after its whole path instead.
    const bool exporting = moreOptions.exportDrops;
    const char *extension = exporting ? ".dxf" : ".vnt";
    std::vector<std::string> names;
    for (const ListedInput &input : inputs)
        names.push_back(OutputNameFor(input.path, extension));
    if (FirstCollision(names)) {
        names.clear();
        for (const ListedInput &input : inputs)
            names.push_back(NameByPath(input.path, extension));
    }

    // The view's layer switches belong to the drawing it shows, not to these.
    struct Batch {
        std::vector<ListedInput> inputs;
        std::vector<std::string> names;
        ConvertOptions options;
        DrawingFileOptions reading;
        std::size_t converted = 0;
        std::vector<NotConverted> failures;
    };
    auto batch = std::make_shared<Batch>();
    batch->inputs = std::move(inputs);
    batch->names = std::move(names);
    batch->options = ChosenOptions();
    batch->options.hiddenLayers.reset();
    batch->reading.allLayers = moreOptions.allLayers;
    const auto progress = [this](std::size_t done, std::size_t total, const std::string &name) {
        controls.Post([this, done, total, name] {
            if (busy)
                controls.ShowConversionSummary(kConvertingNote + std::to_string(done) + "/" + std::to_string(total) +
                                               " " + name + kStopHint);
        });
    };
    RunLong(
        kConvertingNote + std::string(kStopHint),
        [this, batch, progress, folder, exporting] {
            // Whole paths may still give one name ("d_e/f" and "d/e_f"): the first input keeps it, the others
            // are not written, so that no script replaces another of the same batch.
            const std::vector<std::optional<std::size_t>> taken = EarlierSameOutputs(batch->names);
            std::vector<std::string> paths;
            for (const ListedInput &input : batch->inputs)
                paths.push_back(input.path);
            const InputFiles inputFiles(paths);
            DrawingStore drawing;
            for (std::size_t i = 0; i < batch->inputs.size() && !stopAsked; ++i) {
                const ListedInput &input = batch->inputs[i];
                const std::string &name = batch->names[i];
                progress(i + 1, batch->inputs.size(), NameOf(input.path));
                const std::string script = Utf8Of(FilePath(folder) / FilePath(name));
                if (taken[i]) {
                    batch->failures.push_back(
                        {NameOf(input.path) + "（" + kBatchSameNameReason + name + kBatchSameNameEnd + "）", false});
                    continue;
                }
                // A drawing already named NAME.dxf (or .vnt) in the chosen folder is an input, never an output.
                if (inputFiles.WrittenOverBy(script)) {
                    batch->failures.push_back({NameOf(input.path) + "（" + kBatchIsInputReason + "）", false});
                    continue;
                }
                if (const std::optional<std::string> unread = ReadDropped(input.path, drawing, batch->reading)) {
                    batch->failures.push_back({NameOf(input.path) + "（" + *unread + "）", true});
                    continue;
                }
                const auto write = [&](std::FILE *file) {
                    return exporting ? WriteExportFile(file, drawing, ExportFormat::Dxf, {})
                                     : WriteScriptFile(file, drawing, batch->options, pens);
                };
                if (const Failure failed = WriteOutputFile(script, write))
                    batch->failures.push_back({NameOf(input.path) + "（" + *failed + "）", false});
                else batch->converted++;
            }
        },
        [this, batch, folder, exporting] {
            SayWhatTheBatchDid(controls, batch->converted, batch->failures, folder, stopAsked, exporting);
        });
}

}  // namespace korvel
