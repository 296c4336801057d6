// A small fixed generator for the tests' random cases, so that a failure reproduces.
#pragma once

#include <cstdint>

namespace korvel::test {

// Doubles in [0, 1) from a 64-bit linear congruential sequence.
class FixedRandom {
public:
    explicit FixedRandom(std::uint64_t seed) : state(seed) {}

    double operator()() {
        state = state * 6364136223846793005u + 1442695040888963407u;
        return static_cast<double>(state >> 11) * 0x1p-53;
    }

private:
    std::uint64_t state;
};

}  // namespace korvel::test
