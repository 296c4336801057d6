// Writes the inputs that used to cost far more than their size: a saved drawing of nothing but old
// (schema 300) dimensions, streams whose inserts multiply one large block definition (of lines, of arcs,
// or of one long text), one long text after a few thousand lines, a million empty block definitions, inserts
// of a chain of blocks nested DEPTH deep with unequal scales ending in arcs, and diagonal lines each crossing
// many cells of the view's grid, and texts each in a font of its own name.
//
// usage: make_hostile dimensions N PATH.jww | inserts INSERTS MEMBERS PATH.jwwin
//        | arc-inserts INSERTS ARCS PATH.jwwin | text-inserts INSERTS CHARACTERS PATH.jwwin
//        | long-text LINES CHARACTERS PATH.jwwin | empty-blocks N PATH.jwwin
//        | chain INSERTS DEPTH PATH.jwwin (1,000 arcs at its end) | diagonals N PATH.jwwin
//        | fonts N PATH.jwwin (one-character texts, each in a font of its own name) | one-font N PATH.jwwin
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/stream_writer.h"

namespace {

using namespace korvel;

bool Write(const std::string &path, const std::vector<std::uint8_t> &bytes) {
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

DrawingStore Bare() {
    DrawingStore d;
    d.layerGroupScales.assign(16, 1.0);
    return d;
}

std::vector<std::uint8_t> Dimensions(std::size_t count) {
    DrawingStore d = Bare();
    const TclpEntBase base{0, 1, 2, 0, 0, 0, 2};
    for (std::size_t i = 0; i < count; ++i) {
        TclpEntSunpo dim;
        dim.base = dim.line.base = dim.label.base = base;
        dim.line.endX = static_cast<double>(i);
        dim.label.text = std::to_string(i);
        test::Add(d, dim);
    }
    return test::WriteJwwFile(d, 300);
}

const TclpEntBase kBase{0, 1, 2, 0, 0, 0, 2};

std::vector<std::uint8_t> Stream(const DrawingStore &d) {
    test::StreamOptions options;
    options.schema = 700;
    return test::WriteStream(d, options);
}

// `inserts` inserts side by side of block 1, whose members `fill` adds.
template <class Fill>
std::vector<std::uint8_t> Inserts(std::size_t inserts, Fill &&fill, double step = 1) {
    DrawingStore d = Bare();
    TclpEntBlockDef def;
    def.number = 1;
    fill(def);
    d.blockDefs.push_back(def);
    for (std::size_t i = 0; i < inserts; ++i)
        test::Add(d, TclpEntBlock{kBase, step * static_cast<double>(i), 0, 1, 1, 0, 1});
    return Stream(d);
}

TclpEntMoji LongText(std::size_t characters) {
    TclpEntMoji text;
    text.base = kBase;
    text.endX = static_cast<double>(characters);
    text.sizeX = text.sizeY = static_cast<double>(characters) / 20;  // some pixels tall in the preview
    text.text.assign(characters, 'A');
    return text;
}

std::vector<std::uint8_t> LinesAndLongText(std::size_t lines, std::size_t characters) {
    DrawingStore d = Bare();
    for (std::size_t i = 0; i < lines; ++i)
        test::Add(d, TclpEntSen{kBase, 0, static_cast<double>(i), 100, static_cast<double>(i)});
    test::Add(d, LongText(characters));
    return Stream(d);
}

// Empty definitions numbered 1, 2, ...; or, `alike`, every one named "door" with the number 1 (an export must
// still name each apart in linear time).
std::vector<std::uint8_t> EmptyBlocks(std::size_t count, bool alike) {
    DrawingStore d = Bare();
    d.blockDefs.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        d.blockDefs[i].number = alike ? 1 : static_cast<std::int32_t>(i + 1);
        if (alike) d.blockDefs[i].name = "door";
    }
    test::Add(d, TclpEntSen{kBase, 0, 0, 100, 100});
    return Stream(d);
}

// Block 1 holds an insert of block 2 (scales 1.001 and 0.999), and so on down to block DEPTH, which holds
// 1,000 arcs; `inserts` top-level inserts of block 1.
std::vector<std::uint8_t> Chain(std::size_t inserts, std::size_t depth) {
    DrawingStore d = Bare();
    for (std::size_t level = 1; level <= depth; ++level) {
        TclpEntBlockDef def;
        def.number = static_cast<std::int32_t>(level);
        if (level < depth) {
            test::Add(def, TclpEntBlock{kBase, 1, 0, 1.001, 0.999, 0.01, static_cast<std::int32_t>(level + 1)});
        } else {
            for (int i = 0; i < 1000; ++i) {
                TclpEntEnko arc;
                arc.base = kBase;
                arc.centerX = i;
                arc.radius = 1 + i % 7;
                arc.flatness = 1;
                arc.startAngle = 0.5;
                arc.arcAngle = 2;
                test::Add(def, arc);
            }
        }
        d.blockDefs.push_back(def);
    }
    for (std::size_t i = 0; i < inserts; ++i)
        test::Add(d, TclpEntBlock{kBase, 10.0 * static_cast<double>(i), 0, 1, 2, 0, 1});
    return Stream(d);
}

// Lines from corner to corner of squares a tenth of the drawing wide, spread over it: each box meets up to
// 8 x 8 of the view's 64 x 64 cells, the most a box may meet and still be filed in cells.
std::vector<std::uint8_t> Diagonals(std::size_t count) {
    DrawingStore d = Bare();
    for (std::size_t i = 0; i < count; ++i) {
        const double x = static_cast<double>(i % 997) * 7, y = static_cast<double>(i % 991) * 7;
        test::Add(d, TclpEntSen{kBase, x, y, x + 800, y + 800});
    }
    return Stream(d);
}

// One-character texts in a grid, each in a font of its own name (or all in one, for the baseline).
std::vector<std::uint8_t> Fonts(std::size_t count, bool ownNames) {
    DrawingStore d = Bare();
    for (std::size_t i = 0; i < count; ++i) {
        TclpEntMoji text;
        text.base = kBase;
        text.startX = static_cast<double>(i % 100) * 10, text.startY = static_cast<double>(i / 100) * 10;
        text.endX = text.startX + 5, text.endY = text.startY;
        text.sizeX = text.sizeY = 5;
        text.fontName = ownNames ? "font " + std::to_string(i) : "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E";
        text.text = "A";
        test::Add(d, text);
    }
    return Stream(d);
}

}  // namespace

int Usage() {
    std::fputs(
        "usage: make_hostile dimensions N PATH.jww | inserts INSERTS MEMBERS PATH.jwwin | arc-inserts INSERTS "
        "ARCS PATH.jwwin | text-inserts INSERTS CHARACTERS PATH.jwwin | long-text LINES CHARACTERS PATH.jwwin "
        "| empty-blocks N PATH.jwwin | alike-blocks N PATH.jwwin | chain INSERTS DEPTH PATH.jwwin | diagonals N "
        "PATH.jwwin | fonts N PATH.jwwin | one-font N PATH.jwwin\n",
        stderr);
    return 2;
}

int main(int argc, char **argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "dimensions") return Write(args[2], Dimensions(std::stoul(args[1]))) ? 0 : 1;
    if (args.size() == 3 && (args[0] == "empty-blocks" || args[0] == "alike-blocks"))
        return Write(args[2], EmptyBlocks(std::stoul(args[1]), args[0] == "alike-blocks")) ? 0 : 1;
    if (args.size() == 3 && args[0] == "diagonals") return Write(args[2], Diagonals(std::stoul(args[1]))) ? 0 : 1;
    if (args.size() == 3 && (args[0] == "fonts" || args[0] == "one-font"))
        return Write(args[2], Fonts(std::stoul(args[1]), args[0] == "fonts")) ? 0 : 1;
    if (args.size() != 4) return Usage();
    const std::size_t n = std::stoul(args[1]), m = std::stoul(args[2]);
    std::vector<std::uint8_t> bytes;
    if (args[0] == "inserts")
        bytes = Inserts(n, [m](TclpEntBlockDef &def) {
            for (std::size_t i = 0; i < m; ++i)
                test::Add(def, TclpEntSen{kBase, 0, static_cast<double>(i), 100, static_cast<double>(i)});
        });
    else if (args[0] == "arc-inserts")
        bytes = Inserts(n, [m](TclpEntBlockDef &def) {
            for (std::size_t i = 0; i < m; ++i) {
                TclpEntEnko arc;
                arc.base = kBase;
                arc.radius = 1 + static_cast<double>(i % 1000) / 10;
                arc.flatness = 1;
                arc.fullCircle = 1;
                arc.arcAngle = 6.283185307179586;
                test::Add(def, arc);
            }
        });
    else if (args[0] == "text-inserts")
        bytes = Inserts(
            n, [m](TclpEntBlockDef &def) { test::Add(def, LongText(m)); }, 0);
    else if (args[0] == "long-text") bytes = LinesAndLongText(n, m);
    else if (args[0] == "chain") bytes = Chain(n, m);
    else return Usage();
    return Write(args[3], bytes) ? 0 : 1;
}
