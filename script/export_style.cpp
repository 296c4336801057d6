// How an exported figure looks.
#include "script/export_style.h"

#include <cstdlib>

#include "preview/view.h"
#include "reader/drawing_rules.h"

namespace korvel {

namespace {

constexpr double kDot1[] = {0.6, -0.6};
constexpr double kDot2[] = {1.5, -0.75};
constexpr double kDot3[] = {3.0, -1.0};
constexpr double kChain1[] = {6.0, -1.0, 0.0, -1.0};
constexpr double kChain2[] = {10.0, -1.5, 0.0, -1.5};
constexpr double kDoubleChain1[] = {6.0, -1.0, 0.0, -1.0, 0.0, -1.0};
constexpr double kDoubleChain2[] = {10.0, -1.5, 0.0, -1.5, 0.0, -1.5};
constexpr double kDot4[] = {0.3, -0.9};

constexpr std::array<LineTypePattern, 9> kLineTypes = {{
    {"Continuous", "Solid line", {}},
    {"JW_DOT1", "Jw_cad 点線1", kDot1},
    {"JW_DOT2", "Jw_cad 点線2", kDot2},
    {"JW_DOT3", "Jw_cad 点線3", kDot3},
    {"JW_CHAIN1", "Jw_cad 一点鎖1", kChain1},
    {"JW_CHAIN2", "Jw_cad 一点鎖2", kChain2},
    {"JW_DCHAIN1", "Jw_cad 二点鎖1", kDoubleChain1},
    {"JW_DCHAIN2", "Jw_cad 二点鎖2", kDoubleChain2},
    {"JW_DOT4", "Jw_cad 補助線", kDot4},
}};

constexpr std::int32_t kLineWeights[] = {0,  5,  9,  13, 15, 18,  20,  25,  30,  35,  40,  50,
                                         53, 60, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};

}  // namespace

std::span<const LineTypePattern> JwLineTypes() { return kLineTypes; }

const LineTypePattern &LineTypeOf(const TclpEntBase &base) {
    return base.penStyle >= 2 && base.penStyle <= 9 ? kLineTypes[base.penStyle - 1] : kLineTypes[0];
}

Rgb ColorOf(const TclpEntBase &base) { return PreviewPalette(base.penColor); }

Rgb ColorOf(const TclpEntSolid &solid) {
    if (!HasOwnColor(solid)) return ColorOf(solid.base);
    const auto bgr = static_cast<std::uint32_t>(solid.color);
    return {static_cast<std::uint8_t>(bgr & 0xFF), static_cast<std::uint8_t>(bgr >> 8 & 0xFF),
            static_cast<std::uint8_t>(bgr >> 16 & 0xFF)};
}

std::int32_t LineWeightOf(const TclpEntBase &base) {
    if (base.penWidth == 0) return -3;
    std::int32_t best = kLineWeights[0];
    for (const std::int32_t w : kLineWeights)
        if (std::abs(w - base.penWidth) < std::abs(best - base.penWidth)) best = w;
    return best;
}

}  // namespace korvel
