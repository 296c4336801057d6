// The script's 255 pen colours, Jw_cad's colour numbers mapped onto them, and the nearest-colour search.
#pragma once

#include <array>
#include <cstdint>

namespace korvel {

// Entries 1..255 as 0x00BBGGRR (red in the low byte); entry 0 is unused.
struct PenColorTable {
    std::array<std::uint32_t, 256> entries{};
};

void FillPenColorTable(PenColorTable &table);

// The colour number for a Jw_cad pen colour number; 7 for every number without its own.
int PenNumberOf(std::uint16_t penColor);

// The number of the first entry nearest to `rgb` (0x00BBGGRR) by |R^2 - Ri^2| + |G^2 - Gi^2| + |B^2 - Bi^2|.
int NearestPenNumber(const PenColorTable &table, std::uint32_t rgb);

}  // namespace korvel
