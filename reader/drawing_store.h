// The in-memory drawing: header values, entity records by kind, and block definitions.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "geom/plane.h"
#include "reader/compact_vector.h"

namespace korvel {

// Kind codes of ObjectRef, in the order of the stream's seven entity classes.
enum class EntityKind : std::int32_t { Line = 1, Arc = 2, Point = 3, Text = 4, Dimension = 5, Solid = 6, Insert = 7 };

// The common header of every entity record (and of every sub-record of a dimension).
struct TclpEntBase {
    std::int32_t group = 0;
    std::uint8_t penStyle = 0;
    std::uint16_t penColor = 0;
    std::uint16_t penWidth = 0;  // 0 in streams older than version 351
    std::uint16_t layer = 0;
    std::uint16_t layerGroup = 0;
    std::uint16_t flags = 0;

    bool operator==(const TclpEntBase &) const = default;
};

struct TclpEntSen {  // line
    TclpEntBase base;
    double startX = 0, startY = 0, endX = 0, endY = 0;

    bool operator==(const TclpEntSen &) const = default;
};

struct TclpEntEnko {  // circle, arc, ellipse
    TclpEntBase base;
    double centerX = 0, centerY = 0, radius = 0, startAngle = 0, arcAngle = 0, tiltAngle = 0, flatness = 0;
    std::int32_t fullCircle = 0;

    bool operator==(const TclpEntEnko &) const = default;
};

struct TclpEntTen {  // point
    TclpEntBase base;
    double x = 0, y = 0;
    std::int32_t temporary = 0;
    std::int32_t code = 0;  // code, rotation and scale are only stored for penStyle 100
    double rotation = 0, scale = 0;

    bool operator==(const TclpEntTen &) const = default;
};

struct TclpEntMoji {  // text
    TclpEntBase base;
    double startX = 0, startY = 0, endX = 0, endY = 0;
    std::int32_t textType = 0;
    double sizeX = 0, sizeY = 0, spacing = 0, angle = 0;
    std::string fontName;  // Shift-JIS bytes
    std::string text;      // Shift-JIS bytes

    bool operator==(const TclpEntMoji &) const = default;
};

struct TclpEntSunpo {  // dimension
    TclpEntBase base;
    TclpEntSen line;
    TclpEntMoji label;
    std::uint16_t sxfMode = 0;
    TclpEntSen auxLine1, auxLine2;
    TclpEntTen point1, point2, point3, point4;

    bool operator==(const TclpEntSunpo &) const = default;
};

struct TclpEntSolid {  // solid
    TclpEntBase base;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0, x4 = 0, y4 = 0;
    std::int32_t color = 0;  // 0x00BBGGRR, only stored when penColor is 10

    bool operator==(const TclpEntSolid &) const = default;
};

struct TclpEntBlock {  // block insert
    TclpEntBase base;
    double x = 0, y = 0, scaleX = 0, scaleY = 0, angle = 0;
    std::int32_t number = 0;

    bool operator==(const TclpEntBlock &) const = default;
};

struct ObjectRef {
    std::int32_t kind = 0;   // an EntityKind code
    std::int32_t index = 0;  // position in that kind's array

    bool operator==(const ObjectRef &) const = default;
};

template <class T>
using VectorOf = std::vector<T>;
template <class T>
using CompactOf = CompactVector<T>;

// One list per entity kind, in stream order; shared by the top level and each block definition. A
// store keeps the records in vectors; a DrawingSummary (drawing_summary.h) only counts them.
template <template <class> class List>
struct EntityLists {
    List<TclpEntSen> lines;
    List<TclpEntEnko> arcs;
    List<TclpEntTen> points;
    List<TclpEntMoji> texts;
    List<TclpEntSunpo> dimensions;
    List<TclpEntSolid> solids;
    List<TclpEntBlock> inserts;

    std::int32_t lineCount() const { return static_cast<std::int32_t>(lines.size()); }
    std::int32_t arcCount() const { return static_cast<std::int32_t>(arcs.size()); }
    std::int32_t pointCount() const { return static_cast<std::int32_t>(points.size()); }
    std::int32_t textCount() const { return static_cast<std::int32_t>(texts.size()); }
    std::int32_t dimensionCount() const { return static_cast<std::int32_t>(dimensions.size()); }
    std::int32_t solidCount() const { return static_cast<std::int32_t>(solids.size()); }
    std::int32_t insertCount() const { return static_cast<std::int32_t>(inserts.size()); }

    bool operator==(const EntityLists &) const = default;
};

template <template <class> class List, class Objects>
struct BlockDefinition : EntityLists<List> {
    TclpEntBase base;
    std::int32_t number = 0;  // what inserts refer to
    std::int32_t referenced = 0;
    std::int32_t stamp = 0;
    std::string name;              // Shift-JIS bytes
    std::uint32_t entityCount = 0;  // as announced by the stream
    Objects objects;               // the definition's objects in stream order

    bool operator==(const BlockDefinition &) const = default;
};

// `Definitions` keeps the block definitions (a vector of them), or only counts them where nothing reads them.
template <template <class> class List, class Objects, class Definitions = std::vector<BlockDefinition<List, Objects>>>
struct BasicDrawing : EntityLists<List> {
    std::int32_t version = 0;  // schema of the stream's first class definition
    double originX = 0, originY = 0;
    std::vector<double> layerGroupScales;  // 16 entries once a stream has been read
    // From a .jww file, Shift-JIS: the 256 layers' names (group * 16 + layer), then the 16 groups'; else none.
    std::vector<std::string> layerNames;
    std::uint32_t objectCount = 0;         // as announced by the stream
    Objects objects;                       // top-level objects in stream order
    Definitions blockDefs;
    std::uint64_t replacedCharacters = 0;  // characters of Unicode strings with no CP932 form, stored as "?"
    // From a .jww file: each group's state, then each layer's (group * 16 + layer), as Jw_cad keeps them:
    // 0 hidden, 1 display only, 2 editable, 3 the layer drawn on; else none.
    std::vector<std::uint8_t> layerStates;
    // From a .jww file read as Jw_cad copies it: the top-level objects left out for lying on a hidden or
    // display-only layer or group.
    std::uint64_t leftOnLockedLayers = 0;

    std::int32_t blockDefCount() const { return static_cast<std::int32_t>(blockDefs.size()); }

    bool operator==(const BasicDrawing &) const = default;
};

using EntityArrays = EntityLists<VectorOf>;
// A definition's members in lists that cost a pointer each while empty: a drawing may hold a great many
// definitions, most of them small.
using DefinitionMembers = EntityLists<CompactOf>;
using TclpEntBlockDef = BlockDefinition<CompactOf, CompactVector<ObjectRef>>;
using DrawingStore = BasicDrawing<VectorOf, std::vector<ObjectRef>, std::vector<TclpEntBlockDef>>;

// Returns the store to its starting state: no scales, no objects, no entities, version 0, origin (0, 0).
void ClearDrawingStore(DrawingStore &store);

// What drawing an entity costs, in units of one line: a text's characters are drawn one by one, each
// costing as much as several lines, so a text weighs its bytes at that rate.
inline constexpr std::uint64_t kCharacterWeight = 8;
std::uint64_t DrawingWeight(const TclpEntMoji &text);
std::uint64_t DrawingWeight(const TclpEntSunpo &dimension);
template <class Entity>
std::uint64_t DrawingWeight(const Entity &) {
    return 1;
}
// The sum over a definition's members, at least 1.
std::uint64_t MembersWeight(const DefinitionMembers &members);

// Finds the definition an insert refers to: the first one with the insert's number, and what placing it
// weighs.
class BlockDefLookup {
public:
    explicit BlockDefLookup(const DrawingStore &store);
    // Null when no definition has this number.
    const TclpEntBlockDef *Find(std::int32_t number) const;
    // 0 when no definition has this number.
    std::uint64_t Weight(std::int32_t number) const;

private:
    struct Found {
        const TclpEntBlockDef *definition;
        std::uint64_t weight;
    };
    std::unordered_map<std::int32_t, Found> firstByNumber;
};

inline BlockTransform BlockTransformOf(const TclpEntBlock &insert) {
    return {insert.x, insert.y, insert.scaleX, insert.scaleY, insert.angle, 1};
}

void CopyEntityBase(const TclpEntBase &from, TclpEntBase &to);

// How much block members the preview and the extents place at most (by drawing weight): proportional to
// the drawing, with a floor that no real drawing reaches, so that an input whose inserts multiply a large
// definition (or a long text) still previews in time linear in its size.
inline constexpr std::uint64_t kMinBlockMemberBudget = 10'000'000;
std::uint64_t BlockMemberBudget(const DrawingStore &store);

// How many of the store's inserts, in order, are placed within that budget (all of them, as a rule).
std::size_t InsertsWithinBudget(const DrawingStore &store, const BlockDefLookup &lookup);

// Memory the store holds (its arrays, strings and nested arrays), for the benchmarks.
std::size_t StoreSizeBytes(const DrawingStore &store);

}  // namespace korvel
