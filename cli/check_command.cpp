// korvel-cli check: the header check alone, on only the bytes it needs.
#include "cli/commands.h"

namespace korvel::cli {

int RunCheck(Input &input) {
    if (const auto failed = input.Open(Input::Taking::CheckedPrefix)) return Fail(kRejected, *failed);
    if (!input.Check())
        return Fail(kRejected, Tr("{0}: not a Jw_win drawing stream, .jww or .jws file", {input.Name()}));
    std::puts("ok");
    return FinishStandardOutput(kOk);
}

}  // namespace korvel::cli
