// What a conversion wrote and what it left out, by kind and by reason: shown after every conversion.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace korvel {

// The kinds of entity a script holds commands for (lines to solids) or an export writes (all of them).
enum class WrittenKind { Line, Arc, Point, Solid, Text, Dimension, Insert };
inline constexpr std::size_t kWrittenKinds = 7;
// The first four: what a script's report counts.
inline constexpr std::size_t kScriptKinds = 4;

// Why an entity of the drawing has no command in the script.
enum class LeftOutReason {
    Text,             // texts (and dimensions' values) are never written
    Dimension,        // dimensions, unless their lines are asked for
    Block,            // block figures, unless asked for
    Solid,            // solids, unless asked for
    Hatching,         // hatching, unless asked for
    ZeroSize,         // a line of no length, an arc of no radius or sweep, an insert of an empty block
    DimensionFigure,  // the lines, arcs and points of dimension figures, unless dimensions are asked for
    NoFigure,         // a solid that is no figure, or whose placed figure no command can write
    MissingBlock,     // an insert of a definition the drawing does not hold
    SelfReferring,    // an insert of a block inside itself
    OverBudget,       // block figures past the member budget or nested too deep
    HiddenLayer,      // on a layer the view hides, when only what it shows is converted
    UnusableScale,    // in a layer group whose scale is no number to scale by (0, subnormal, infinite or NaN)
    LockedLayer,      // on a hidden or display-only layer of a .jww file, unless every layer is read
};
inline constexpr std::size_t kLeftOutReasons = 14;

struct ConversionReport {
    std::array<std::uint64_t, kWrittenKinds> written{};
    std::uint64_t fromBlocks = 0;  // of those written, members of block figures
    std::array<std::uint64_t, kLeftOutReasons> leftOut{};

    std::uint64_t &operator[](WrittenKind kind) { return written[static_cast<std::size_t>(kind)]; }
    std::uint64_t &operator[](LeftOutReason reason) { return leftOut[static_cast<std::size_t>(reason)]; }
    std::uint64_t Written() const;
    std::uint64_t LeftOut() const;
    void Add(const ConversionReport &other);
};

enum class ReportLanguage { Japanese, English };

// Where the words are read, which name the options as the window or korvel-cli does.
enum class AdviceFor { Window, CommandLine };

// "線 1,203・円弧 44 を変換／変換しなかったもの: 文字 12・ブロック図形 3（「ブロック図形も変換する」で変換）" and its
// English form: each reason an option would carry names that option.
std::string ReportSummary(const ConversionReport &report, ReportLanguage language, AdviceFor where);

// For a script with no command although the drawing holds entities: why, and which options would carry what
// was left out.
std::string EmptyScriptAdvice(const ConversionReport &report, ReportLanguage language, AdviceFor where);

// The names the report uses in JSON: "lines", "texts", "zero-size", ...
const char *WrittenKey(WrittenKind kind);
const char *LeftOutKey(LeftOutReason reason);

}  // namespace korvel
