// korvel-cli convert: the Vantra script, exactly as the window's convert button writes it.
#include "cli/commands.h"
#include "cli/output_file.h"

namespace korvel::cli {

int RunConvert(Input &input, const ConvertOptions &options, const std::string &output) {
    DrawingStore store;
    const int loaded = LoadDrawing(input, store);
    if (loaded != kOk) return loaded;
    std::string error;
    const auto write = [&](std::FILE *file) { return WriteScript(store, options, file); };
    if (!WriteOutputFile(output.empty() ? "-" : output, write, error)) return Fail(kOutputFailed, error);
    return kOk;
}

}  // namespace korvel::cli
