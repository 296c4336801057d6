// The short human summary of `korvel-cli info`.
#pragma once

#include <cstdio>

#include "reader/drawing_store.h"

namespace korvel {

void WriteStoreSummary(std::FILE *out, const DrawingStore &store);

}  // namespace korvel
