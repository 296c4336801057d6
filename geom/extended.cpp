// Sine and cosine together, for the curve drawers that need both of every parameter.
#include "geom/extended.h"

#include <math.h>

namespace korvel {

SineCosine SinCosE(Extended a) {
    if (!Reducible(a)) return {0.0L, 0.0L};
    SineCosine r;
    // glibc's sincosl reduces once and runs the same kernels as sinl and cosl.
    ::sincosl(a, &r.sine, &r.cosine);
    return r;
}

}  // namespace korvel
