// The short human summary of `korvel-cli info`.
#include "cli/info.h"

#include <string>

#include "geom/cp932.h"
#include "geom/utf8.h"

namespace korvel {

namespace {

template <class Arrays>
std::string KindCounts(const Arrays &a) {
    return std::to_string(a.lineCount()) + " lines, " + std::to_string(a.arcCount()) + " arcs, " +
           std::to_string(a.pointCount()) + " points, " + std::to_string(a.textCount()) + " texts, " +
           std::to_string(a.dimensionCount()) + " dimensions, " + std::to_string(a.solidCount()) + " solids, " +
           std::to_string(a.insertCount()) + " inserts";
}

// A block name as text for a terminal: control characters (escape sequences among them) and NUL shown
// as \xNN, a backslash and a quote escaped, so that the name can neither cut the line short nor act on it.
std::string Displayed(const std::string &name) { return ControlsEscaped(Cp932ToUtf8(name), "\\\""); }

template <class Store>
void WriteSummary(std::FILE *out, const Store &store) {
    std::fprintf(out, "stream version:    %d\n", store.version);
    std::fprintf(out, "reference point:   %.17g, %.17g\n", store.originX, store.originY);
    std::fprintf(out, "layer group 0:     scale %.17g\n",
                 store.layerGroupScales.empty() ? 0.0 : store.layerGroupScales[0]);
    std::fprintf(out, "top level:         %u objects: %s\n", store.objectCount, KindCounts(store).c_str());
    if (store.replacedCharacters > 0)
        std::fprintf(out, "unicode text:      %llu characters with no Shift-JIS form, shown as \"?\"\n",
                     static_cast<unsigned long long>(store.replacedCharacters));
    std::fprintf(out, "block definitions: %d\n", store.blockDefCount());
    for (const auto &def : store.blockDefs)
        std::fprintf(out, "  number %d \"%s\": %u entities: %s\n", def.number, Displayed(def.name).c_str(),
                     def.entityCount, KindCounts(def).c_str());
}

}  // namespace

void WriteStoreSummary(std::FILE *out, const DrawingStore &store) { WriteSummary(out, store); }
void WriteStoreSummary(std::FILE *out, const DrawingSummary &summary) { WriteSummary(out, summary); }

}  // namespace korvel
