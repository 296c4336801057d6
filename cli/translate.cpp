// korvel-cli in the user's language, through the compiled-in gettext catalogue.
#include "cli/translate.h"

#include <unordered_map>

#include "files/user_language.h"

namespace korvel::cli {

namespace {

const std::unordered_map<std::string_view, std::string_view> &Catalogue() {
    static const std::unordered_map<std::string_view, std::string_view> japanese = {
#include "cli_ja.inc"
    };
    return japanese;
}

}  // namespace

bool Japanese() {
    static const bool japanese = UserLanguageIsJapanese();
    return japanese;
}

std::string Tr(std::string_view message, std::initializer_list<std::string_view> arguments) {
    std::string_view text = message;
    if (Japanese())
        if (const auto found = Catalogue().find(message); found != Catalogue().end()) text = found->second;
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); i++) {
        // "{N}" is the Nth argument; anything else is the text itself.
        if (text[i] == '{' && i + 2 < text.size() && text[i + 2] == '}' && text[i + 1] >= '0' && text[i + 1] <= '9' &&
            static_cast<std::size_t>(text[i + 1] - '0') < arguments.size()) {
            out += arguments.begin()[text[i + 1] - '0'];
            i += 2;
            continue;
        }
        out += text[i];
    }
    return out;
}

}  // namespace korvel::cli
