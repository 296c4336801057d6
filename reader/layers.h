// Layers as a drawing numbers them: 16 layer groups of 16 layers, one index each (group * 16 + layer).
// An entity whose numbers lie outside that range belongs to no layer: no switch hides it.
#pragma once

#include <bitset>
#include <cstddef>
#include <optional>

#include "reader/drawing_store.h"

namespace korvel {

inline constexpr std::size_t kLayerGroups = 16, kLayersPerGroup = 16, kLayerCount = kLayerGroups * kLayersPerGroup;

inline std::optional<std::size_t> LayerIndexOf(const TclpEntBase &base) {
    if (base.layerGroup >= kLayerGroups || base.layer >= kLayersPerGroup) return std::nullopt;
    return base.layerGroup * kLayersPerGroup + base.layer;
}

// The layers switched off in a view; none by default.
using HiddenLayers = std::bitset<kLayerCount>;

inline bool OnHiddenLayer(const HiddenLayers &hidden, const TclpEntBase &base) {
    const std::optional<std::size_t> index = LayerIndexOf(base);
    return index && hidden[*index];
}

}  // namespace korvel
