// What a conversion wrote and what it left out, in the user's words.
#include "script/conversion_report.h"

#include <numeric>
#include <vector>

namespace korvel {

namespace {

struct Words {
    const char *key, *japanese, *english;
};

constexpr std::array<Words, kWrittenKinds> kWrittenWords = {{
    {"lines", "線", "lines"},
    {"arcs", "円弧", "arcs"},
    {"points", "点", "points"},
    {"solids", "ソリッド", "solids"},
    {"texts", "文字", "texts"},
    {"dimensions", "寸法", "dimensions"},
    {"inserts", "ブロック", "block inserts"},
}};

// Each reason's words, and the option that carries what it leaves out: as the window names it and as
// korvel-cli does; none where no option does.
struct ReasonWords {
    Words words;
    const char *windowOption, *commandOption;
};

constexpr std::array<ReasonWords, kLeftOutReasons> kReasonWords = {{
    {{"texts", "文字", "texts"}, nullptr, nullptr},
    {{"dimensions", "寸法", "dimensions"}, "右クリックメニューの「寸法図形の線も変換する」", "--dimensions"},
    {{"block-figures", "ブロック図形", "block figures"}, "右クリックメニューの「ブロック図形も変換する」", "--blocks"},
    {{"solids", "ソリッド", "solids"}, "「ソリッド図形を変換する」", "--solids"},
    {{"hatching", "ハッチング", "hatching"}, "「ハッチング線を変換する」", "--hatching"},
    {{"zero-size", "長さや半径が0の図形", "zero-size"}, nullptr, nullptr},
    // Under the key earlier reports used for them, before they were known for what they are.
    {{"never-converted", "寸法図形の線・点", "dimension figures' lines and points"},
     "右クリックメニューの「寸法図形の線も変換する」",
     "--dimensions"},
    {{"no-figure", "スクリプトで表せない図形", "not expressible"}, nullptr, nullptr},
    {{"missing-blocks", "定義のないブロック", "blocks without a definition"}, nullptr, nullptr},
    {{"self-referring-blocks", "自分自身を含むブロック", "blocks inside themselves"}, nullptr, nullptr},
    {{"over-limit", "上限を超えたブロック図形", "block figures over the limit"}, nullptr, nullptr},
    {{"hidden-layers", "非表示レイヤの図形", "on hidden layers"}, nullptr, nullptr},
    {{"unusable-scale", "縮尺が使えないレイヤグループの図形", "in a layer group with an unusable scale"},
     nullptr,
     nullptr},
    {{"locked-layers", "非表示・表示のみレイヤの図形", "on hidden or display-only layers"},
     "右クリックメニューの「非表示レイヤの図形も変換する」",
     "--all-layers"},
}};

// 1203 as "1,203".
std::string Grouped(std::uint64_t n) {
    std::string digits = std::to_string(n), out;
    for (std::size_t i = 0; i < digits.size(); i++) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

const char *Name(const Words &w, ReportLanguage language) {
    return language == ReportLanguage::Japanese ? w.japanese : w.english;
}

// "線 12・円弧 4" or "lines 12, arcs 4": the counts that are not 0.
template <std::size_t N, class Table>
std::string Counts(const std::array<std::uint64_t, N> &counts, const Table &table, ReportLanguage language) {
    const char *separator = language == ReportLanguage::Japanese ? "・" : ", ";
    std::string out;
    for (std::size_t i = 0; i < N; i++) {
        if (counts[i] == 0) continue;
        if (!out.empty()) out += separator;
        out += Name(table(i), language);
        out += ' ';
        out += Grouped(counts[i]);
    }
    return out;
}

std::string WrittenPart(const ConversionReport &r, ReportLanguage language) {
    const bool japanese = language == ReportLanguage::Japanese;
    if (r.Written() == 0) return japanese ? "変換した図形はありません" : "nothing converted";
    std::string out = Counts(
        r.written, [](std::size_t i) { return kWrittenWords[i]; }, language);
    out += japanese ? " を変換" : " converted";
    if (r.fromBlocks > 0)
        out += japanese ? "（うちブロック図形から " + Grouped(r.fromBlocks) + "）"
                        : " (" + Grouped(r.fromBlocks) + " from block figures)";
    return out;
}

}  // namespace

std::uint64_t ConversionReport::Written() const { return std::accumulate(written.begin(), written.end(), 0ull); }
std::uint64_t ConversionReport::LeftOut() const { return std::accumulate(leftOut.begin(), leftOut.end(), 0ull); }

void ConversionReport::Add(const ConversionReport &other) {
    for (std::size_t i = 0; i < kWrittenKinds; i++)
        written[i] += other.written[i];
    fromBlocks += other.fromBlocks;
    for (std::size_t i = 0; i < kLeftOutReasons; i++)
        leftOut[i] += other.leftOut[i];
}

std::string ReportSummary(const ConversionReport &report, ReportLanguage language, AdviceFor where) {
    const bool japanese = language == ReportLanguage::Japanese;
    std::string out = WrittenPart(report, language);
    if (report.LeftOut() == 0) return out;
    out += japanese ? "／変換しなかったもの: " : "; left out: ";
    bool first = true;
    for (std::size_t i = 0; i < kLeftOutReasons; i++) {
        if (report.leftOut[i] == 0) continue;
        out += first ? "" : japanese ? "・" : ", ";
        first = false;
        const ReasonWords &w = kReasonWords[i];
        out += std::string(Name(w.words, language)) + " " + Grouped(report.leftOut[i]);
        if (const char *option = where == AdviceFor::Window ? w.windowOption : w.commandOption)
            out += japanese ? std::string("（") + option + (option[0] == '-' ? " で変換）" : "で変換）")
                            : std::string(" (") + option + " converts them)";
    }
    return out;
}

std::string EmptyScriptAdvice(const ConversionReport &report, ReportLanguage language, AdviceFor where) {
    const bool japanese = language == ReportLanguage::Japanese;
    std::vector<std::string> kinds, options;
    for (std::size_t i = 0; i < kLeftOutReasons; i++) {
        if (report.leftOut[i] == 0) continue;
        const ReasonWords &w = kReasonWords[i];
        kinds.push_back(Name(w.words, language));
        if (const char *option = where == AdviceFor::Window ? w.windowOption : w.commandOption)
            options.push_back(option);
    }
    const auto joined = [&](const std::vector<std::string> &items, const char *separator) {
        std::string out;
        for (const std::string &item : items)
            out += (out.empty() ? "" : separator) + item;
        return out;
    };
    if (japanese) {
        std::string out = kinds.empty() ? "変換できる図形がないため、何も変換されませんでした。"
                                        : joined(kinds, "・") + "しかないため、何も変換されませんでした。";
        if (!options.empty())
            out += joined(options, "、") + (where == AdviceFor::Window ? "" : " ") + "で変換できます。";
        return out;
    }
    std::string out = "the script holds no drawing command";
    if (!kinds.empty()) out += ": the drawing holds only " + joined(kinds, ", ");
    if (!options.empty()) out += " (" + joined(options, " or ") + " would convert them)";
    return out;
}

const char *WrittenKey(WrittenKind kind) { return kWrittenWords[static_cast<std::size_t>(kind)].key; }
const char *LeftOutKey(LeftOutReason reason) { return kReasonWords[static_cast<std::size_t>(reason)].words.key; }

}  // namespace korvel
