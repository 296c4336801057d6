// Large arrays on large pages where the system offers them: a store of a million records otherwise takes
// tens of thousands of page faults as it fills, which cost as much as reading it.
#pragma once

#include <cstddef>
#include <vector>

namespace korvel {

// Asks the system to back the untouched memory of [data, data + bytes) with large pages; a hint that may
// be ignored, and nothing happens on a system without them.
void AdviseLargePages(void *data, std::size_t bytes);

// Reserves room for `count` elements, advised onto large pages when it is fresh and large.
template <class T>
void ReserveOnLargePages(std::vector<T> &array, std::size_t count) {
    if (count <= array.capacity()) return;
    array.reserve(count);
    AdviseLargePages(array.data() + array.size(), (array.capacity() - array.size()) * sizeof(T));
}

// Arrays that only count what they are given reserve nothing.
template <class Counter>
void ReserveOnLargePages(Counter &counter, std::size_t count) {
    counter.reserve(count);
}

}  // namespace korvel
