// korvel-cli: check, inspect and convert Jw_win clipboard streams from the command line.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/dump_json.h"
#include "cli/info.h"
#include "reader/jclfunit.h"
#include "script/convert.h"

namespace {

using namespace korvel;

// Exit codes; documented in the README and in --help.
enum Exit : int { kOk = 0, kRejected = 1, kUsage = 2, kReadFailed = 3, kOutputFailed = 4 };

constexpr const char *kUsageText =
    "usage: korvel-cli COMMAND [OPTIONS] FILE\n"
    "\n"
    "FILE is a dump of the \"Jw_win\" clipboard format (\"prev.1\"); \"-\" reads standard input.\n"
    "\n"
    "commands:\n"
    "  check FILE     print \"ok\" when FILE passes the Jw_win header check\n"
    "  info FILE      summarise the drawing: version, reference point, scale, counts\n"
    "  dump FILE      print the whole drawing as JSON\n"
    "  convert [--colors] [--layers] [--hatching] [--solids] FILE [-o OUT]\n"
    "                 write the Vantra script (Shift-JIS, CR LF) to OUT or standard output\n"
    "\n"
    "options:\n"
    "  --help         show this text\n"
    "  --version      show the version\n"
    "\n"
    "exit codes:\n"
    "  0  success\n"
    "  1  FILE is missing, unreadable or not a Jw_win stream (header check)\n"
    "  2  bad command line\n"
    "  3  the stream passed the header check but could not be read to the end\n"
    "     (dump still prints the partial drawing; convert writes nothing)\n"
    "  4  the output could not be written\n";

int Fail(int code, const std::string &message) {
    std::fprintf(stderr, "korvel-cli: %s\n", message.c_str());
    return code;
}

// FILE as given: a path read through a buffer, or standard input held in memory.
class Input {
public:
    explicit Input(std::string path) : path(std::move(path)) {}

    // False (with a message) when the input cannot be opened at all.
    bool Open(std::string &error) {
        if (path == "-") {
            std::vector<std::uint8_t> data;
            std::uint8_t chunk[1 << 16];
            std::size_t got;
            while ((got = std::fread(chunk, 1, sizeof chunk, stdin)) > 0)
                data.insert(data.end(), chunk, chunk + got);
            if (std::ferror(stdin)) {
                error = "standard input: cannot be read";
                return false;
            }
            bytes = std::move(data);
            return true;
        }
        std::FILE *f = std::fopen(path.c_str(), "rb");
        if (!f) {
            error = path + ": " + std::strerror(errno);
            return false;
        }
        std::fclose(f);
        return true;
    }

    std::string Name() const { return path == "-" ? "standard input" : path; }
    bool Check() const { return bytes ? CheckClipBytes(*bytes) : CheckClipFile(path); }
    bool Read(DrawingStore &store, ReadReport &report) const {
        return bytes ? ReadClipBytes(*bytes, store, &report) : ReadClipFile(path, store, &report);
    }

private:
    std::string path;
    std::optional<std::vector<std::uint8_t>> bytes;
};

struct Arguments {
    std::string command;
    std::string file;
    std::string output;  // convert: empty or "-" for standard output
    ConvertOptions options;
};

std::optional<Arguments> Parse(int argc, char **argv, std::string &error) {
    Arguments args;
    args.command = argv[1];
    for (int i = 2; i < argc; i++) {
        const std::string_view a = argv[i];
        const bool convert = args.command == "convert";
        if (convert && a == "--colors") args.options.colors = true;
        else if (convert && a == "--layers") args.options.layers = true;
        else if (convert && a == "--hatching") args.options.hatching = true;
        else if (convert && a == "--solids") args.options.solids = true;
        else if (convert && a == "-o") {
            if (++i == argc) {
                error = "-o needs a file name";
                return std::nullopt;
            }
            args.output = argv[i];
        } else if (a.size() > 1 && a[0] == '-') {
            error = "unknown option " + std::string(a) + " for " + args.command;
            return std::nullopt;
        } else if (args.file.empty()) {
            args.file = a;
        } else {
            error = "more than one FILE given";
            return std::nullopt;
        }
    }
    if (args.file.empty()) {
        error = args.command + " needs a FILE";
        return std::nullopt;
    }
    return args;
}

// Header check and full read, with the messages and exit codes shared by info, dump and convert.
// Returns kOk, kRejected or kReadFailed; on kReadFailed the store holds the partial drawing.
int LoadDrawing(Input &input, DrawingStore &store) {
    std::string error;
    if (!input.Open(error)) return Fail(kRejected, error);
    if (!input.Check()) return Fail(kRejected, input.Name() + ": not a Jw_win drawing stream");
    ReadReport report;
    if (!input.Read(store, report))
        return Fail(kReadFailed, input.Name() + ": read failed at byte offset " + std::to_string(report.endOffset) +
                                     ": " + report.failure);
    return kOk;
}

int RunCheck(Input &input) {
    std::string error;
    if (!input.Open(error)) return Fail(kRejected, error);
    if (!input.Check()) return Fail(kRejected, input.Name() + ": not a Jw_win drawing stream");
    std::puts("ok");
    return kOk;
}

int RunDump(Input &input) {
    DrawingStore store;
    const int loaded = LoadDrawing(input, store);
    if (loaded == kRejected) return loaded;
    JsonOut json(stdout);
    WriteStoreJson(json, store, loaded == kOk);
    if (!json.Flush()) return Fail(kOutputFailed, "standard output: write failed");
    return loaded;
}

int RunInfo(Input &input) {
    DrawingStore store;
    const int loaded = LoadDrawing(input, store);
    if (loaded == kRejected) return loaded;
    WriteStoreSummary(stdout, store);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) return Fail(kOutputFailed, "standard output: write failed");
    return loaded;
}

// Writes the script through a buffer; false when any write or the flush fails.
bool WriteScript(const DrawingStore &store, const ConvertOptions &options, std::FILE *file) {
    PenColorTable pens;
    FillPenColorTable(pens);
    FileScriptSink sink(file);
    return ConvertDrawing(store, options, pens, sink) && sink.Finish();
}

// A regular file (or a new one) is written beside OUT and renamed over it, so a failed run never
// leaves a truncated script in place of a good one. Devices, pipes and symbolic links are written
// in place: renaming over them would replace them.
bool WriteScriptFile(const DrawingStore &store, const ConvertOptions &options, const std::string &path,
                     std::string &error) {
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(path, ec);
    const bool replace = !std::filesystem::exists(status) || std::filesystem::is_regular_file(status);
    const std::string target = replace ? path + ".korvel-tmp" : path;
    std::FILE *file = std::fopen(target.c_str(), "wb");
    if (!file) {
        error = path + ": cannot be created: " + std::strerror(errno);
        return false;
    }
    const bool written = WriteScript(store, options, file);
    const bool closed = std::fclose(file) == 0;
    if (written && closed && replace) std::filesystem::rename(target, path, ec);
    if (written && closed && !ec) return true;
    if (replace) std::filesystem::remove(target, ec);
    error = path + ": write failed";
    return false;
}

int RunConvert(Input &input, const Arguments &args) {
    DrawingStore store;
    const int loaded = LoadDrawing(input, store);
    if (loaded != kOk) return loaded;
    if (args.output.empty() || args.output == "-") {
        if (!WriteScript(store, args.options, stdout)) return Fail(kOutputFailed, "standard output: write failed");
        return kOk;
    }
    std::string error;
    if (!WriteScriptFile(store, args.options, args.output, error)) return Fail(kOutputFailed, error);
    return kOk;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fputs(kUsageText, stderr);
        return kUsage;
    }
    const std::string_view first = argv[1];
    if (first == "--help" || first == "-h") {
        std::fputs(kUsageText, stdout);
        return kOk;
    }
    if (first == "--version") {
        std::printf("korvel-cli %s\n", KORVEL_VERSION);
        return kOk;
    }
    if (first != "check" && first != "info" && first != "dump" && first != "convert")
        return Fail(kUsage, "unknown command " + std::string(first) + " (see korvel-cli --help)");
    std::string error;
    const std::optional<Arguments> args = Parse(argc, argv, error);
    if (!args) return Fail(kUsage, error + " (see korvel-cli --help)");
    Input input(args->file);
    if (args->command == "check") return RunCheck(input);
    if (args->command == "info") return RunInfo(input);
    if (args->command == "dump") return RunDump(input);
    return RunConvert(input, *args);
}
