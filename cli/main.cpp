// korvel-cli: check, inspect, preview and convert Jw_win clipboard streams from the command line.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/capture_command.h"
#include "cli/cli_common.h"
#include "cli/dump_json.h"
#include "cli/info.h"
#include "cli/output_file.h"
#include "cli/preview_command.h"
#include "reader/file_path.h"
#include "reader/jclfunit.h"
#include "script/convert.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

using namespace korvel;
using namespace korvel::cli;

constexpr const char *kUsageText =
    "usage: korvel-cli COMMAND [OPTIONS] FILE\n"
    "\n"
    "FILE is a dump of the \"Jw_win\" clipboard format (\"prev.1\"); \"-\" reads standard input;\n"
    "a folder is a saved clipboard, one file per format name, whose \"Jw_win\" file is read.\n"
    "\n"
    "commands:\n"
    "  check FILE     print \"ok\" when FILE passes the Jw_win header check\n"
    "  info FILE      summarise the drawing: version, reference point, scale, counts\n"
    "  dump FILE      print the whole drawing as JSON\n"
    "  convert [--colors] [--layers] [--hatching] [--solids] FILE [-o OUT]\n"
    "                 write the Vantra script (Shift-JIS, CR LF) to OUT or standard output\n"
    "  preview FILE -o OUT.png [--trace TRACE.txt] [--size WxH]\n"
    "                 draw the window's preview (177x129 unless --size) as PNG; --trace also\n"
    "                 writes every drawing operation, one per line\n"
    "  capture [DIR] [--convert OUT] [--colors] [--layers] [--hatching] [--solids]\n"
    "                 dump the clipboard's Jw_cad drawing to DIR/prev.0..prev.2 (default: the\n"
    "                 current folder) as the window's import does, report what was found, and\n"
    "                 with --convert write its script to OUT\n"
    "\n"
    "options:\n"
    "  --help         show this text\n"
    "  --version      show the version\n"
    "\n"
    "exit codes:\n"
    "  0  success\n"
    "  1  FILE is missing, unreadable or not a Jw_win stream (header check); for capture:\n"
    "     no clipboard, or no Jw_cad drawing on it\n"
    "  2  bad command line\n"
    "  3  the stream passed the header check but could not be read to the end\n"
    "     (dump still prints the partial drawing; convert and preview write nothing)\n"
    "  4  the output could not be written\n";

struct Arguments {
    std::string command;
    std::string file;
    std::string output;  // convert: empty or "-" for standard output
    ConvertOptions options;
    PreviewRequest preview;
};

std::optional<Arguments> Parse(int argc, char **argv, std::string &error) {
    Arguments args;
    args.command = argv[1];
    for (int i = 2; i < argc; i++) {
        const std::string_view a = argv[i];
        const bool capture = args.command == "capture";
        const bool convert = args.command == "convert" || capture;
        const bool preview = args.command == "preview";
        const bool valued = (!capture && (convert || preview) && a == "-o") ||
                            (preview && (a == "--trace" || a == "--size")) || (capture && a == "--convert");
        if (valued && i + 1 == argc) {
            error = std::string(a) + " needs a value";
            return std::nullopt;
        }
        if (convert && a == "--colors") args.options.colors = true;
        else if (convert && a == "--layers") args.options.layers = true;
        else if (convert && a == "--hatching") args.options.hatching = true;
        else if (convert && a == "--solids") args.options.solids = true;
        else if (!capture && (convert || preview) && a == "-o") args.output = argv[++i];
        else if (capture && a == "--convert") args.output = argv[++i];
        else if (preview && a == "--trace") args.preview.tracePath = argv[++i];
        else if (preview && a == "--size") {
            if (!ParsePreviewSize(argv[++i], args.preview)) {
                error = "--size needs WIDTHxHEIGHT, each 1 to 10000";
                return std::nullopt;
            }
        } else if (a.size() > 1 && a[0] == '-') {
            error = "unknown option " + std::string(a) + " for " + args.command;
            return std::nullopt;
        } else if (args.file.empty()) {
            args.file = a;
        } else {
            error = args.command == "capture" ? "more than one DIR given" : "more than one FILE given";
            return std::nullopt;
        }
    }
    if (args.file.empty() && args.command != "capture") {
        error = args.command + " needs a FILE";
        return std::nullopt;
    }
    if (args.command == "preview" && args.output.empty()) {
        error = "preview needs -o OUT.png";
        return std::nullopt;
    }
    args.preview.imagePath = args.output;
    return args;
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

int RunConvert(Input &input, const Arguments &args) {
    DrawingStore store;
    const int loaded = LoadDrawing(input, store);
    if (loaded != kOk) return loaded;
    std::string error;
    const auto write = [&](std::FILE *file) { return WriteScript(store, args.options, file); };
    if (!WriteOutputFile(args.output.empty() ? "-" : args.output, write, error)) return Fail(kOutputFailed, error);
    return kOk;
}

int Run(int argc, char **argv) {
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
    if (first != "check" && first != "info" && first != "dump" && first != "convert" && first != "preview" &&
        first != "capture")
        return Fail(kUsage, "unknown command " + std::string(first) + " (see korvel-cli --help)");
    std::string error;
    const std::optional<Arguments> args = Parse(argc, argv, error);
    if (!args) return Fail(kUsage, error + " (see korvel-cli --help)");
    if (args->command == "capture") return RunCapture({args->file, args->output, args->options});
    Input input(args->file);
    if (args->command == "check") return RunCheck(input);
    if (args->command == "info") return RunInfo(input);
    if (args->command == "dump") return RunDump(input);
    if (args->command == "preview") return RunPreview(input, args->preview);
    return RunConvert(input, *args);
}

}  // namespace

#ifdef _WIN32
// Windows passes the command line as UTF-16; inside, names are UTF-8, and the standard streams carry
// scripts, images and streams byte for byte (no CR inserted before LF).
int wmain(int argc, wchar_t **wideArgv) {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(Utf8Of(std::filesystem::path(wideArgv[i])));
    std::vector<char *> argv;
    for (std::string &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    return Run(argc, argv.data());
}
#else
int main(int argc, char **argv) { return Run(argc, argv); }
#endif
