// The language the user reads, for the messages of the command line.
#pragma once

namespace korvel {

// Whether the user's language is Japanese: on POSIX as gettext chooses (the first of LC_ALL, LC_MESSAGES and
// LANG that is set, not the C locale; LANGUAGE's list before it), and only where the locale's codeset is
// UTF-8; on Windows the user's interface language.
bool UserLanguageIsJapanese();

}  // namespace korvel
