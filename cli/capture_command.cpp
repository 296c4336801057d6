#include "cli/capture_command.h"

#include <cstdio>
#include <filesystem>

#include "cli/cli_common.h"
#include "cli/info.h"
#include "files/file_path.h"
#include "files/output_file.h"
#include "files/program_folder.h"
#include "platform/system_clipboard.h"
#include "shell/capture.h"

namespace korvel::cli {

namespace {

// One line per format Jw_cad publishes: its number and size, or that it is missing.
void ReportFormats(Clipboards &clipboards) {
    std::printf("clipboard: %d formats\n", clipboards.ClipboardFormatCount());
    for (const char *name : kFormatNames) {
        const std::uint32_t number = clipboards.RegisterFormat(name);
        std::uint32_t size = 0;
        if (number != 0 && clipboards.ClipboardFormatSize(number, size) && size != 0)
            std::printf("  %-17s format %u, %u bytes\n", name, number, size);
        else std::printf("  %-17s format %u, missing\n", name, number);
    }
}

}  // namespace

int RunCapture(const CaptureRequest &request) {
    const std::string folder = FolderWithSeparator(request.folder);
    for (int i = 0; i < 3; ++i)
        if (NameOneFile(request.scriptPath, ScratchPath(folder, i)))
            return Fail(kUsage,
                        Tr("{0}: is where the capture itself goes; name another script file", {request.scriptPath}));
    const Result<std::unique_ptr<ClipboardSource>> source = OpenSystemClipboard();
    if (source.failure) return Fail(kRejected, *source.failure);
    Clipboards clipboards(*source.value);
    std::error_code ec;
    std::filesystem::create_directories(FilePath(folder), ec);
    if (ec) return Fail(kOutputFailed, Tr("{0}: cannot be created: {1}", {folder, ec.message()}));
    ScratchLines list;
    bool listed = false;
    if (const Failure failed = TakeClipboard([&] {
            ReportFormats(clipboards);
            listed = ListJwFormats(clipboards, list);
            if (listed) DumpListedFormats(clipboards, list, folder);
        }))
        return Fail(kRejected, *failed);
    if (!listed) return Fail(kRejected, Tr("the clipboard holds no Jw_cad drawing (all three formats are needed)"));
    for (int i = 0; i < 3; ++i) {
        const std::string path = ScratchPath(folder, i);
        if (!std::filesystem::exists(FilePath(path)))
            return Fail(kOutputFailed, Tr("{0}: could not be written", {path}));
        std::printf("  %s -> %s\n", kFormatNames[i], path.c_str());
    }

    Input input(ScratchPath(folder, 1), kDefaultInputLimit);
    DrawingStore store;
    const int loaded = LoadDrawing(input, store);
    if (loaded == kRejected) return loaded;
    std::printf("%s: passes the header check; %s\n", input.Name().c_str(),
                loaded == kOk ? "read to the end" : "the read stopped early");
    WriteStoreSummary(stdout, store);
    std::fflush(stdout);
    if (loaded != kOk || request.scriptPath.empty()) return loaded;

    ConversionReport report;
    const auto write = [&](std::FILE *file) { return WriteScriptFile(file, store, request.options, Pens(), &report); };
    if (const Failure failed = WriteOutputFile(request.scriptPath, write, request.output))
        return Fail(kOutputFailed, Tr("not written: {0}", {*failed}));
    TellConversion(request.scriptPath, report, false);
    return kOk;
}

}  // namespace korvel::cli
