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

// How a .jww file shows a layer: by its group's state and its own (hidden, display only, editable); every
// layer of a stream is on.
enum class LayerShown { On, Locked, Off };
inline LayerShown LayerShownIn(const DrawingStore &store, std::size_t layer) {
    const std::vector<std::uint8_t> &states = store.layerStates;
    if (states.size() < kLayerGroups + kLayerCount) return LayerShown::On;
    const std::uint8_t group = states[layer / kLayersPerGroup], own = states[kLayerGroups + layer];
    if (group == 0 || own == 0) return LayerShown::Off;
    return group == 1 || own == 1 ? LayerShown::Locked : LayerShown::On;
}

// The layers a .jww file hides.
inline HiddenLayers HiddenInFile(const DrawingStore &store) {
    HiddenLayers hidden;
    for (std::size_t layer = 0; layer < kLayerCount; layer++)
        hidden[layer] = LayerShownIn(store, layer) == LayerShown::Off;
    return hidden;
}

}  // namespace korvel
