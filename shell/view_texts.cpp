// What the drawing view says.
#include "shell/view_texts.h"

#include <cmath>
#include <cstdio>

#include "geom/cp932.h"

namespace korvel {

namespace {

// A number as a CAD user reads it: at most three decimals, no trailing zeros.
std::string Number(double v) {
    // As long as the number needs: 1e308 has 309 digits before the point.
    std::string s(static_cast<std::size_t>(std::snprintf(nullptr, 0, "%.3f", v)), '\0');
    std::snprintf(s.data(), s.size() + 1, "%.3f", v);
    while (!s.empty() && s.back() == '0')
        s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string NameOf(const DrawingStore &store, std::size_t index) {
    return index < store.layerNames.size() ? Cp932ToUtf8(store.layerNames[index]) : std::string();
}

std::string ScaleText(const DrawingStore &store, std::size_t group) {
    return "縮尺 1/" + Number(GroupScale(store, group));
}

// " 非表示" or " 表示のみ" for a group or layer a .jww file keeps hidden or display-only (`state` is the
// group's number, or 16 + the layer's): what a copy of the drawing leaves out.
std::string StateText(const DrawingStore &store, std::size_t state) {
    if (state >= store.layerStates.size()) return {};
    switch (store.layerStates[state]) {
        case 0: return " 非表示";
        case 1: return " 表示のみ";
        default: return {};
    }
}

}  // namespace

double GroupScale(const DrawingStore &store, std::size_t group) {
    const double s = group < store.layerGroupScales.size() ? store.layerGroupScales[group] : 1.0;
    return std::isfinite(s) && s > 0 ? s : 1.0;
}

std::string GroupLine(const DrawingStore &store, std::size_t group, const LayerCounts &counts) {
    const std::string name = NameOf(store, kLayerCount + group);
    return "[" + std::to_string(group) + "]" + (name.empty() ? "" : " " + name) + StateText(store, group) + " (" +
           ScaleText(store, group) + "・" + std::to_string(GroupCount(counts, group)) + ")";
}

std::string LayerLine(const DrawingStore &store, std::size_t layer, const LayerCounts &counts) {
    const std::string name = NameOf(store, layer);
    return std::to_string(layer / kLayersPerGroup) + "-" + std::to_string(layer % kLayersPerGroup) +
           (name.empty() ? "" : " " + name) + StateText(store, kLayerGroups + layer) + " (" +
           std::to_string(counts[layer]) + ")";
}

std::string CursorText(const DrawingStore &store, PlanePoint at, std::size_t group) {
    const double s = GroupScale(store, group);
    return "X " + Number(at.x) + "  Y " + Number(at.y) + "  (実寸 " + Number((at.x - store.originX) * s) + ", " +
           Number((at.y - store.originY) * s) + " mm・" + ScaleText(store, group) + ")";
}

std::string MeasureText(const DrawingStore &store, PlanePoint from, const PlanePoint *to, std::size_t group) {
    if (!to) return "距離: 2点目をクリックしてください";
    const double s = GroupScale(store, group);
    return "距離 " + Number(RealDistance(from, *to, 1)) + "（実寸 " + Number(RealDistance(from, *to, s)) + " mm・" +
           ScaleText(store, group) + "）";
}

std::string LeftOutText(std::size_t leftOut) {
    if (leftOut == 0) return {};
    return "ブロック図形 " + std::to_string(leftOut) + " 個は上限を超えたため表示していません";
}

}  // namespace korvel
