// Timing, peak memory and the large mixed drawings that the benchmarks share.
#include "bench/bench_support.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string_view>

#include "tests/support/stream_writer.h"

namespace korvel::bench {

namespace {

std::size_t StatusKilobytes(const char *field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::stoul(line.substr(std::strlen(field)));
    return 0;
}

TclpEntBase Pen(std::size_t i) {
    return {0,
            1,
            static_cast<std::uint16_t>(1 + i % 9),
            0,
            static_cast<std::uint16_t>(i % 16),
            static_cast<std::uint16_t>(i / 16 % 16),
            0x0002};
}

// Entity i of the mix: 60 % lines, 15 % arcs, 8 % points, 8 % texts, 4 % solids, 3 % dimensions, 2 % inserts.
template <class Sink>
void EmitMixed(std::size_t i, Sink &&sink) {
    const double x = std::fmod(static_cast<double>(i) * 37.11, 100000.0),
                 y = std::fmod(static_cast<double>(i) * 13.7, 70000.0);
    const std::size_t slot = i % 100;
    if (slot < 60) {
        sink(TclpEntSen{Pen(i), x, y, x + 1234.5678, y - 987.654321});
    } else if (slot < 75) {
        sink(TclpEntEnko{Pen(i), x, y, 250.125 + slot, 0.5, slot % 2 ? 1.25 : -2.5, 0.1, slot % 3 ? 1.0 : 0.6,
                         static_cast<std::int32_t>(slot % 4 == 0)});
    } else if (slot < 83) {
        TclpEntBase b = Pen(i);
        if (slot % 2) b.penStyle = 100;
        sink(TclpEntTen{b, x, y, 0, 3, 0.5, 2});
    } else if (slot < 91) {
        sink(TclpEntMoji{Pen(i), x, y, x + 900, y, 0, 250, 250, 0, 0,
                         "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e", "room " + std::to_string(i % 1000)});
    } else if (slot < 95) {
        TclpEntSolid s{Pen(i), x, y, x + 100, y, x + 100, y + 100, x, y + 100, 0};
        if (slot == 92) s.base.penColor = 10, s.color = 0x336699;
        if (slot == 93) s.base.penStyle = 105, s.x2 = 300, s.y2 = 1, s.x4 = 3.14159, s.y4 = 200;
        sink(s);
    } else if (slot < 98) {
        TclpEntSunpo d;
        d.base = d.line.base = d.label.base = Pen(i);
        d.line = {Pen(i), x, y, x + 3000, y};
        d.label.text = "3000";
        d.sxfMode = 1;
        sink(d);
    } else {
        sink(TclpEntBlock{Pen(i), x, y, 1, 1, 0.5, 1});
    }
}

// Entity i of the blocks mix: 55 % lines, 12 % arcs, 6 % points, 7 % texts, 5 % solids, 8 % dimensions and
// 7 % inserts, alternately of the block of lines and of the block of curves, turned and scaled.
template <class Sink>
void EmitBlocksMix(std::size_t i, Sink &&sink) {
    const std::size_t slot = i % 100;
    const double x = std::fmod(static_cast<double>(i) * 37.11, 100000.0),
                 y = std::fmod(static_cast<double>(i) * 13.7, 70000.0);
    if (slot >= 93) {
        sink(TclpEntBlock{Pen(i), x, y, slot % 2 ? 1.0 : 2.5, slot % 3 ? 1.0 : 0.75,
                          0.3 * static_cast<double>(slot % 7), static_cast<std::int32_t>(1 + slot % 2)});
        return;
    }
    // The plain mix's kinds, in the blocks mix's proportions.
    static constexpr std::size_t kPlainSlot[] = {0, 60, 75, 83, 91, 95};  // line, arc, point, text, solid, dim
    std::size_t kind = slot < 55 ? 0 : slot < 67 ? 1 : slot < 73 ? 2 : slot < 80 ? 3 : slot < 85 ? 4 : 5;
    EmitMixed(i - slot + kPlainSlot[kind] + (kind == 1 || kind == 4 ? slot % 4 : 0), sink);
}

TclpEntBlockDef LineBlock() {
    TclpEntBlockDef def;
    def.number = 1;
    def.name = "block";
    for (int i = 0; i < 20; i++)
        test::Add(def, TclpEntSen{{}, 0, i * 10.0, 100, i * 10.0});
    return def;
}

TclpEntBlockDef CurveBlock() {
    TclpEntBlockDef def;
    def.number = 2;
    def.name = "curves";
    for (int i = 0; i < 8; i++)
        test::Add(def, TclpEntEnko{{}, i * 20.0, 5, 15.0 + i, 0.25 * i, 1.5 + 0.1 * i, 0.2 * i, i % 3 ? 1.0 : 0.5, 0});
    for (int i = 0; i < 4; i++)
        test::Add(def, TclpEntEnko{{}, 40.0 * i, 60, 10, 0, 0, 0, 1, 1});
    TclpEntSolid fan{{}, 50, 50, 30, 1, 0.5, 0.25, 1.2, 0};
    fan.base.penStyle = 101;
    test::Add(def, fan);
    TclpEntSolid band{{}, 120, 40, 25, 1, 0, 0, 3.14159, 5};
    band.base.penStyle = 105;
    test::Add(def, band);
    test::Add(def, TclpEntSolid{{}, 0, 0, 30, 0, 30, 30, 0, 30, 0});
    for (int i = 0; i < 5; i++)
        test::Add(def, TclpEntSen{{}, 0, i * 25.0, 160, i * 25.0});
    return def;
}

template <class Sink>
void EmitEntity(std::size_t i, Mix mix, Sink &&sink) {
    if (mix == Mix::Blocks) EmitBlocksMix(i, sink);
    else EmitMixed(i, sink);
}

}  // namespace

std::size_t ResidentBytes() { return StatusKilobytes("VmRSS:") * 1024; }
std::size_t PeakResidentBytes() { return StatusKilobytes("VmHWM:") * 1024; }
void ResetPeakMemory() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
}

DrawingStore MixedDrawing(std::size_t entities, Mix mix) {
    DrawingStore d;
    d.originX = 1234.5;
    d.originY = -678.25;
    d.layerGroupScales.assign(16, 1.0);
    d.layerGroupScales[0] = 0.01;
    for (std::size_t i = 0; i < entities; i++)
        EmitEntity(i, mix, [&](const auto &r) { test::Add(d, r); });
    d.blockDefs.push_back(LineBlock());
    if (mix == Mix::Blocks) d.blockDefs.push_back(CurveBlock());
    return d;
}

std::uint64_t WriteMixedStream(const std::string &path, std::size_t entities, Mix mix) {
    std::FILE *out = std::fopen(path.c_str(), "wb");
    if (!out) return 0;
    test::StreamOptions options;
    options.schema = 700;
    test::StreamWriter w(options);
    auto flush = [&] {
        std::fwrite(w.bytes.data(), 1, w.bytes.size(), out);
        w.bytes.clear();
    };
    w.Double(1234.5);
    w.Double(-678.25);
    for (int i = 0; i < 16; i++)
        w.Double(i == 0 ? 0.01 : 1.0);
    w.Count(static_cast<std::uint32_t>(entities));
    for (std::size_t i = 0; i < entities; i++) {
        EmitEntity(i, mix, [&](const auto &r) { w.Object(r); });
        if (w.bytes.size() > (1u << 20)) flush();
    }
    w.Count(mix == Mix::Blocks ? 2 : 1);
    w.BlockDefinition(LineBlock());
    if (mix == Mix::Blocks) w.BlockDefinition(CurveBlock());
    flush();
    const long size = std::ftell(out);
    std::fclose(out);
    return size < 0 ? 0 : static_cast<std::uint64_t>(size);
}

Mix MixArgument(int argc, char **argv) {
    for (int i = 1; i + 1 < argc; i++)
        if (std::string_view(argv[i]) == "--mix")
            return std::string_view(argv[i + 1]) == "blocks" ? Mix::Blocks : Mix::Plain;
    return Mix::Plain;
}

std::size_t ArgumentOr(int argc, char **argv, const char *name, std::size_t fallback) {
    for (int i = 1; i + 1 < argc; i++)
        if (std::string_view(argv[i]) == name) return std::stoul(argv[i + 1]);
    return fallback;
}

}  // namespace korvel::bench
