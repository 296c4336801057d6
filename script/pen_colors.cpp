// The script's 255 pen colours, Jw_cad's colour numbers mapped onto them, and the nearest-colour search.
#include "script/pen_colors.h"

#include <cstdlib>

namespace korvel {

namespace {

constexpr std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return r | g << 8 | b << 16; }

// Channel levels of the hue blocks: the ramp, its pale counterpart, and each level by shade 0..4.
constexpr int kRamp[5] = {0, 63, 127, 191, 255};

int Pale(int v) {
    switch (v) {
        case 0: return 127;
        case 63: return 159;
        case 127: return 191;
        case 191: return 223;
        default: return 255;
    }
}

int Shaded(int v, int shade) {
    struct Row {
        int level;
        int byShade[5];
    };
    static constexpr Row kRows[] = {
        {255, {255, 165, 127, 76, 38}}, {223, {223, 145, 111, 66, 33}}, {191, {191, 124, 95, 57, 28}},
        {159, {159, 103, 79, 47, 23}},  {127, {127, 82, 63, 38, 19}},   {63, {63, 41, 31, 19, 9}},
    };
    for (const Row &row : kRows)
        if (row.level == v) return row.byShade[shade];
    return 0;
}

// The saturated colour of hue block h (0..23): red to yellow, green, cyan, blue, magenta and back.
void HueBase(int h, int rgb[3]) {
    int r, g, b;
    if (h <= 4) r = 255, g = kRamp[h], b = 0;
    else if (h <= 8) r = kRamp[8 - h], g = 255, b = 0;
    else if (h <= 12) r = 0, g = 255, b = kRamp[h - 8];
    else if (h <= 16) r = 0, g = kRamp[16 - h], b = 255;
    else if (h <= 20) r = kRamp[h - 16], g = 0, b = 255;
    else r = 255, g = 0, b = kRamp[24 - h];
    rgb[0] = r, rgb[1] = g, rgb[2] = b;
}

int Square(int v) { return v * v; }

}  // namespace

void FillPenColorTable(PenColorTable &table) {
    static constexpr std::uint32_t kFirstNine[] = {Rgb(255, 0, 0),   Rgb(255, 255, 0),   Rgb(0, 255, 0),
                                                   Rgb(0, 255, 255), Rgb(0, 0, 255),     Rgb(255, 0, 255),
                                                   Rgb(0, 0, 0),     Rgb(128, 128, 128), Rgb(192, 192, 192)};
    for (int i = 1; i <= 9; i++)
        table.entries[i] = kFirstNine[i - 1];
    for (int i = 10; i <= 249; i++) {
        const int k = (i - 10) % 10;
        const int shade = k / 2;
        const bool pale = k % 2 == 1;
        int rgb[3];
        HueBase((i - 10) / 10, rgb);
        for (int &v : rgb)
            v = Shaded(pale ? Pale(v) : v, shade);
        table.entries[i] = Rgb(rgb[0], rgb[1], rgb[2]);
    }
    // Greys; the last is a shade darker than the one before it: the table holds no white.
    static constexpr std::uint32_t kGreys[] = {0, 45, 91, 137, 183, 179};
    for (int i = 250; i <= 255; i++)
        table.entries[i] = Rgb(kGreys[i - 250], kGreys[i - 250], kGreys[i - 250]);
}

int PenNumberOf(std::uint16_t penColor) {
    switch (penColor) {
        case 1:
        case 107: return 4;
        case 3:
        case 103: return 3;
        case 4:
        case 105: return 2;
        case 5:
        case 106: return 6;
        case 6:
        case 104: return 5;
        case 8:
        case 102: return 1;
        case 9:
        case 115: return 9;
        case 101: return 250;
        case 109: return 222;
        case 110: return 23;
        case 111: return 30;
        case 112: return 83;
        case 113: return 150;
        case 114: return 171;
        case 116: return 8;
        default: return 7;
    }
}

int NearestPenNumber(const PenColorTable &table, std::uint32_t rgb) {
    const int r = rgb & 0xFF, g = rgb >> 8 & 0xFF, b = rgb >> 16 & 0xFF;
    int best = 7;
    int bestDistance = 0x1000000;  // more than any real distance, so entry 1 is the first candidate
    for (int i = 1; i <= 255; i++) {
        const std::uint32_t e = table.entries[i];
        // Differences of squared channels, not squares of differences.
        const int distance = std::abs(Square(r) - Square(e & 0xFF)) + std::abs(Square(g) - Square(e >> 8 & 0xFF)) +
                             std::abs(Square(b) - Square(e >> 16 & 0xFF));
        if (distance < bestDistance) {  // strictly: on a tie the lower number stays
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

}  // namespace korvel
