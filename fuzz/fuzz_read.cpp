// Light fuzz target: any bytes read every way (fuzz/read_checks.h) and nothing more, thousands of inputs a
// second where the whole pipeline's target runs a hundred or so.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/read_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    // An exact-size copy, so that AddressSanitizer sees any read past the end.
    const std::vector<std::uint8_t> bytes(data, data + size);
    korvel::DrawingStore store;
    korvel::ScriptDrawing script;
    korvel::fuzz::ReadEveryWay(bytes, store, script);
    return 0;
}
