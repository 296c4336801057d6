// What the DXF and SVG writers share: one walk over the drawing (its block definitions, then its top-level
// entities in stream order), the place each figure goes to, and the drawing's layers as both name them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "reader/drawing_store.h"
#include "script/conversion_report.h"

namespace korvel {

struct ExportOptions {
    // Paper millimetres as stored, not each layer group at its own scale.
    bool paper = false;
    // The font file the DXF's text styles name; empty for the TrueType file a Japanese Windows has for each
    // of Jw_cad's faces (msgothic.ttc, msmincho.ttc), which AutoCAD-family readers use.
    std::string textFont;
    // Told how many of the entities are written (each block definition and its members, then the top level),
    // of how many; false stops the export (which then returns false).
    std::function<bool(std::uint64_t done, std::uint64_t total)> progress{};
};

// Where a figure's coordinates go: (x - x0) * s. Block members keep their block's own coordinates
// (x0 = y0 = 0, s = 1); the insert that places them carries its layer group's scale.
struct ExportPlace {
    double x0 = 0, y0 = 0, s = 1;

    double X(double x) const;
    double Y(double y) const;
    double Length(double v) const;
};

// The place of a layer group's figures: real size at its own scale, or paper millimetres.
ExportPlace PlaceOfGroup(const DrawingStore &store, const ExportOptions &options, std::size_t group);

// The rectangle the reference point and what the file shows cover in the export's coordinates, each layer
// group at its own place (a text by its characters' cells, nothing of the hidden layers).
struct ExportBox {
    double minX, minY, maxX, maxY;
};
ExportBox ShownBox(const DrawingStore &store, const ExportOptions &options);

// "0-1" (group and layer in Jw_cad's hexadecimal), then a space and the layer's name where the file names
// it, in UTF-8.
std::string LayerName(const DrawingStore &store, std::size_t layer);
// Each block definition's name in UTF-8, unique among the drawing's as DXF compares them (regardless of
// case): its own where it is the first to bear it, else with "_" and the definition's place after it (a
// nameless one is "BLOCK_" and its number); characters no DXF name may hold are replaced by "_". Made when
// asked for, from a hash of each name: a million definitions cost a few megabytes.
class BlockNames {
public:
    explicit BlockNames(const DrawingStore &store);
    std::string operator[](std::size_t definition) const;

private:
    std::string OwnName(std::size_t definition) const;
    bool FirstToBear(const std::string &name, std::size_t definition) const;
    bool Borne(const std::string &name) const;

    const DrawingStore &store;
    std::vector<std::pair<std::uint64_t, std::size_t>> byHash;     // each own name's hash and definition, sorted
    mutable std::unordered_map<std::size_t, std::string> renamed;  // the names of the definitions renamed
};

// What the walk hands a writer.
class FigureWriter {
public:
    virtual ~FigureWriter() = default;
    virtual void BeginBlock(std::size_t definition) = 0;
    virtual void EndBlock(std::size_t definition) = 0;
    // After the last definition, before the first top-level entity.
    virtual void BeginTopLevel() = 0;
    // Each figure: false when it could not be written (a coordinate that is no number once scaled).
    virtual bool Line(const TclpEntSen &line, const ExportPlace &at) = 0;
    virtual bool Arc(const TclpEntEnko &arc, const ExportPlace &at) = 0;
    virtual bool Point(const TclpEntTen &point, const ExportPlace &at) = 0;
    virtual bool Text(const TclpEntMoji &text, const ExportPlace &at) = 0;
    virtual bool Dimension(const TclpEntSunpo &dimension, const ExportPlace &at) = 0;
    // A polygon solid; an arc-shaped one only when it is a figure.
    virtual bool Solid(const TclpEntSolid &solid, const ExportPlace &at) = 0;
    // `definition` indexes the store's block definitions.
    virtual bool Insert(const TclpEntBlock &insert, std::size_t definition, const ExportPlace &at) = 0;
};

// Each block definition (its members in stream order, the inserts among them only where their definition
// exists and does not lead back into it), then every top-level entity in stream order at its layer group's
// place. Every top-level entity and every definition's member goes into `report` once: written, by kind (a
// member also counted in `fromBlocks`), or left out with its reason. False when `progress` stopped it.
bool WalkForExport(const DrawingStore &store, const ExportOptions &options, FigureWriter &writer,
                   ConversionReport &report);

}  // namespace korvel
