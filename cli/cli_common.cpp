// What every korvel-cli command shares: exit codes, the one-line error, the input and its loading.
#include "cli/cli_common.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "files/file_path.h"
#include "geom/utf8.h"
#include "reader/any_input.h"
#include "shell/capture.h"
#include "shell/input_list.h"

namespace korvel::cli {

namespace {

thread_local std::string *capturedMessages = nullptr;

}  // namespace

MessageCapture::MessageCapture(std::string &text) : previous(capturedMessages) { capturedMessages = &text; }

MessageCapture::~MessageCapture() { capturedMessages = previous; }

void Tell(const std::string &line) {
    const std::string shown = ControlsEscaped(line);
    if (capturedMessages) *capturedMessages += shown + "\n";
    else std::fprintf(stderr, "%s\n", shown.c_str());
}

int Fail(int code, const std::string &message) {
    Tell("korvel-cli: " + message);
    return code;
}

void TellConversion(const std::string &input, const ConversionReport &report, bool quiet) {
    const ReportLanguage language = Japanese() ? ReportLanguage::Japanese : ReportLanguage::English;
    if (!quiet) Tell(input + ": " + ReportSummary(report, language, AdviceFor::CommandLine));
    if (report.Written() == 0 && report.LeftOut() > 0)
        Tell("korvel-cli: " +
             Tr("warning: {0}: {1}", {input, EmptyScriptAdvice(report, language, AdviceFor::CommandLine)}));
}

Failure TakeClipboard(const std::function<void()> &take, const volatile std::sig_atomic_t *stop) {
    try {
        take();
        return std::nullopt;
    } catch (const ClipboardNoAnswerError &) {
        if (stop && *stop != 0) return Tr("stopped before the copy was taken whole");
        return Tr("the program that holds the clipboard did not answer in time");
    } catch (const ClipboardTooLargeError &) {
        return Tr("the clipboard holds more than {0} (KORVEL_MAX_CLIPBOARD sets the limit)", {ClipboardLimitText()});
    } catch (const ClipboardOpenError &) {
        return Tr("the clipboard cannot be opened: another program holds it");
    }
}

std::optional<std::string> Input::Open(Taking taking) {
    if (path == "-") return ReadAll(stdin, taking);
    std::error_code ec;
    if (!std::filesystem::is_directory(FilePath(path), ec)) return OpenFileAt(FilePath(path), taking);
    // A clipboard kept in a folder: its stream is read as any drawing file is, through a buffer.
    const std::filesystem::path block = ClipboardFolderStream(path);
    if (!std::filesystem::is_regular_file(block, ec))
        return Tr("{0}: is a directory without a \"Jw_win\" clipboard file or a capture's prev.1", {path});
    return OpenFileAt(block, taking);
}

std::optional<std::string> Input::OpenFileAt(const std::filesystem::path &at, Taking taking) {
    file.reset(OpenFile(Utf8Of(at), "rb"));
    if (!file) return Tr("{0}: {1}", {path, std::strerror(errno)});
    if (!IsRegularFile(file.get())) {
        UniqueFile stream = std::move(file);
        return ReadAll(stream.get(), taking);
    }
    const std::optional<std::uint64_t> size = FileSizeOf(file.get());
    if (!size) return Tr("{0}: cannot be measured", {path});
    fileSize = *size;
    std::uint8_t signature[8] = {};
    const std::size_t got = std::fread(signature, 1, sizeof signature, file.get());
    std::rewind(file.get());
    kind = KindOfInput(std::span(signature, got));
    return std::nullopt;
}

// Reads a stream to its end into memory (or just the checked prefix), stopping at the limit.
std::optional<std::string> Input::ReadAll(std::FILE *from, Taking taking) {
    const bool prefixOnly = taking == Taking::CheckedPrefix;
    const std::uint64_t most = prefixOnly ? std::max(kCheckedPrefixBytes, kCheckedFilePrefixBytes) : limit;
    std::vector<std::uint8_t> data;
    std::uint8_t chunk[1 << 16];
    bool checked = false;
    while (data.size() < most) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(sizeof chunk, most - data.size()));
        const std::size_t got = std::fread(chunk, 1, want, from);
        data.insert(data.end(), chunk, chunk + got);
        if (got < want) break;
        // The first bytes decide whether this can be a drawing: a device or pipe of anything else
        // (/dev/zero) is not read on to the limit only to be refused then.
        if (!checked && data.size() >= kCheckedAnyPrefixBytes) {
            checked = true;
            if (!CheckAnyInput(std::span(data.data(), kCheckedAnyPrefixBytes))) break;
        }
    }
    if (std::ferror(from)) return Tr("{0}: cannot be read: {1}", {Name(), std::strerror(errno)});
    if (!prefixOnly && data.size() >= limit && std::fgetc(from) != EOF)
        return Tr("{0}: more than the input limit of {1} bytes (see --max-input)", {Name(), std::to_string(limit)});
    bytes = std::move(data);
    kind = KindOfInput(*bytes);
    return std::nullopt;
}

bool Input::Check() const {
    if (bytes) return CheckAnyInput(*bytes);
    std::uint8_t prefix[kCheckedAnyPrefixBytes];
    const std::size_t got = std::fread(prefix, 1, sizeof prefix, file.get());
    std::rewind(file.get());
    return CheckAnyInput(std::span(prefix, got));
}

bool Input::Read(DrawingStore &store, ReadReport &report) const {
    return bytes ? ReadAnyInput(*bytes, store, fileOptions, &report)
                 : ReadAnyInput(file.get(), fileSize, kind, store, fileOptions, &report);
}

bool Input::Read(DrawingSummary &summary, ReadReport &report) const {
    return bytes ? ReadClipBytes(*bytes, summary, &report) : ReadClipStream(file.get(), fileSize, summary, &report);
}

bool Input::Read(ScriptDrawing &drawing, ReadReport &report) const {
    return bytes ? ReadClipBytes(*bytes, drawing, &report) : ReadClipStream(file.get(), fileSize, drawing, &report);
}

namespace {

template <class Store>
int LoadOpened(Input &input, Store &store) {
    if (!input.Check())
        return Fail(kRejected, Tr("{0}: not a Jw_win drawing stream, .jww or .jws file", {input.Name()}));
    ReadReport report;
    if (input.Read(store, report)) return kOk;
    if (report.outOfMemory)
        return Fail(kOutOfMemory,
                    Tr("{0}: out of memory at byte offset {1}", {input.Name(), std::to_string(report.endOffset)}));
    return Fail(kReadFailed, Tr("{0}: read failed at byte offset {1}: {2}",
                                {input.Name(), std::to_string(report.endOffset), report.failure}));
}

}  // namespace

int LoadDrawing(Input &input, DrawingStore &store) {
    if (const auto failed = input.Open()) return Fail(kRejected, *failed);
    return LoadOpened(input, store);
}

int LoadOpenedDrawing(Input &input, DrawingStore &store) { return LoadOpened(input, store); }
int LoadOpenedDrawing(Input &input, DrawingSummary &summary) { return LoadOpened(input, summary); }
int LoadOpenedDrawing(Input &input, ScriptDrawing &drawing) { return LoadOpened(input, drawing); }

const PenColorTable &Pens() {
    static const PenColorTable pens = [] {
        PenColorTable table;
        FillPenColorTable(table);
        return table;
    }();
    return pens;
}

bool NameOneFile(const std::string &a, const std::string &b) {
    if (a.empty() || b.empty() || a == "-" || b == "-") return false;
    const std::optional<FileIdentity> first = IdentityOf(FilePath(a)), second = IdentityOf(FilePath(b));
    // A device or pipe (/dev/null) takes both outputs' bytes; a file would keep only the last.
    std::error_code ec;
    if (first && second) return *first == *second && std::filesystem::is_regular_file(FilePath(a), ec);
    const auto resolved = [](const std::string &path) {
        std::error_code ec;
        std::filesystem::path full =
            std::filesystem::weakly_canonical(std::filesystem::absolute(FilePath(path), ec), ec);
        return ec ? std::filesystem::path() : full;
    };
    // Names that differ only in case are one file on Windows and on many shared folders.
    const std::filesystem::path x = resolved(a);
    return !x.empty() && CaseFolded(Utf8Of(x)) == CaseFolded(Utf8Of(resolved(b)));
}

int FinishStandardOutput(int code) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return Fail(kOutputFailed, Tr("standard output: write failed"));
    return code;
}

}  // namespace korvel::cli
