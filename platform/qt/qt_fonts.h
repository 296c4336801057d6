// Japanese Windows face names mapped onto the IPA fonts, which have the same metrics, and each face name
// matched to the family drawn for it once.
#pragma once

#include <string>

namespace korvel {

void InstallFaceSubstitutions();

// The family a face name (Shift-JIS) is drawn in, in UTF-8: what Qt's match gives, found once per process,
// since the match costs far more than the drawing. Past a hundred or so names (a drawing made to cost) an
// uninstalled name is drawn in the default family without a match.
const std::string &DrawnFamily(const std::string &face);

}  // namespace korvel
