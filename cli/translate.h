// korvel-cli in the user's language: messages are written in English in the code and translated through the
// gettext catalogue po/ja.po, compiled into the program.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace korvel::cli {

// Whether the messages are Japanese: the user's language, taken once.
bool Japanese();

// The message in the user's language (the English text itself without a translation), with {0}, {1}, ...
// replaced by the arguments in order.
std::string Tr(std::string_view message, std::initializer_list<std::string_view> arguments = {});

}  // namespace korvel::cli
