// Keys made of doubles' bits, for caches of exact results: values with the same bits give the same result.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace korvel {

// A tag that tells keys of different kinds apart, then the values' bits (unused places stay 0).
template <std::size_t N>
using BitsKey = std::array<std::uint64_t, N>;

template <std::size_t N>
BitsKey<N> BitsKeyOf(std::uint64_t tag, std::initializer_list<double> values) {
    BitsKey<N> key{};
    key[0] = tag;
    std::size_t i = 1;
    for (const double value : values)
        key[i++] = std::bit_cast<std::uint64_t>(value);
    return key;
}

struct BitsKeyHash {
    template <std::size_t N>
    std::size_t operator()(const BitsKey<N> &key) const {
        std::uint64_t hash = 0xCBF29CE484222325ull;  // FNV-1a over the words
        for (const std::uint64_t word : key)
            hash = (hash ^ word) * 0x100000001B3ull;
        return static_cast<std::size_t>(hash);
    }
};

}  // namespace korvel
