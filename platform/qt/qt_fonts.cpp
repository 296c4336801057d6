#include "platform/qt/qt_fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>
#include <mutex>
#include <set>
#include <unordered_map>

#include "geom/cp932.h"

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

namespace {

std::string MatchedFamily(const QString &name) { return QFontInfo(QFont(name)).family().toStdString(); }

}  // namespace

const std::string &DrawnFamily(const std::string &face) {
    constexpr std::size_t kMostMatched = 128;
    // Canvases draw on worker threads too; the names are few, the lock taken once per character run.
    static std::mutex guard;
    static std::unordered_map<std::string, std::string> drawn;
    const std::lock_guard lock(guard);
    if (const auto found = drawn.find(face); found != drawn.end()) return found->second;
    const QString name = QString::fromStdString(Cp932ToUtf8(face));
    if (drawn.size() < kMostMatched) return drawn.emplace(face, MatchedFamily(name)).first->second;
    static const std::set<QString> installed = [] {
        const QStringList families = QFontDatabase::families();
        return std::set<QString>(families.begin(), families.end());
    }();
    // What every name that is neither installed nor substituted is matched to.
    static const std::string fallback = MatchedFamily("Korvel: no such family");
    return drawn.emplace(face, installed.contains(name) ? name.toStdString() : fallback).first->second;
}

}  // namespace korvel
