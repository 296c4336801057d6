// Large pages on Windows need a privilege users do not have: the advice is not taken.
#include "files/large_pages.h"

namespace korvel {

void AdviseLargePages(void *, std::size_t) {}

}  // namespace korvel
