// Sine and cosine together, for the curve drawers that need both of every parameter.
#include "geom/extended.h"

namespace korvel {

// Built from SinE and CosE themselves: a combined sincos may round its last bit differently from
// them on another C library or processor, and the drawing must not change with the machine.
SineCosine SinCosE(Extended a) { return {SinE(a), CosE(a)}; }

}  // namespace korvel
