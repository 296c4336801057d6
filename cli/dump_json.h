// The drawing store as JSON, the output of `korvel-cli dump`.
#pragma once

#include "cli/json_out.h"
#include "reader/drawing_store.h"

namespace korvel {

void WriteStoreJson(JsonOut &json, const DrawingStore &store, bool complete);

}  // namespace korvel
