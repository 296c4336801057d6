// Writes the inputs that used to cost far more than their size: a saved drawing of nothing but old
// (schema 300) dimensions, streams whose inserts multiply one large block definition (of lines, of arcs,
// or of one long text), one long text after a few thousand lines, and a million empty block definitions.
//
// usage: make_hostile dimensions N PATH.jww | inserts INSERTS MEMBERS PATH.jwwin
//        | arc-inserts INSERTS ARCS PATH.jwwin | text-inserts INSERTS CHARACTERS PATH.jwwin
//        | long-text LINES CHARACTERS PATH.jwwin | empty-blocks N PATH.jwwin
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

std::vector<std::uint8_t> EmptyBlocks(std::size_t count) {
    DrawingStore d = Bare();
    d.blockDefs.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        d.blockDefs[i].number = static_cast<std::int32_t>(i + 1);
    test::Add(d, TclpEntSen{kBase, 0, 0, 100, 100});
    return Stream(d);
}

}  // namespace

int Usage() {
    std::fputs("usage: make_hostile dimensions N PATH.jww | inserts INSERTS MEMBERS PATH.jwwin | arc-inserts INSERTS "
               "ARCS PATH.jwwin | text-inserts INSERTS CHARACTERS PATH.jwwin | long-text LINES CHARACTERS PATH.jwwin "
               "| empty-blocks N PATH.jwwin\n",
               stderr);
    return 2;
}

int main(int argc, char **argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "dimensions") return Write(args[2], Dimensions(std::stoul(args[1]))) ? 0 : 1;
    if (args.size() == 3 && args[0] == "empty-blocks") return Write(args[2], EmptyBlocks(std::stoul(args[1]))) ? 0 : 1;
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
    else if (args[0] == "text-inserts") bytes = Inserts(n, [m](TclpEntBlockDef &def) { test::Add(def, LongText(m)); }, 0);
    else if (args[0] == "long-text") bytes = LinesAndLongText(n, m);
    else return Usage();
    return Write(args[3], bytes) ? 0 : 1;
}
