// Exports made in memory and the DXF read back as its entities' group codes, for the export tests.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "reader/drawing_store.h"
#include "script/export.h"

namespace korvel::test {

// An entity's group codes and their values in order (a code may repeat).
using Group = std::map<int, std::vector<std::string>>;

// The entities of a DXF section, in order, each as its type and group codes; BLOCK and ENDBLK included.
inline std::vector<std::pair<std::string, Group>> EntitiesIn(const std::string &dxf, const std::string &section) {
    std::vector<std::pair<std::string, Group>> entities;
    std::vector<std::pair<int, std::string>> pairs;
    for (std::size_t pos = 0; pos < dxf.size();) {
        const std::size_t a = dxf.find('\n', pos), b = dxf.find('\n', a + 1);
        pairs.emplace_back(std::stoi(dxf.substr(pos, a - pos)), dxf.substr(a + 1, b - a - 1));
        pos = b + 1;
    }
    bool inside = false;
    for (std::size_t i = 0; i < pairs.size(); i++) {
        const auto &[code, value] = pairs[i];
        if (code == 2 && i > 0 && pairs[i - 1].second == "SECTION") inside = value == section;
        if (!inside) continue;
        if (code == 0) {
            if (value == "ENDSEC") break;
            entities.push_back({value, {}});
        } else if (!entities.empty()) {
            entities.back().second[code].push_back(value);
        }
    }
    return entities;
}

inline double Number(const Group &g, int code, std::size_t i = 0) { return std::stod(g.at(code).at(i)); }

struct Exported {
    std::string text;
    ConversionReport report;
    bool done = false;
};

inline Exported Export(const DrawingStore &store, ExportFormat format, ExportOptions options = {}) {
    StringScriptSink sink;
    Exported out;
    out.done = ExportDrawing(store, format, options, sink, &out.report);
    out.text = sink.text;
    return out;
}

// A drawing with no entities yet, every group at `scale`.
inline DrawingStore Scaled(double scale) {
    DrawingStore store;
    store.layerGroupScales.assign(16, scale);
    return store;
}

}  // namespace korvel::test
