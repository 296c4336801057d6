// A small floor plan with every entity kind, as Jw_cad would copy it to the clipboard.
#include <array>
#include <numbers>

#include "tests/support/stream_writer.h"

namespace korvel::test {

namespace {

// Copied entities carry flag 0x0002, as in real clipboard streams.
TclpEntBase Pen(std::uint8_t style, std::uint16_t color, std::uint16_t layer, std::uint16_t group = 0,
                std::uint16_t flags = 0x0002) {
    return {0, style, color, 0, layer, group, flags};
}

TclpEntSen Wall(double x1, double y1, double x2, double y2) { return {Pen(1, 2, 1), x1, y1, x2, y2}; }

}  // namespace

DrawingStore SampleDrawing() {
    constexpr double pi = std::numbers::pi;
    DrawingStore d;
    d.originX = 1250.5;
    d.originY = -830.25;
    d.layerGroupScales.assign(16, 1.0);
    d.layerGroupScales[0] = 0.01;  // millimetres to metres

    // Outer walls of a 6 m x 4 m room, the door opening between x = 2000 and 2900.
    for (const auto &[x1, y1, x2, y2] : {std::array{0.0, 0.0, 2000.0, 0.0}, std::array{2900.0, 0.0, 6000.0, 0.0},
                                         std::array{6000.0, 0.0, 6000.0, 4000.0},
                                         std::array{6000.0, 4000.0, 0.0, 4000.0}, std::array{0.0, 4000.0, 0.0, 0.0}})
        Add(d, Wall(x1, y1, x2, y2));
    TclpEntSen hatch = Wall(100, 100, 300, 300);
    hatch.base.flags |= 0x0020;  // a hatching line
    Add(d, hatch);

    Add(d, TclpEntEnko{Pen(1, 3, 2), 2000, 0, 900, 0, pi / 2, 0, 1, 0});                // door swing
    Add(d, TclpEntEnko{Pen(1, 4, 3, 1), 5500, 3500, 200, 0, 0, 0, 1, 1});               // column
    Add(d, TclpEntEnko{Pen(1, 5, 3, 1), 3000, 2000, 600, 0, 0, pi / 6, 0.5, 1});        // table, an ellipse
    Add(d, TclpEntEnko{Pen(2, 6, 3, 1), 1000, 3000, 400, pi, -pi / 2, 0.25, 0.75, 0});  // elliptic arc

    TclpEntMoji label{Pen(1, 2, 4), 2500, 2500, 3400, 2500, 0, 300, 300, 0, 0, "", ""};
    label.fontName = "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e";  // MS Gothic in Shift-JIS
    label.text = "\x8b\x8f\x8a\xd4";                                       // "living room"
    Add(d, label);

    TclpEntSunpo dim;
    dim.base = Pen(1, 1, 5);
    dim.line = {Pen(1, 1, 5), 0, -500, 6000, -500};
    dim.label = {Pen(1, 1, 5), 2800, -450, 3200, -450, 0, 250, 250, 0, 0, "\x82\x6c\x82\x72", "6000"};
    dim.sxfMode = 1;
    dim.auxLine1 = {Pen(1, 1, 5), 0, 0, 0, -600};
    dim.auxLine2 = {Pen(1, 1, 5), 6000, 0, 6000, -600};
    dim.point1 = {Pen(1, 1, 5), 0, -500, 0, 0, 0, 0};
    dim.point2 = {Pen(100, 1, 5), 6000, -500, 0, 3, 0.5, 1.5};  // a symbol point
    dim.point3 = {Pen(1, 1, 5), 0, 0, 1, 0, 0, 0};
    dim.point4 = {Pen(1, 1, 5), 6000, 0, 1, 0, 0, 0};
    Add(d, dim);

    Add(d, TclpEntSolid{Pen(1, 10, 6), 5800, 3800, 6000, 3800, 6000, 4000, 5800, 4000, 0x0080C0});  // own colour
    Add(d, TclpEntSolid{Pen(1, 8, 6), 0, 0, 200, 0, 0, 200, 0, 200, 0});                            // triangle
    Add(d, TclpEntSolid{Pen(101, 9, 6), 3000, 2000, 150, 1, 0, 0, 2 * pi, 100, 0});                 // disc
    Add(d, TclpEntSolid{Pen(105, 9, 6), 3000, 2000, 300, 1, 0, 0, pi, 250, 0});                     // half ring
    Add(d, TclpEntTen{Pen(1, 2, 7), 3000, 2000, 0, 0, 0, 0});
    Add(d, TclpEntTen{Pen(100, 2, 7), 500, 500, 0, 12, pi / 4, 2});  // a symbol point

    // A chair as a block: defined once in local coordinates, placed twice.
    TclpEntBlockDef chair;
    chair.base = Pen(1, 2, 8, 0, 0);
    chair.number = 1;
    chair.name = "chair";
    for (const auto &[x1, y1, x2, y2] : {std::array{0.0, 0.0, 450.0, 0.0}, std::array{450.0, 0.0, 450.0, 450.0},
                                         std::array{450.0, 450.0, 0.0, 450.0}, std::array{0.0, 450.0, 0.0, 0.0}})
        Add(chair, TclpEntSen{Pen(1, 2, 8, 0, 0), x1, y1, x2, y2});
    Add(chair, TclpEntEnko{Pen(1, 2, 8, 0, 0), 225, 225, 100, 0, 0, 0, 1, 1});
    d.blockDefs.push_back(chair);
    Add(d, TclpEntBlock{Pen(1, 2, 8), 2700, 1500, 1, 1, 0, 1});
    Add(d, TclpEntBlock{Pen(1, 2, 8), 3300, 1500, 1, 1, pi, 1});
    return d;
}

}  // namespace korvel::test
