// Writes the bundled example stream (a small plan with every entity kind) to the given path.
#include <cstdio>

#include "tests/support/stream_writer.h"

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_example OUT\n");
        return 2;
    }
    korvel::test::StreamOptions options;
    options.schema = 700;  // what Jw_cad 7.11 writes in every class definition
    const auto bytes = korvel::test::WriteStream(korvel::test::SampleDrawing(), options);
    std::FILE *out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() || std::fclose(out) != 0) {
        std::fprintf(stderr, "make_example: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
