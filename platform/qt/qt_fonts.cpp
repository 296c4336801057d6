#include "platform/qt/qt_fonts.h"

#include <QFont>

namespace korvel {

void InstallFaceSubstitutions() {
    static bool done = false;
    if (done) return;
    done = true;
    QFont::insertSubstitution(QString::fromUtf8("ＭＳ ゴシック"), "IPAGothic");
    QFont::insertSubstitution(QString::fromUtf8("ＭＳ 明朝"), "IPAGothic");
    QFont::insertSubstitution(QString::fromUtf8("ＭＳ Ｐゴシック"), "IPAPGothic");
    QFont::insertSubstitution(QString::fromUtf8("ＭＳ Ｐ明朝"), "IPAPGothic");
    QFont::insertSubstitution(QString::fromUtf8("ＭＳ ＵＩ ゴシック"), "IPAPGothic");
}

}  // namespace korvel
