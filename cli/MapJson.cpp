#include "cli/MapJson.h"

#include "cli/Json.h"
#include "model/Units.h"

#include <cmath>

namespace corvalt::cli {

namespace {

using space::TFieldMap;
using space::TMapLayer;
using space::TMapPeak;

const char* UnitsWord(std::uint8_t units) {
    return units == English ? "english" : "metric";
}

void Point(TJsonWriter& json, const TPlanPoint& p) {
    json.BeginArray(TJsonLayout::Inline).Number(p.X).Number(p.Y).Number(p.Z).EndArray();
}

void WriteConductor(TJsonWriter& json, const TPlanConductor& c) {
    json.BeginObject(TJsonLayout::Inline);
    json.Key("id").String(c.Id);
    json.Key("type").String(c.IsGround ? "ground" : "phase");
    json.Key("ac").Bool(c.IsAc);
    // A ground conductor is at 0 V and a DC conductor has no angle: their keys
    // appear only when a plan holds something else, so that nothing is lost.
    if (!c.IsGround || c.Kv != 0) json.Key("kv").Number(c.Kv);
    if (c.IsAc || c.AngleDeg != 0) json.Key("angle_deg").Number(c.AngleDeg);
    json.Key("current_a").Number(c.CurrentA);
    json.Key("diameter").Number(c.Diameter);
    json.Key("subconductors").Integer(c.SubConductors);
    json.Key("spacing").Number(c.Spacing);
    if (c.Shape == TPlanShape::Path) {
        json.Key("path").BeginArray(TJsonLayout::Inline);
        for (const TPlanPoint& p : c.Points)
            Point(json, p);
        json.EndArray();
    } else {
        json.Key("span").BeginObject(TJsonLayout::Inline);
        json.Key("from");
        Point(json, c.Points.at(0));
        json.Key("to");
        Point(json, c.Points.at(1));
        json.Key("sag").Number(c.Sag);
        json.EndObject();
    }
    json.EndObject();
}

void WriteConductors(TJsonWriter& json, const TPlan& plan) {
    json.BeginArray();
    for (const TPlanConductor& c : plan.Conductors)
        WriteConductor(json, c);
    json.EndArray();
}

void WriteGrid(TJsonWriter& json, const TPlanGrid& g) {
    json.BeginObject(TJsonLayout::Inline);
    json.Key("x0").Number(g.X0).Key("x1").Number(g.X1);
    json.Key("y0").Number(g.Y0).Key("y1").Number(g.Y1);
    json.Key("step").Number(g.Step).Key("height").Number(g.Height);
    json.EndObject();
}

void WriteFootprints(TJsonWriter& json, const TPlan& plan) {
    json.BeginArray();
    for (const TFootprint& f : plan.Footprints) {
        json.BeginObject(TJsonLayout::Inline).Key("name").String(f.Name);
        json.Key("polygon").BeginArray(TJsonLayout::Inline);
        for (const TPlanCorner& c : f.Corners)
            json.BeginArray(TJsonLayout::Inline).Number(c.X).Number(c.Y).EndArray();
        json.EndArray().EndObject();
    }
    json.EndArray();
}

void WriteAxis(TJsonWriter& json, const std::vector<float>& axis) {
    json.BeginArray(TJsonLayout::Inline);
    for (const float v : axis)
        json.Number(v);
    json.EndArray();
}

// One array per grid line, or null for a quantity not computed.
void WriteLayer(TJsonWriter& json, const TMapLayer& layer, const TFieldMap& map) {
    if (!layer.Computed()) {
        json.Null();
        return;
    }
    json.BeginArray();
    const std::size_t columns = map.X.size();
    for (std::size_t j = 0; j < map.Y.size(); ++j) {
        json.BeginArray(TJsonLayout::Inline);
        for (std::size_t i = 0; i < columns; ++i)
            json.Number(layer.Values()[j * columns + i]); // NaN: null
        json.EndArray();
    }
    json.EndArray();
}

void WritePeak(TJsonWriter& json, const std::optional<TMapPeak>& peak) {
    if (!peak) {
        json.Null();
        return;
    }
    json.BeginObject(TJsonLayout::Inline);
    json.Key("value").Number(peak->Value).Key("x").Number(peak->X).Key("y").Number(peak->Y);
    json.EndObject();
}

} // namespace

void WriteMapModelJson(std::ostream& out, const TPlan& plan, bool spansOnly) {
    TJsonWriter json(out);
    if (spansOnly) {
        WriteConductors(json, plan);
        json.Finish();
        return;
    }
    json.BeginObject();
    json.Key("format").String(kMapModelFormat);
    json.Key("name").String(plan.Name);
    json.Key("units").String(UnitsWord(plan.Units));
    json.Key("conductors");
    WriteConductors(json, plan);
    json.Key("grid");
    WriteGrid(json, plan.Grid);
    json.Key("footprints");
    WriteFootprints(json, plan);
    json.EndObject();
    json.Finish();
}

void WriteMapResultJson(std::ostream& out, const TFieldMap& map) {
    TJsonWriter json(out);
    json.BeginObject();
    json.Key("format").String("corvalt-mapresult/1");
    json.Key("name").String(map.Name);
    json.Key("units").String(UnitsWord(map.Units));
    json.Key("pieces").Integer(static_cast<long long>(map.Pieces));
    json.Key("grid").BeginObject();
    json.Key("x");
    WriteAxis(json, map.X);
    json.Key("y");
    WriteAxis(json, map.Y);
    json.Key("height").Number(map.Height);
    json.EndObject();
    json.Key("e_kv_m");
    WriteLayer(json, map.E, map);
    json.Key("e_resultant_kv_m");
    WriteLayer(json, map.EResultant, map);
    json.Key("b_mg");
    WriteLayer(json, map.B, map);
    json.Key("b_resultant_mg");
    WriteLayer(json, map.BResultant, map);
    json.Key("max").BeginObject(TJsonLayout::Inline);
    json.Key("e_kv_m");
    WritePeak(json, map.MaxE);
    json.Key("b_mg");
    WritePeak(json, map.MaxB);
    json.EndObject();
    json.Key("footprints").BeginArray();
    for (const space::TFootprintPeaks& f : map.Footprints) {
        json.BeginObject(TJsonLayout::Inline).Key("name").String(f.Name);
        json.Key("e_kv_m");
        WritePeak(json, f.E);
        json.Key("b_mg");
        WritePeak(json, f.B);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    json.Finish();
}

} // namespace corvalt::cli
