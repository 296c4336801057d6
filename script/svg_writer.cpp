#include "script/export.h"
namespace korvel {
bool WriteSvg(const DrawingStore &, const ExportOptions &, ScriptSink &, ConversionReport &) { return false; }
}
