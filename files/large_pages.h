// Large arrays on large pages where the system offers them: a store of a million records otherwise takes
// tens of thousands of page faults as it fills, which cost as much as reading it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <vector>

namespace korvel {

// Asks the system to back the untouched memory of [data, data + bytes) with large pages; a hint that may
// be ignored, and nothing happens on a system without them.
void AdviseLargePages(void *data, std::size_t bytes);

// Reserves room for `count` elements, advised onto large pages before the elements move in.
template <class T>
void ReserveOnLargePages(std::vector<T> &array, std::size_t count) {
    if (count <= array.capacity()) return;
    std::vector<T> grown;
    grown.reserve(count);
    AdviseLargePages(grown.data(), grown.capacity() * sizeof(T));
    grown.insert(grown.end(), std::make_move_iterator(array.begin()), std::make_move_iterator(array.end()));
    array.swap(grown);
}

// Makes room for `more` elements, at least doubling the room as a vector grows, on large pages.
template <class T>
void GrowOnLargePages(std::vector<T> &array, std::size_t more) {
    if (array.size() + more > array.capacity())
        ReserveOnLargePages(array, std::max(array.size() + more, 2 * array.capacity()));
}

// Arrays that only count what they are given reserve nothing.
template <class Counter>
void ReserveOnLargePages(Counter &counter, std::size_t count) {
    counter.reserve(count);
}

}  // namespace korvel
