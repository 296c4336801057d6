// korvel-cli's command line: check, inspect, preview, convert and capture Jw_win clipboard streams.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "cli/capture_command.h"
#include "cli/commands.h"
#include "cli/preview_command.h"
#include "cli/watch_command.h"
#include "files/file_path.h"

namespace {

using namespace korvel;
using namespace korvel::cli;

// CLI11's own words, and the help option's, in the user's language; a command's are set as it is made.
void InLanguage(CLI::App &app) {
    app.set_help_flag("-h,--help", Tr("print this help and exit"));
    app.option_defaults()->group(Tr("Options"));
    const auto formatter = app.get_formatter();
    formatter->label("Usage", Tr("Usage"));
    formatter->label("OPTIONS", Tr("OPTIONS"));
    formatter->label("SUBCOMMAND", Tr("SUBCOMMAND"));
    formatter->label("SUBCOMMANDS", Tr("SUBCOMMANDS"));
    formatter->label("Positionals", Tr("Positionals"));
    formatter->label("REQUIRED", Tr("REQUIRED"));
}

CLI::App *Subcommand(CLI::App &app, const char *name, const std::string &what) {
    CLI::App *command = app.add_subcommand(name, what);
    command->group(Tr("Subcommands"));
    InLanguage(*command);
    return command;
}

// The options of the commands that read a drawing.
struct Reading {
    std::vector<std::string> files;
    std::uint64_t limit = kDefaultInputLimit;
    bool allLayers = false;
};

CLI::App *ReadingCommand(CLI::App &app, const char *name, const std::string &what, Reading &reading,
                         int mostFiles = 1) {
    CLI::App *command = Subcommand(app, name, what);
    command
        ->add_option("FILE", reading.files,
                     Tr("the stream or drawing file, \"-\" for standard input, or a clipboard folder"))
        ->required()
        ->expected(1, mostFiles);
    command
        ->add_option("--max-input", reading.limit,
                     Tr("the most bytes read into memory from standard input, a pipe or a device (default 2 GiB)"))
        ->check(CLI::PositiveNumber);
    command->add_flag("--all-layers", reading.allLayers,
                      Tr("from a .jww file, every entity (not only those on editable layers, as Jw_cad copies)"));
    return command;
}

CLI::Option *OutputOption(CLI::App *command, const char *name, std::string &value, const std::string &what) {
    return command->add_option(name, value, what)->check([](const std::string &v) {
        return v.empty() ? Tr("must not be empty") : std::string();
    });
}

void ForceFlag(CLI::App *command, OutputOptions &options) {
    command->add_flag("--force", options.force, Tr("replace an output file that is read-only"));
}

void ConvertFlags(CLI::App *command, ConvertOptions &options) {
    command->add_flag("--colors", options.colors, Tr("write \"PEN\" lines (colours)"));
    command->add_flag("--layers", options.layers, Tr("write \"LAYER\" lines"));
    command->add_flag("--hatching", options.hatching, Tr("convert hatching lines too"));
    command->add_flag("--solids", options.solids, Tr("convert solids"));
    command->add_flag("--blocks", options.blocks,
                      Tr("convert block figures too: each insert's members placed as it places them, nested\n"
                         "blocks included, on the insert's layer and in their own colours"));
    command->add_flag("--dimensions", options.dimensions,
                      Tr("convert dimensions' lines (and extension lines) too, on the dimension's layer and colour"));
    command->add_flag("--group-scales", options.groupScales,
                      Tr("scale each entity by its own layer group's scale instead of group 0's (a block figure\n"
                         "by its insert's group)"));
}

// What convert and export share: their inputs (patterns and folders of drawings included), where they go,
// and how each is reported.
struct Batch {
    Reading reading;
    std::string output;
    OutputOptions outputOptions;
    bool recursive = false, nameByPath = false;
    ConvertReporting reporting;
    unsigned jobs = DefaultJobs();
};

// `extension`: the outputs' (".vnt", ".dxf"), for the help's example.
void BatchFlags(CLI::App *command, Batch &batch, const std::string &outputHelp, const std::string &extension) {
    ForceFlag(command, batch.outputOptions);
    OutputOption(command, "-o,--output", batch.output, outputHelp);
    command->add_flag("--name-by-path", batch.nameByPath,
                      Tr("with several FILEs, name each output after the FILE's whole path (dA/plan.jww:\n"
                         "{0}), for inputs whose names alone would write one file",
                         {"dA_plan.jww" + extension}));
    command->add_flag("-r,--recursive", batch.recursive,
                      Tr("a folder of drawings given as FILE: its subfolders' drawings too, their outputs in\n"
                         "the same subfolders of the output folder"));
    command->add_flag("-q,--quiet", batch.reporting.quiet,
                      Tr("no summary line per FILE (what its output holds and left out); errors and the\n"
                         "warning for an output with no figure still show"));
    OutputOption(command, "--report", batch.reporting.reportPath,
                 Tr("also write, as JSON, what each FILE's output holds and left out, by kind and by reason"));
    command
        ->add_option(
            "-j,--jobs", batch.jobs,
            Tr("how many FILEs convert at a time (default: one per core, here {0})", {std::to_string(batch.jobs)}))
        ->check(CLI::Range(1u, kMaxJobs));
}

int RunBatch(Batch &batch, const Production &production) {
    const Reading &reading = batch.reading;
    // Patterns and folders of drawings stand for their files (Windows' shells leave patterns to programs).
    std::vector<ListedInput> listed;
    if (const std::optional<UnlistedInput> failed = ListInputs(reading.files, batch.recursive, listed))
        return Fail(kRejected,
                    failed->why == UnlistedInput::Why::NoMatch ? Tr("{0}: matches no file", {failed->argument})
                    : batch.recursive ? Tr("{0}: is a folder with no .jww or .jws drawing, nor a clipboard folder",
                                           {failed->argument})
                                      : Tr("{0}: is a folder with no .jww or .jws drawing (-r looks in its subfolders "
                                           "too), nor a clipboard folder",
                                           {failed->argument}));
    if (batch.nameByPath)
        for (ListedInput &input : listed)
            input.scriptName = NameByPath(input.path, production.Extension());
    std::error_code ec;
    const bool folderOfDrawings =
        std::filesystem::is_directory(FilePath(reading.files.front()), ec) && !IsClipboardFolder(reading.files.front());
    batch.reporting.outputOptions = batch.outputOptions;
    std::vector<std::string> paths;
    for (const ListedInput &input : listed)
        paths.push_back(input.path);
    if (const std::optional<std::string> refused = ReportOverFiles(batch.reporting, paths, batch.output))
        return Fail(kUsage, *refused);
    const DrawingFileOptions fileOptions{reading.allLayers};
    if (listed.size() > 1 || folderOfDrawings || NamesAFolder(batch.output))
        return RunConvertMany(listed, reading.limit, fileOptions, production, batch.output, batch.outputOptions,
                              batch.jobs, batch.reporting);
    Input input(listed.front().path, reading.limit, fileOptions);
    return RunConvert(input, production, batch.output, batch.outputOptions, batch.reporting);
}

int Run(int argc, char **argv) {
    CLI::App app(
        Tr("Checks, inspects, previews and converts Jw_cad's \"Jw_win\" clipboard streams into Vantra scripts.\n"
           "FILE is a dump of the \"Jw_win\" clipboard format (\"prev.1\") or a Jw_cad drawing file (.jww, .jws),\n"
           "told apart by their first bytes; \"-\" reads standard input; a folder is a saved clipboard, one file per\n"
           "format name, whose \"Jw_win\" file is read."),
        "korvel-cli");
    InLanguage(app);
    app.allow_windows_style_options(false);  // "/path/to/file" is a FILE on every platform, never an option
    app.footer(
        Tr("exit codes:\n"
           "  0  success\n"
           "  1  FILE is missing, unreadable, a folder without \"Jw_win\" (or drawings, for convert), a pattern\n"
           "     that matches nothing, over the input limit, or not a Jw_win stream (header check); for\n"
           "     capture: no clipboard, its owner does not answer, or no Jw_cad drawing on it\n"
           "  2  bad command line, or an output that would write over an input or another output\n"
           "  3  the stream passed the header check but could not be read to the end\n"
           "     (info and dump still print the partial drawing; convert and preview write nothing)\n"
           "  4  the output could not be written, or is read-only (see --force)\n"
           "  5  out of memory\n"));
    app.require_subcommand(0, 1);
    bool version = false;
    app.add_flag("--version", version, Tr("show the version"));

    Reading check, info, dump, preview;
    ReadingCommand(app, "check", Tr("print \"ok\" when FILE passes the Jw_win header check"), check);
    ReadingCommand(app, "info", Tr("summarise the drawing: version, reference point, scale, counts"), info);
    ReadingCommand(app, "dump", Tr("print the whole drawing as JSON"), dump);

    Batch convert;
    Production convertProduction;
    CLI::App *convertCommand =
        ReadingCommand(app, "convert", Tr("write the Vantra script (Shift-JIS, CR LF); of several FILEs, one per FILE"),
                       convert.reading, std::numeric_limits<int>::max());
    ConvertFlags(convertCommand, convertProduction.convert);
    BatchFlags(convertCommand, convert,
               Tr("the script file (default: standard output, also \"-\"); or a folder (an existing one, or a\n"
                  "name ending with /), where each FILE's script is NAME.vnt; several FILEs need a folder"),
               ".vnt");
    convertCommand->footer(
        Tr("what a script leaves out, by reason (the report's keys), and the option that converts it:\n"
           "  texts                   texts and dimension values: never\n"
           "  dimensions              dimension records: --dimensions converts their lines\n"
           "  block-figures           inserts of blocks: --blocks converts their members\n"
           "  solids, hatching        --solids, --hatching\n"
           "  zero-size               lines of no length, arcs of no radius or sweep, inserts of empty blocks:\n"
           "                          never\n"
           "  never-converted         dimension figures' lines and points (Jw_cad's dimension and extension\n"
           "                          lines and end points): --dimensions\n"
           "  no-figure               solids no command can draw (a ring band of kind 106 under unequal\n"
           "                          scales): never\n"
           "  missing-blocks, self-referring-blocks, over-limit\n"
           "                          inserts of no definition, of themselves, past the member limit: never\n"
           "  hidden-layers           layers the window's view hides (window only)\n"
           "  unusable-scale          in a layer group whose scale is 0 or no number: never\n"
           "  locked-layers           on a .jww file's hidden or display-only layers: --all-layers\n"
           "the counts add up to the drawing's entities, but a dimension written by --dimensions counts as its\n"
           "lines and its value, and an insert placed by --blocks as what it places (each time it is placed)\n"));

    Batch exporting;
    Production exportProduction;
    std::string formatName;
    CLI::App *exportCommand = ReadingCommand(
        app, "export",
        Tr("write the whole drawing as DXF (AutoCAD 2013, UTF-8) or SVG; of several FILEs, one per FILE"),
        exporting.reading, std::numeric_limits<int>::max());
    BatchFlags(exportCommand, exporting,
               Tr("the DXF or SVG file, told by its name (default: standard output, also \"-\"); or a folder (an\n"
                  "existing one, or a name ending with /), where each FILE's export is NAME.dxf or NAME.svg"),
               ".dxf");
    exportCommand
        ->add_option("--format", formatName, Tr("dxf or svg, where the output's name does not say (default dxf)"))
        ->check(CLI::IsMember({"dxf", "svg"}));
    // An export is a copy of the drawing, so it takes every layer; a script takes what Jw_cad's copy would.
    bool editableLayers = false;
    exportCommand->get_option("--all-layers")->description(Tr("every layer's entities (the default for export)"));
    exportCommand->add_flag("--editable-layers", editableLayers,
                            Tr("from a .jww file, only the entities of editable layers, as Jw_cad copies them"));
    exportCommand->add_option("--text-font", exportProduction.exportOptions.textFont,
                              Tr("the font file the DXF's text styles name (default: Windows' msgothic.ttc or\n"
                                 "msmincho.ttc for each face), for a reader that has other fonts"));
    exportCommand->add_flag("--paper", exportProduction.exportOptions.paper,
                            Tr("paper millimetres as drawn, instead of real size (each layer group at its own scale)"));
    exportCommand->footer(
        Tr("Layers are named as in Jw_cad (\"0-1 NAME\"); every layer's entities are written, display-only\n"
           "layers shown and locked, hidden ones kept but off and frozen; temporary points are kept but not\n"
           "shown. Blocks are kept as blocks, texts as texts. Coordinates are millimetres at real size, from the\n"
           "drawing's origin.\n"
           "example: every .jww drawing of a folder as DXF files in another:\n"
           "  korvel-cli export drawings/ -o dxf/\n"));

    PreviewRequest previewRequest;
    std::string size;
    CLI::App *previewCommand =
        ReadingCommand(app, "preview", Tr("draw the window's preview (177x129 unless --size) as PNG"), preview);
    OutputOption(previewCommand, "-o,--output", previewRequest.imagePath,
                 Tr("the PNG file, named .png (\"-\" for standard output)"))
        ->required();
    OutputOption(previewCommand, "--trace", previewRequest.tracePath,
                 Tr("also write every drawing operation, one per line"));
    previewCommand->add_option("--size", size, Tr("WIDTHxHEIGHT, each 1 to 10000"))->check([&](const std::string &v) {
        return ParsePreviewSize(v, previewRequest) ? std::string() : Tr("needs WIDTHxHEIGHT, each 1 to 10000");
    });
    previewCommand->add_flag("--view", previewRequest.view,
                             Tr("the view's whole drawing (as the window's view first shows it), not the preview"));
    ForceFlag(previewCommand, previewRequest.output);

    CaptureRequest capture;
    CLI::App *captureCommand = Subcommand(
        app, "capture", Tr("dump the clipboard's Jw_cad drawing to DIR/prev.0..prev.2 as the window's import does"));
    captureCommand->add_option("DIR", capture.folder, Tr("where the dumps go (default: the current folder)"));
    OutputOption(captureCommand, "--convert", capture.scriptPath, Tr("also write the drawing's script to this file"));
    ConvertFlags(captureCommand, capture.options);
    ForceFlag(captureCommand, capture.output);

    WatchRequest watch;
    CLI::App *watchCommand =
        Subcommand(app, "watch", Tr("convert every new Jw_cad copy on the clipboard as it is made, until Ctrl+C"));
    OutputOption(watchCommand, "-o,--output", watch.output,
                 Tr("the script file, rewritten for each copy (default: TEMP.VNT); or a folder (ending with /),\n"
                    "where each copy's script is clipboard-N.vnt"));
    ConvertFlags(watchCommand, watch.options);
    ForceFlag(watchCommand, watch.outputOptions);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp &help) {
        app.exit(help);  // the help of the command asked about, on standard output
        return FinishStandardOutput(kOk);
    } catch (const CLI::ParseError &error) {
        return Fail(kUsage, Tr("{0} (see korvel-cli --help)", {error.what()}));
    }
    if (version) {
        std::printf("korvel-cli %s\n", KORVEL_VERSION);
        return FinishStandardOutput(kOk);
    }
    if (*captureCommand) return RunCapture(capture);
    if (*watchCommand) return RunWatch(watch);
    const auto run = [](const Reading &reading, const auto &command) {
        Input input(reading.files.front(), reading.limit, DrawingFileOptions{reading.allLayers});
        return command(input);
    };
    if (*app.get_subcommand("check")) return run(check, RunCheck);
    if (*app.get_subcommand("info")) return run(info, RunInfo);
    if (*app.get_subcommand("dump")) return run(dump, RunDump);
    if (*convertCommand) return RunBatch(convert, convertProduction);
    if (*exportCommand) {
        const std::optional<ExportFormat> named = ExportFormatOfName(exporting.output);
        const std::optional<ExportFormat> asked =
            formatName.empty() ? std::nullopt
                               : std::optional(formatName == "svg" ? ExportFormat::Svg : ExportFormat::Dxf);
        if (named && asked && named != asked)
            return Fail(kUsage,
                        Tr("{0}: is named for another format than --format {1}", {exporting.output, formatName}));
        if (!named && !asked && !exporting.output.empty() && exporting.output != "-" && !NamesAFolder(exporting.output))
            return Fail(kUsage, Tr("{0}: name it .dxf or .svg, or give --format", {exporting.output}));
        exportProduction.format = named ? named : asked ? asked : ExportFormat::Dxf;
        exporting.reading.allLayers = !editableLayers;
        return RunBatch(exporting, exportProduction);
    }
    if (*previewCommand) return run(preview, [&](Input &input) { return RunPreview(input, previewRequest); });
    std::fputs(app.help().c_str(), stderr);
    return kUsage;
}

}  // namespace

namespace korvel::cli {

int RunCommandLine(int argc, char **argv) {
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc &) {
        return Fail(kOutOfMemory, "out of memory");
    }
}

}  // namespace korvel::cli
