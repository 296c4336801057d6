// korvel-cli dump: the whole drawing as JSON, also a drawing whose read stopped early.
#include "cli/commands.h"
#include "cli/dump_json.h"
#include "cli/json_out.h"

namespace korvel::cli {

int RunDump(Input &input) {
    DrawingStore store;
    const int loaded = LoadDrawing(input, store);
    if (loaded != kOk && loaded != kReadFailed) return loaded;
    JsonOut json(stdout);
    WriteStoreJson(json, store, loaded == kOk);
    if (!json.Flush()) return Fail(kOutputFailed, Tr("standard output: write failed"));
    return loaded;
}

}  // namespace korvel::cli
