// How a call that can fail says so, everywhere in Korvel: nothing when it did what was asked, otherwise why,
// in one line a user can read (the cause and, for a file, its name).
#pragma once

#include <optional>
#include <string>

namespace korvel {

using Failure = std::optional<std::string>;

// What a call makes, or why it could make nothing.
template <class T>
struct Result {
    T value{};        // what was asked for, when there is no failure
    Failure failure;  // why there is none
};

}  // namespace korvel
