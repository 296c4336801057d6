// Japanese Windows face names mapped onto the IPA fonts, which have the same metrics.
#pragma once

namespace korvel {

void InstallFaceSubstitutions();

}  // namespace korvel
