// korvel-cli info: the short summary, also of a drawing whose read stopped early.
#include "cli/commands.h"
#include "cli/info.h"

namespace korvel::cli {

int RunInfo(Input &input) {
    DrawingStore store;
    const int loaded = LoadDrawing(input, store);
    if (loaded != kOk && loaded != kReadFailed) return loaded;
    WriteStoreSummary(stdout, store);
    return FinishStandardOutput(loaded);
}

}  // namespace korvel::cli
