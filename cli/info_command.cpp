// korvel-cli info: the short summary, also of a drawing whose read stopped early.
#include "cli/commands.h"
#include "cli/info.h"

namespace korvel::cli {

namespace {

template <class Store>
int Summarise(Input &input) {
    Store store;
    const int loaded = LoadOpenedDrawing(input, store);
    if (loaded != kOk && loaded != kReadFailed) return loaded;
    WriteStoreSummary(stdout, store);
    return FinishStandardOutput(loaded);
}

}  // namespace

int RunInfo(Input &input) {
    // A stream is only counted, in the memory of one record per kind; a drawing file is read whole.
    if (const auto failed = input.Open()) return Fail(kRejected, *failed);
    return input.IsDrawingFile() ? Summarise<DrawingStore>(input) : Summarise<DrawingSummary>(input);
}

}  // namespace korvel::cli
