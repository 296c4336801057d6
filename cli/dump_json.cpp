// The drawing store as JSON, the output of `korvel-cli dump`.
#include "cli/dump_json.h"

#include "geom/cp932.h"

namespace korvel {

namespace {

void Field(JsonOut &json, const char *name, double v) {
    json.Key(name);
    json.Number(v);
}

void Field(JsonOut &json, const char *name, std::int64_t v) {
    json.Key(name);
    json.Integer(v);
}

void TextField(JsonOut &json, const char *name, const std::string &sjis) {
    json.Key(name);
    json.String(Cp932ToUtf8(sjis));
}

void WriteBase(JsonOut &json, const TclpEntBase &b) {
    json.Key("base");
    json.BeginObject();
    Field(json, "group", std::int64_t{b.group});
    Field(json, "penStyle", std::int64_t{b.penStyle});
    Field(json, "penColor", std::int64_t{b.penColor});
    Field(json, "penWidth", std::int64_t{b.penWidth});
    Field(json, "layer", std::int64_t{b.layer});
    Field(json, "layerGroup", std::int64_t{b.layerGroup});
    Field(json, "flags", std::int64_t{b.flags});
    json.EndObject();
}

void Write(JsonOut &json, const TclpEntSen &r) {
    json.BeginObject();
    WriteBase(json, r.base);
    Field(json, "startX", r.startX);
    Field(json, "startY", r.startY);
    Field(json, "endX", r.endX);
    Field(json, "endY", r.endY);
    json.EndObject();
}

void Write(JsonOut &json, const TclpEntEnko &r) {
    json.BeginObject();
    WriteBase(json, r.base);
    Field(json, "centerX", r.centerX);
    Field(json, "centerY", r.centerY);
    Field(json, "radius", r.radius);
    Field(json, "startAngle", r.startAngle);
    Field(json, "arcAngle", r.arcAngle);
    Field(json, "tiltAngle", r.tiltAngle);
    Field(json, "flatness", r.flatness);
    Field(json, "fullCircle", std::int64_t{r.fullCircle});
    json.EndObject();
}

void Write(JsonOut &json, const TclpEntTen &r) {
    json.BeginObject();
    WriteBase(json, r.base);
    Field(json, "x", r.x);
    Field(json, "y", r.y);
    Field(json, "temporary", std::int64_t{r.temporary});
    Field(json, "code", std::int64_t{r.code});
    Field(json, "rotation", r.rotation);
    Field(json, "scale", r.scale);
    json.EndObject();
}

void Write(JsonOut &json, const TclpEntMoji &r) {
    json.BeginObject();
    WriteBase(json, r.base);
    Field(json, "startX", r.startX);
    Field(json, "startY", r.startY);
    Field(json, "endX", r.endX);
    Field(json, "endY", r.endY);
    Field(json, "textType", std::int64_t{r.textType});
    Field(json, "sizeX", r.sizeX);
    Field(json, "sizeY", r.sizeY);
    Field(json, "spacing", r.spacing);
    Field(json, "angle", r.angle);
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
    Field(json, "sxfMode", std::int64_t{r.sxfMode});
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
    Field(json, "x1", r.x1);
    Field(json, "y1", r.y1);
    Field(json, "x2", r.x2);
    Field(json, "y2", r.y2);
    Field(json, "x3", r.x3);
    Field(json, "y3", r.y3);
    Field(json, "x4", r.x4);
    Field(json, "y4", r.y4);
    Field(json, "color", std::int64_t{r.color});
    json.EndObject();
}

void Write(JsonOut &json, const TclpEntBlock &r) {
    json.BeginObject();
    WriteBase(json, r.base);
    Field(json, "x", r.x);
    Field(json, "y", r.y);
    Field(json, "scaleX", r.scaleX);
    Field(json, "scaleY", r.scaleY);
    Field(json, "angle", r.angle);
    Field(json, "number", std::int64_t{r.number});
    json.EndObject();
}

void Write(JsonOut &json, const TclpEntBlockDef &def);

template <class Rec>
void WriteArray(JsonOut &json, const char *name, const std::vector<Rec> &records) {
    json.Key(name);
    json.BeginArray();
    for (const Rec &r : records) {
        json.Newline();
        Write(json, r);
    }
    json.EndArray();
}

void WriteObjects(JsonOut &json, const std::vector<ObjectRef> &objects) {
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

void WriteKindArrays(JsonOut &json, const EntityArrays &a) {
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
    Field(json, "number", std::int64_t{def.number});
    Field(json, "referenced", std::int64_t{def.referenced});
    Field(json, "stamp", std::int64_t{def.stamp});
    TextField(json, "name", def.name);
    Field(json, "entityCount", std::int64_t{def.entityCount});
    WriteObjects(json, def.objects);
    WriteKindArrays(json, def);
    json.EndObject();
}

}  // namespace

void WriteStoreJson(JsonOut &json, const DrawingStore &store, bool complete) {
    json.BeginObject();
    json.Key("complete");
    json.Bool(complete);
    Field(json, "version", std::int64_t{store.version});
    Field(json, "originX", store.originX);
    Field(json, "originY", store.originY);
    json.Key("layerGroupScales");
    json.BeginArray();
    for (const double scale : store.layerGroupScales) json.Number(scale);
    json.EndArray();
    Field(json, "objectCount", std::int64_t{store.objectCount});
    json.Newline();
    WriteObjects(json, store.objects);
    WriteKindArrays(json, store);
    WriteArray(json, "blockDefs", store.blockDefs);
    json.EndObject();
    json.Newline();
}

}  // namespace korvel
