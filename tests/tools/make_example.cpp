// Writes the bundled example stream, or a seed corpus of streams in every encoding variant and of drawing
// files, or of streams whose numbers break arithmetic.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "tests/support/stream_writer.h"

namespace {

using namespace korvel::test;

bool WriteFile(const std::string &path, const std::vector<std::uint8_t> &bytes) {
    std::FILE *out = std::fopen(path.c_str(), "wb");
    const bool ok = out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return (out ? std::fclose(out) == 0 : false) && ok;
}

// The sample drawing at several schemas, tag forms, count and string forms, with leftover bytes; the curves
// whose export is easy to get wrong.
bool WriteCorpus(const std::string &dir) {
    std::filesystem::create_directories(dir);
    const korvel::DrawingStore sample = SampleDrawing();
    int n = 0;
    for (const std::uint16_t schema : {300, 351, 420, 700}) {
        for (const TagForm tags : {TagForm::Short, TagForm::Long}) {
            const bool longForms = schema == 420;
            StreamOptions options{schema, tags, longForms, longForms, {}};
            if (schema == 700) options.trailing.assign(64, 0xCD);
            if (!WriteFile(dir + "/seed" + std::to_string(n++) + ".jwwin", WriteStream(sample, options))) return false;
        }
    }
    // Saved drawings too: a .jww at each header layout, and a .jws.
    for (const std::uint32_t version : {230, 351, 420, 700})
        if (!WriteFile(dir + "/seed" + std::to_string(n++) + ".jww", WriteJwwFile(sample, version, {{0, 1}})))
            return false;
    if (!WriteFile(dir + "/seed" + std::to_string(n++) + ".jws", WriteJwsFile(sample, 600))) return false;
    return WriteFile(dir + "/edges.jwwin", WriteStream(EdgeDrawing()));
}

// Drawings whose numbers are now and then no number, infinite, huge or denormal: seeds for the fuzzer.
bool WriteHostile(const std::string &dir) {
    std::filesystem::create_directories(dir);
    int n = 0;
    for (const korvel::DrawingStore &drawing : HostileNumberDrawings())
        if (!WriteFile(dir + "/hostile" + std::to_string(n++) + ".jwwin", WriteStream(drawing))) return false;
    return true;
}

}  // namespace

int main(int argc, char **argv) {
    const bool corpus = argc == 3 && std::string_view(argv[1]) == "--corpus";
    const bool hostile = argc == 3 && std::string_view(argv[1]) == "--hostile";
    // An option it does not know (--help) is no file name to write over.
    if ((argc != 2 && !corpus && !hostile) || (argc == 2 && argv[1][0] == '-')) {
        std::fprintf(stderr, "usage: make_example OUT | make_example --corpus DIR | make_example --hostile DIR\n");
        return 2;
    }
    StreamOptions options;
    options.schema = 700;  // what Jw_cad 7.11 writes in every class definition
    const bool ok = corpus    ? WriteCorpus(argv[2])
                    : hostile ? WriteHostile(argv[2])
                              : WriteFile(argv[1], WriteStream(SampleDrawing(), options));
    if (!ok) {
        std::fprintf(stderr, "make_example: cannot write %s\n", argv[argc - 1]);
        return 1;
    }
    return 0;
}
