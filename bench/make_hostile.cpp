// Writes the inputs that used to cost far more than their size: a saved drawing of nothing but old
// (schema 300) dimensions, and a stream whose inserts multiply one large block definition.
//
// usage: make_hostile dimensions N PATH.jww | inserts INSERTS MEMBERS PATH.jwwin
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

std::vector<std::uint8_t> Inserts(std::size_t inserts, std::size_t members) {
    DrawingStore d = Bare();
    const TclpEntBase base{0, 1, 2, 0, 0, 0, 2};
    TclpEntBlockDef def;
    def.number = 1;
    for (std::size_t i = 0; i < members; ++i)
        test::Add(def, TclpEntSen{base, 0, static_cast<double>(i), 100, static_cast<double>(i)});
    d.blockDefs.push_back(def);
    for (std::size_t i = 0; i < inserts; ++i)
        test::Add(d, TclpEntBlock{base, static_cast<double>(i), 0, 1, 1, 0, 1});
    test::StreamOptions options;
    options.schema = 700;
    return test::WriteStream(d, options);
}

}  // namespace

int main(int argc, char **argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "dimensions") return Write(args[2], Dimensions(std::stoul(args[1]))) ? 0 : 1;
    if (args.size() == 4 && args[0] == "inserts")
        return Write(args[3], Inserts(std::stoul(args[1]), std::stoul(args[2]))) ? 0 : 1;
    std::fputs("usage: make_hostile dimensions N PATH.jww | inserts INSERTS MEMBERS PATH.jwwin\n", stderr);
    return 2;
}
