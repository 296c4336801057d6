// Fuzz target: any bytes through the header check, the reader, and a conversion with every option on.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "reader/jclfunit.h"
#include "script/convert.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    // An exact-size copy, so that AddressSanitizer sees any read past the end.
    const std::vector<std::uint8_t> bytes(data, data + size);
    korvel::CheckClipBytes(bytes);
    korvel::DrawingStore store;
    korvel::ReadClipBytes(bytes, store);
    static const korvel::PenColorTable pens = [] {
        korvel::PenColorTable table;
        korvel::FillPenColorTable(table);
        return table;
    }();
    // Whatever was read, complete or not, must convert without a crash or a hang.
    korvel::NullScriptSink sink;
    korvel::ConvertDrawing(store, korvel::ConvertOptions{true, true, true, true}, pens, sink);
    return 0;
}
