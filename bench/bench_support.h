// Timing, peak memory and the large mixed drawings that the benchmarks share.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "reader/drawing_store.h"

namespace korvel::bench {

// Seconds taken by f(), best of `runs`.
template <class F>
double BestSeconds(int runs, F f) {
    double best = 1e300;
    for (int i = 0; i < runs; i++) {
        const auto start = std::chrono::steady_clock::now();
        f();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (took.count() < best) best = took.count();
    }
    return best;
}

// The process's resident memory now, and its peak since the last ResetPeakMemory().
std::size_t ResidentBytes();
std::size_t PeakResidentBytes();
void ResetPeakMemory();

// The drawings the benchmarks read: `Plain` has every kind in realistic proportions and inserts of a block of
// lines; `Blocks` has 7 % texts, 8 % dimensions and 7 % block inserts, half of them of a block of arcs,
// circles and solids.
enum class Mix { Plain, Blocks };

// A drawing of `entities` objects of the mix, with its block definitions.
DrawingStore MixedDrawing(std::size_t entities, Mix mix = Mix::Plain);

// Writes MixedDrawing(entities, mix) as a stream to `path` in pieces, without holding it all in memory.
// Returns the file size.
std::uint64_t WriteMixedStream(const std::string &path, std::size_t entities, Mix mix = Mix::Plain);

// --mix plain (the default) or --mix blocks.
Mix MixArgument(int argc, char **argv);

std::size_t ArgumentOr(int argc, char **argv, const char *name, std::size_t fallback);

}  // namespace korvel::bench
