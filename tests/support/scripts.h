// Comparing scripts against golden copies: the option sets by name, and a readable first difference.
#pragma once

#include <optional>
#include <string>

#include "script/convert.h"

namespace korvel::test {

// "none", "all", or the chosen options joined by '-' in the order colors, layers, hatching, solids.
std::string OptionSetName(const ConvertOptions &options);
std::optional<ConvertOptions> OptionSetNamed(const std::string &name);

// Empty when the scripts are equal; otherwise the first line where they part, both versions.
std::string FirstDifference(const std::string &actual, const std::string &expected);

}  // namespace korvel::test
