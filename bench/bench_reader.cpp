// Reader speed and memory on a large mixed stream, against reading the same file's bytes.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "reader/jclfunit.h"

using namespace korvel;

int main(int argc, char **argv) {
    const std::size_t entities = bench::ArgumentOr(argc, argv, "--entities", 1000000);
    // --write PATH: only write the benchmark stream there (for the command-line benchmark).
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--write")
            return bench::WriteMixedStream(argv[i + 1], entities, bench::MixArgument(argc, argv)) > 0 ? 0 : 1;
    const std::string path = (std::filesystem::temp_directory_path() / "korvel_bench_reader.jwwin").string();
    const std::uint64_t size = bench::WriteMixedStream(path, entities, bench::MixArgument(argc, argv));
    if (size == 0) {
        std::fprintf(stderr, "bench_reader: cannot write %s\n", path.c_str());
        return 1;
    }
    const double mb = static_cast<double>(size) / 1e6;

    // Baseline: the file's bytes through a 1 MB buffer, as the reader takes them.
    std::vector<char> buffer(1 << 20);
    const double rawSeconds = bench::BestSeconds(3, [&] {
        std::FILE *f = std::fopen(path.c_str(), "rb");
        while (std::fread(buffer.data(), 1, buffer.size(), f) > 0) {}
        std::fclose(f);
    });
    buffer = {};
    // Second baseline: the whole file into one fresh buffer, which pays for its pages as the store does.
    const double wholeSeconds = bench::BestSeconds(3, [&] {
        std::vector<char> whole(size);
        std::FILE *f = std::fopen(path.c_str(), "rb");
        if (std::fread(whole.data(), 1, whole.size(), f) != whole.size()) std::fputs("short read\n", stderr);
        std::fclose(f);
    });

    DrawingStore store;
    bool complete = false;
    const double readSeconds = bench::BestSeconds(3, [&] { complete = ReadClipFile(path, store); });

    // Peak memory of one more read, starting from an empty store.
    ClearDrawingStore(store);
    const std::size_t before = bench::ResidentBytes();
    bench::ResetPeakMemory();
    ReadClipFile(path, store);
    const std::size_t peak = bench::PeakResidentBytes() - before;
    const std::size_t storeBytes = StoreSizeBytes(store);
    std::filesystem::remove(path);

    std::printf("stream: %zu entities, %.1f MB, read %s\n", entities, mb, complete ? "complete" : "FAILED");
    std::printf("raw read, 1 MB buffer:     %8.1f MB/s\n", mb / rawSeconds);
    std::printf("raw read, whole file:      %8.1f MB/s\n", mb / wholeSeconds);
    std::printf(
        "ReadClipFile:              %8.1f MB/s  (%.2fx the buffered raw read's time, %.2fx the whole-file "
        "read's; goal <= 3x)\n",
        mb / readSeconds, readSeconds / rawSeconds, readSeconds / wholeSeconds);
    std::printf("peak memory:               %8.1f MB for a store of %.1f MB  (%.2fx; goal <= 2x)\n", peak / 1e6,
                storeBytes / 1e6, static_cast<double>(peak) / static_cast<double>(storeBytes));
    return complete ? 0 : 1;
}
