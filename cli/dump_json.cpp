// The drawing store as JSON, the output of `korvel-cli dump`.
#include "cli/dump_json.h"

#include <initializer_list>
#include <type_traits>
#include <utility>

#include "geom/cp932.h"
#include "reader/record_fields.h"

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
    ForEachHeaderField(b, kEveryFieldVersion, [&](const char *name, const auto &field, bool) {
        json.Key(name);
        json.Integer(field);
    });
    json.EndObject();
}

// A record with a body of fields: its header, then every field of its list by name, whether a stream
// stores it or not.
template <class Record>
void Write(JsonOut &json, const Record &r) {
    json.BeginObject();
    WriteBase(json, r.base);
    ForEachField(r, [&](const char *name, const auto &field, bool) {
        using Field = std::remove_cvref_t<decltype(field)>;
        json.Key(name);
        if constexpr (std::is_floating_point_v<Field>) json.Number(field);
        else if constexpr (std::is_integral_v<Field>) json.Integer(field);
        else json.String(Cp932ToUtf8(field));
    });
    json.EndObject();
}

void Write(JsonOut &json, const TclpEntSunpo &r) {
    json.BeginObject();
    WriteBase(json, r.base);
    ForEachPart(r, kEveryFieldVersion, [&](const char *name, const auto &part, bool) {
        json.Key(name);
        if constexpr (std::is_arithmetic_v<std::remove_cvref_t<decltype(part)>>) json.Integer(part);
        else Write(json, part);
    });
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
