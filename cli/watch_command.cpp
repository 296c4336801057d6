#include "cli/watch_command.h"

#include <csignal>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>
#include <string_view>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "files/file_path.h"
#include "files/program_folder.h"
#include "platform/system_clipboard.h"
#include "shell/capture.h"

namespace korvel::cli {

namespace fs = std::filesystem;

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void RequestStop(int) { stopRequested = 1; }

// "HH:MM:SS  what happened", one line on standard output for each copy.
void Say(const std::string &what) {
    const std::time_t now = std::time(nullptr);
    char clock[16] = "--:--:--";
    if (const std::tm *local = std::localtime(&now)) std::strftime(clock, sizeof clock, "%H:%M:%S", local);
    std::printf("%s  %s\n", clock, what.c_str());
    std::fflush(stdout);
}

// Where a copy's script goes: the one file, or the first "clipboard-N.vnt" in the folder that does not exist
// yet (scripts of earlier runs are kept).
std::string ScriptPathFor(const std::string &output, bool folder, int &number) {
    if (!folder) return output;
    for (;; ++number) {
        const std::string path = Utf8Of(FilePath(output) / ("clipboard-" + std::to_string(number) + ".vnt"));
        std::error_code ec;
        if (!fs::exists(FilePath(path), ec)) return path;
    }
}

// The first of the captured messages, without the program's name.
std::string FirstMessage(const std::string &messages) {
    constexpr std::string_view kPrefix = "korvel-cli: ";
    std::string first = messages.substr(0, messages.find('\n'));
    if (first.starts_with(kPrefix)) first.erase(0, kPrefix.size());
    return first;
}

// One copy: captured into `scratch` as the window's import does, read, converted and written.
void ConvertCopy(ClipboardSource &source, const std::string &scratch, const WatchRequest &request, bool folder,
                 int &number) {
    Clipboards clipboards(source);
    ScratchLines list;
    bool listed = false;
    if (const Failure failed = TakeClipboard(
            [&] {
                listed = ListJwFormats(clipboards, list);
                if (listed) DumpListedFormats(clipboards, list, scratch);
            },
            &stopRequested))
        return Say(Tr("{0}; nothing written", {*failed}));
    if (!listed) return Say(Tr("not a Jw_cad drawing: ignored"));
    Input input(ScratchPath(scratch, 1), kDefaultInputLimit);
    DrawingStore store;
    std::string messages;
    int loaded;
    {
        const MessageCapture capture(messages);
        loaded = LoadDrawing(input, store);
    }
    if (loaded != kOk) return Say(Tr("the copy could not be read ({0}): nothing written", {FirstMessage(messages)}));
    const std::string path = ScriptPathFor(request.output, folder, number);
    std::string error;
    ConversionReport report;
    const auto write = [&](std::FILE *file) { return WriteScriptFile(file, store, request.options, Pens(), &report); };
    if (const Failure failed = WriteOutputFile(path, write, request.outputOptions))
        return Say(Tr("not written: {0}", {*failed}));
    const ReportLanguage language = Japanese() ? ReportLanguage::Japanese : ReportLanguage::English;
    Say(ReportSummary(report, language, AdviceFor::CommandLine) + " -> " + path);
    if (report.Written() == 0 && report.LeftOut() > 0)
        Say(Tr("warning: {0}", {EmptyScriptAdvice(report, language, AdviceFor::CommandLine)}));
}

// A new folder only this user can enter (the copies are the user's drawings), made by this run: a name
// taken already, by another run or planted, is passed over.
fs::path CreatePrivateFolder(const fs::path &parent, const std::string &prefix, std::error_code &ec) {
    std::random_device entropy;
    for (int attempt = 0; attempt < 16 && !ec; attempt++) {
        const fs::path folder = parent / (prefix + std::to_string(entropy()));
        if (!fs::create_directory(folder, ec)) continue;
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, ec);
        if (!ec) return folder;
        fs::remove(folder);
    }
    if (!ec) ec = std::make_error_code(std::errc::file_exists);
    return {};
}

}  // namespace

int RunWatch(const WatchRequest &request) {
    const bool folder = NamesAFolder(request.output);
    if (folder) {
        std::error_code ec;
        fs::create_directories(FilePath(request.output), ec);
        if (!fs::is_directory(FilePath(request.output), ec))
            return Fail(kOutputFailed, Tr("{0}: not a folder that can be written", {request.output}));
    }
    const Result<std::unique_ptr<ClipboardChanges>> changes = WatchSystemClipboard();
    if (changes.failure) return Fail(kRejected, *changes.failure);
    const Result<std::unique_ptr<ClipboardSource>> source = OpenSystemClipboard(&stopRequested);
    if (source.failure) return Fail(kRejected, *source.failure);

    std::error_code ec;
    const fs::path scratch = CreatePrivateFolder(fs::temp_directory_path(ec), "korvel-watch-", ec);
    if (scratch.empty()) return Fail(kOutputFailed, Tr("no scratch folder can be created: {0}", {ec.message()}));

    // Ctrl+C, kill and the like end the watch between copies, or once the script being written is whole.
    RemoveTemporariesOnSignals();
    for (const int signal : TerminatingSignals())
        if (std::signal(signal, RequestStop) == SIG_IGN) std::signal(signal, SIG_IGN);  // as under nohup
    Tell("korvel-cli: " +
         Tr("watching the clipboard; each Jw_cad copy is converted to {0} (Ctrl+C ends)", {request.output}));
    int number = 1;
    while (changes.value->WaitForChange(stopRequested))
        ConvertCopy(*source.value, FolderWithSeparator(Utf8Of(scratch)), request, folder, number);
    fs::remove_all(scratch, ec);
    return kOk;
}

}  // namespace korvel::cli
