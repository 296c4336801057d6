// korvel-cli convert: the Vantra script, exactly as the window's convert button writes it.
#include "cli/commands.h"
#include "reader/output_file.h"

#include <algorithm>
#include <filesystem>

#include "reader/file_path.h"

namespace korvel::cli {

int RunConvert(Input &input, const ConvertOptions &options, const std::string &output,
               const OutputOptions &outputOptions) {
    DrawingStore store;
    const int loaded = LoadDrawing(input, store);
    if (loaded != kOk) return loaded;
    std::string error;
    const auto write = [&](std::FILE *file) { return WriteScript(store, options, file); };
    if (!WriteOutputFile(output.empty() ? "-" : output, write, error, outputOptions)) return Fail(kOutputFailed, error);
    return kOk;
}

int RunConvertMany(const std::vector<std::string> &inputs, std::uint64_t limit, const DrawingFileOptions &fileOptions,
                   const ConvertOptions &options, const std::string &output, const OutputOptions &outputOptions) {
    if (output.empty() || output == "-") return Fail(kUsage, "several FILEs need -o FOLDER (see korvel-cli --help)");
    std::error_code ec;
    std::filesystem::create_directories(FilePath(output), ec);
    if (ec || !std::filesystem::is_directory(FilePath(output), ec))
        return Fail(kOutputFailed, output + ": not a folder that can be written");
    const bool progress = IsTerminal(stderr);
    int worst = kOk;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        if (progress) std::fprintf(stderr, "[%zu/%zu] %s\n", i + 1, inputs.size(), inputs[i].c_str());
        const std::string name = Utf8Of(FilePath(inputs[i]).stem()) + ".vnt";
        Input input(inputs[i], limit, fileOptions);
        worst = std::max(worst, RunConvert(input, options, Utf8Of(FilePath(output) / FilePath(name)), outputOptions));
    }
    return worst;
}

}  // namespace korvel::cli
