// The drawing store as JSON, the output of `korvel-cli dump`.
#include "cli/dump_json.h"

#include <initializer_list>
#include <utility>

#include "geom/cp932.h"

namespace korvel {

namespace {

void Field(JsonOut &json, const char *name, std::int64_t v) {
    json.Key(name);
    json.Integer(v);
}

// Named doubles, in the order given.
void Fields(JsonOut &json, std::initializer_list<std::pair<const char *, double>> fields) {
    for (const auto &[name, v] : fields) {
        json.Key(name);
        json.Number(v);
    }
}

void TextField(JsonOut &json, const char *name, const std::string &sjis) {
    json.Key(name);
    json.String(Cp932ToUtf8(sjis));
}

void WriteBase(JsonOut &json, const TclpEntBase &b) {
    json.Key("base");
    json.BeginObject();
    Field(json, "group", b.group);
    Field(json, "penStyle", b.penStyle);
    Field(json, "penColor", b.penColor);
    Field(json, "penWidth", b.penWidth);
    Field(json, "layer", b.layer);
    Field(json, "layerGroup", b.layerGroup);
    Field(json, "flags", b.flags);
    json.EndObject();
}

void Write(JsonOut &json, const TclpEntSen &r) {
    json.BeginObject();
    WriteBase(json, r.base);
    Fields(json, {{"startX", r.startX}, {"startY", r.startY}, {"endX", r.endX}, {"endY", r.endY}});
    json.EndObject();
}

void Write(JsonOut &json, const TclpEntEnko &r) {
    json.BeginObject();
    WriteBase(json, r.base);
    Fields(json, {{"centerX", r.centerX},
                  {"centerY", r.centerY},
                  {"radius", r.radius},
                  {"startAngle", r.startAngle},
                  {"arcAngle", r.arcAngle},
                  {"tiltAngle", r.tiltAngle},
                  {"flatness", r.flatness}});
    Field(json, "fullCircle", r.fullCircle);
    json.EndObject();
}

void Write(JsonOut &json, const TclpEntTen &r) {
    json.BeginObject();
    WriteBase(json, r.base);
    Fields(json, {{"x", r.x}, {"y", r.y}});
    Field(json, "temporary", r.temporary);
    Field(json, "code", r.code);
    Fields(json, {{"rotation", r.rotation}, {"scale", r.scale}});
    json.EndObject();
}

void Write(JsonOut &json, const TclpEntMoji &r) {
    json.BeginObject();
    WriteBase(json, r.base);
    Fields(json, {{"startX", r.startX}, {"startY", r.startY}, {"endX", r.endX}, {"endY", r.endY}});
    Field(json, "textType", r.textType);
    Fields(json, {{"sizeX", r.sizeX}, {"sizeY", r.sizeY}, {"spacing", r.spacing}, {"angle", r.angle}});
    TextField(json, "fontName", r.fontName);
    TextField(json, "text", r.text);
    json.EndObject();
}

template <class Rec>
void Member(JsonOut &json, const char *name, const Rec &r) {
    json.Key(name);
    Write(json, r);
}

void Write(JsonOut &json, const TclpEntSunpo &r) {
    json.BeginObject();
    WriteBase(json, r.base);
    Member(json, "line", r.line);
    Member(json, "label", r.label);
    Field(json, "sxfMode", r.sxfMode);
    Member(json, "auxLine1", r.auxLine1);
    Member(json, "auxLine2", r.auxLine2);
    Member(json, "point1", r.point1);
    Member(json, "point2", r.point2);
    Member(json, "point3", r.point3);
    Member(json, "point4", r.point4);
    json.EndObject();
}

void Write(JsonOut &json, const TclpEntSolid &r) {
    json.BeginObject();
    WriteBase(json, r.base);
    Fields(json, {{"x1", r.x1},
                  {"y1", r.y1},
                  {"x2", r.x2},
                  {"y2", r.y2},
                  {"x3", r.x3},
                  {"y3", r.y3},
                  {"x4", r.x4},
                  {"y4", r.y4}});
    Field(json, "color", r.color);
    json.EndObject();
}

void Write(JsonOut &json, const TclpEntBlock &r) {
    json.BeginObject();
    WriteBase(json, r.base);
    Fields(json, {{"x", r.x}, {"y", r.y}, {"scaleX", r.scaleX}, {"scaleY", r.scaleY}, {"angle", r.angle}});
    Field(json, "number", r.number);
    json.EndObject();
}

void Write(JsonOut &json, const TclpEntBlockDef &def);

template <class Records>
void WriteArray(JsonOut &json, const char *name, const Records &records) {
    json.Key(name);
    json.BeginArray();
    for (const auto &r : records) {
        json.Newline();
        Write(json, r);
    }
    json.EndArray();
}

template <class Objects>
void WriteObjects(JsonOut &json, const Objects &objects) {
    json.Key("objects");
    json.BeginArray();
    for (const ObjectRef &ref : objects) {
        json.BeginArray();
        json.Integer(ref.kind);
        json.Integer(ref.index);
        json.EndArray();
    }
    json.EndArray();
}

template <template <class> class List>
void WriteKindArrays(JsonOut &json, const EntityLists<List> &a) {
    WriteArray(json, "lines", a.lines);
    WriteArray(json, "arcs", a.arcs);
    WriteArray(json, "points", a.points);
    WriteArray(json, "texts", a.texts);
    WriteArray(json, "dimensions", a.dimensions);
    WriteArray(json, "solids", a.solids);
    WriteArray(json, "inserts", a.inserts);
}

void Write(JsonOut &json, const TclpEntBlockDef &def) {
    json.BeginObject();
    WriteBase(json, def.base);
    Field(json, "number", def.number);
    Field(json, "referenced", def.referenced);
    Field(json, "stamp", def.stamp);
    TextField(json, "name", def.name);
    Field(json, "entityCount", def.entityCount);
    WriteObjects(json, def.objects);
    WriteKindArrays(json, def);
    json.EndObject();
}

}  // namespace

void WriteStoreJson(JsonOut &json, const DrawingStore &store, bool complete) {
    json.BeginObject();
    json.Key("complete");
    json.Bool(complete);
    Field(json, "version", store.version);
    Fields(json, {{"originX", store.originX}, {"originY", store.originY}});
    json.Key("layerGroupScales");
    json.BeginArray();
    for (const double scale : store.layerGroupScales)
        json.Number(scale);
    json.EndArray();
    Field(json, "objectCount", store.objectCount);
    json.Newline();
    WriteObjects(json, store.objects);
    WriteKindArrays(json, store);
    WriteArray(json, "blockDefs", store.blockDefs);
    json.EndObject();
    json.Newline();
}

}  // namespace korvel
