// The short human summary of `korvel-cli info`.
#pragma once

#include <cstdio>

#include "reader/drawing_store.h"
#include "reader/drawing_summary.h"

namespace korvel {

void WriteStoreSummary(std::FILE *out, const DrawingStore &store);
void WriteStoreSummary(std::FILE *out, const DrawingSummary &summary);

}  // namespace korvel
