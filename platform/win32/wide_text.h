// UTF-8 and the UTF-16 of the wide Win32 calls.
#pragma once

#include <string>

namespace korvel {

std::wstring WideOf(const std::string &utf8);
std::string Utf8OfWide(const std::wstring &wide);

}  // namespace korvel
