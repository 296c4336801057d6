// Conversion speed and memory on a large drawing, against formatting as many doubles with to_chars.
#include <charconv>
#include <cstdio>
#include <string_view>

#include "bench/bench_support.h"
#include "script/convert.h"

using namespace korvel;

namespace {

// Discards the script but counts its operands: one per comma, less the "SetArcSep," and ",0" literals.
class CountingSink final : public ScriptSink {
public:
    std::size_t operands = 0;
    std::size_t bytes = 0;

protected:
    bool Write(std::string_view line) override {
        bytes += line.size();
        std::size_t commas = 0;
        for (const char c : line)
            commas += c == ',';
        if (commas == 0) return true;
        if (line.find("SetArcSep") != std::string_view::npos) commas--;
        if (line.ends_with(",0")) commas--;
        operands += commas;
        return true;
    }
};

// The shortest form of `count` doubles, into a reused buffer: the floor of writing as many operands.
double ToCharsSeconds(std::size_t count) {
    volatile std::size_t sink = 0;
    return bench::BestSeconds(3, [&] {
        char text[32];
        double v = 0.123456789;
        std::size_t total = 0;
        for (std::size_t i = 0; i < count; i++) {
            v = v * 1.0000001 + 37.11;
            total += static_cast<std::size_t>(std::to_chars(text, text + sizeof text, v).ptr - text);
        }
        sink = total;
    });
}

}  // namespace

int main(int argc, char **argv) {
    if (const std::size_t count = bench::ArgumentOr(argc, argv, "--to-chars-only", 0)) {
        // For cli_ratios.py: the floor's formatting part for a script of `count` operands.
        std::printf("to_chars seconds: %.6f\n", ToCharsSeconds(count));
        return 0;
    }
    const std::size_t entities = bench::ArgumentOr(argc, argv, "--entities", 1000000);
    const DrawingStore store = bench::MixedDrawing(entities, bench::MixArgument(argc, argv));
    PenColorTable pens;
    FillPenColorTable(pens);
    const ConvertOptions all{true, true, true, true};

    CountingSink counted;
    ConvertDrawing(store, all, pens, counted);
    const std::size_t operands = counted.operands;

    const std::size_t before = bench::ResidentBytes();
    bench::ResetPeakMemory();
    std::FILE *devNull = std::fopen("/dev/null", "wb");
    const double convertSeconds = bench::BestSeconds(3, [&] {
        FileScriptSink sink(devNull);
        ConvertDrawing(store, all, pens, sink);
        sink.Finish();
    });
    std::fclose(devNull);
    const std::size_t growth = bench::PeakResidentBytes() - before;

    const double formatSeconds = ToCharsSeconds(operands);

    const double convertRate = static_cast<double>(operands) / convertSeconds;
    const double formatRate = static_cast<double>(operands) / formatSeconds;
    std::printf("drawing: %zu entities, %zu operands, %.1f MB of script\n", entities, operands, counted.bytes / 1e6);
    std::printf("to_chars baseline: %8.2f M doubles/s\n", formatRate / 1e6);
    std::printf("ConvertDrawing:    %8.2f M operands/s  (%.2f of the baseline; goal >= 0.5)\n", convertRate / 1e6,
                convertRate / formatRate);
    std::printf("memory growth while converting: %.2f MB (store: %.1f MB)\n", growth / 1e6,
                StoreSizeBytes(store) / 1e6);
    return 0;
}
