// Small drawings whose numbers are mostly ordinary and now and then no number, infinite, huge or denormal,
// in every field the preview reads: the header, ends, centres, radii, angles, text cells and insert scales.
#include <cmath>
#include <limits>

#include "reader/drawing_rules.h"
#include "tests/support/fixed_random.h"
#include "tests/support/stream_writer.h"

namespace korvel::test {

namespace {

class HostileNumbers {
public:
    explicit HostileNumbers(std::uint64_t seed, double hostileShare) : random(seed), share(hostileShare) {}

    // An ordinary coordinate, or one of the numbers that break arithmetic.
    double Next(double ordinary) {
        static constexpr double kHostile[] = {std::numeric_limits<double>::quiet_NaN(),
                                              -std::numeric_limits<double>::quiet_NaN(),
                                              std::numeric_limits<double>::infinity(),
                                              -std::numeric_limits<double>::infinity(),
                                              std::numeric_limits<double>::max(),
                                              -1e308,
                                              1e300,
                                              -1e200,
                                              1e20,
                                              std::numeric_limits<double>::denorm_min(),
                                              -1e-310,
                                              0.0,
                                              -0.0};
        if (random() >= share) return ordinary;
        return kHostile[Index(std::size(kHostile))];
    }
    double Coordinate() { return Next(random() * 200 - 100); }
    double Size() { return Next(random() * 20 + 0.5); }
    double Angle() { return Next(random() * 8 - 4); }
    std::size_t Index(std::size_t n) { return static_cast<std::size_t>(random() * static_cast<double>(n)) % n; }
    std::uint16_t Colour() { return static_cast<std::uint16_t>(1 + Index(9)); }

private:
    FixedRandom random;
    double share;
};

template <class Target>
void AddFigures(Target &target, HostileNumbers &n, std::size_t count, bool withInserts) {
    for (std::size_t i = 0; i < count; i++) {
        TclpEntBase base;
        base.penColor = n.Colour();
        base.penStyle = static_cast<std::uint8_t>(1 + n.Index(4));
        switch (n.Index(withInserts ? 8 : 7)) {
            case 0:
                Add(target, TclpEntSen{base, n.Coordinate(), n.Coordinate(), n.Coordinate(), n.Coordinate()});
                break;
            case 1: {
                const bool full = n.Index(3) == 0;
                Add(target, TclpEntEnko{base, n.Coordinate(), n.Coordinate(), n.Size(), full ? 0 : n.Angle(),
                                        full ? 2 * 3.141592653589793 : n.Angle(), n.Angle(),
                                        n.Index(2) ? 1.0 : n.Next(0.5), full ? 1 : 0});
                break;
            }
            case 2: {
                TclpEntTen point;
                point.base = base;
                point.x = n.Coordinate(), point.y = n.Coordinate();
                if (n.Index(3) == 0) {
                    point.base.penStyle = 100;
                    point.code = static_cast<std::int32_t>(1 + n.Index(20));
                    point.rotation = n.Angle(), point.scale = n.Size();
                }
                Add(target, point);
                break;
            }
            case 3:
            case 4: {
                TclpEntMoji text;
                text.base = base;
                text.startX = n.Coordinate(), text.startY = n.Coordinate();
                text.endX = n.Coordinate(), text.endY = n.Coordinate();
                text.sizeX = n.Size(), text.sizeY = n.Size(), text.spacing = n.Next(0.5), text.angle = n.Angle();
                text.fontName = "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E";  // ＭＳ ゴシック
                text.text = n.Index(2) ? "A1" : "\x90\x7D\x96\xCA";                   // 図面
                if (n.Index(2) == 0) {
                    TclpEntSunpo dimension;
                    dimension.base = base;
                    dimension.line = {base, n.Coordinate(), n.Coordinate(), n.Coordinate(), n.Coordinate()};
                    dimension.label = text;
                    Add(target, dimension);
                } else {
                    Add(target, text);
                }
                break;
            }
            case 5: {
                TclpEntSolid solid{base,           n.Coordinate(), n.Coordinate(), n.Coordinate(), n.Coordinate(),
                                   n.Coordinate(), n.Coordinate(), n.Coordinate(), n.Coordinate(), 0};
                Add(target, solid);
                break;
            }
            case 6: {
                static constexpr std::uint8_t kArcKinds[] = {101, 105, 106, 111};
                static constexpr double kShapes[] = {100, 0, 1, 2, 3, 5};
                TclpEntSolid solid;
                solid.base = base;
                solid.base.penStyle = kArcKinds[n.Index(4)];
                EncodeArcSolid(
                    {solid.base.penStyle,
                     {{n.Coordinate(), n.Coordinate(), n.Size(), n.Next(0.7), n.Angle()}, n.Angle(), n.Angle()},
                     solid.base.penStyle >= 105 ? n.Size() : n.Next(kShapes[n.Index(6)])},
                    solid);
                Add(target, solid);
                break;
            }
            default:
                Add(target, InsertOf(1, n.Coordinate(), n.Coordinate(), n.Next(1.5), n.Next(0.75), n.Angle()));
                break;
        }
    }
}

}  // namespace

std::vector<DrawingStore> HostileNumberDrawings() {
    std::vector<DrawingStore> drawings;
    for (std::uint64_t seed = 1; seed <= 160; seed++) {
        // Some drawings hostile in a few fields, some in many.
        HostileNumbers n(seed * 7919, seed % 4 == 0 ? 0.3 : 0.06);
        DrawingStore d;
        d.originX = n.Next(12.5), d.originY = n.Next(-3);
        d.layerGroupScales.assign(16, 1);
        d.layerGroupScales[0] = n.Next(100);
        TclpEntBlockDef block;
        block.number = 1;
        block.name = "B";
        AddFigures(block, n, 3, false);
        d.blockDefs.push_back(block);
        AddFigures(d, n, 4 + n.Index(8), true);
        drawings.push_back(std::move(d));
    }
    return drawings;
}

}  // namespace korvel::test
