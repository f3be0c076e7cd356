// corvalt-cli map and span, run as the program: the contract's example as
// JSON and CSV, one field at a time, every refusal of a bad model, and the
// plan a cross section's line makes along a route.
#include "CliRun.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using corvalt::testing::Sample;
using corvalt::testing::Slurp;
using corvalt::testing::TRun;
using nlohmann::json;

namespace {

// The model of the field-map contract's example.
const std::string kExample = R"({
  "format": "corvalt-map/1",
  "name": "Corner structure 14",
  "units": "metric",
  "conductors": [
    { "id": "1A", "type": "phase", "ac": true, "kv": 230, "angle_deg": 0,
      "current_a": 1000, "diameter": 28.14, "subconductors": 1, "spacing": 0,
      "path": [[-300, 0, 12.0], [0, 0, 12.0], [212, 212, 12.0]] },
    { "id": "G1", "type": "ground", "diameter": 9.5,
      "span": { "from": [-300, 0, 30.0], "to": [0, 0, 30.0], "sag": 6.0 } }
  ],
  "grid": { "x0": -100, "x1": 100, "y0": -100, "y1": 100, "step": 1.0, "height": 1.0 },
  "footprints": [ { "name": "House 12", "polygon": [[30, 40], [45, 40], [45, 52], [30, 52]] } ]
})";

// The text with its first occurrence of from replaced by to.
std::string Changed(const std::string& from, const std::string& to,
                    std::string text = kExample) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

class MapCommand : public corvalt::testing::TCliTest {
  protected:
    std::string Model(const std::string& text, const std::string& name = "model.json") {
        std::ofstream(PathOf(name)) << text;
        return "'" + PathOf(name) + "'";
    }
};

// The house lies under the line's diagonal leg, 11 m below the phase, far
// from the corner and the ground wire: close to a straight line's fields,
// B = μ0 I ÷ (2π · 11 m) = 181.8 mG and, with q = V ÷ (k ln(2h ÷ r)),
// E = k q (1 ÷ 11 m + 1 ÷ 13 m) = 132.79 kV · 0.16783 ÷ ln(24 ÷ 0.01407)
//   = 2.995 kV/m.
TEST_F(MapCommand, TheContractsExamplePrintsTheResultItDescribes) {
    const TRun run = Run("map " + Model(kExample));
    ASSERT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(run.Err, "");
    const json result = json::parse(run.Out);
    EXPECT_EQ(result["format"], "corvalt-mapresult/1");
    EXPECT_EQ(result["name"], "Corner structure 14");
    EXPECT_EQ(result["units"], "metric");
    ASSERT_EQ(result["grid"]["x"].size(), 201u);
    ASSERT_EQ(result["grid"]["y"].size(), 201u);
    EXPECT_EQ(result["grid"]["x"][0], -100);
    EXPECT_EQ(result["grid"]["y"][200], 100);
    EXPECT_EQ(result["grid"]["height"], 1);
    for (const char* key : {"e_kv_m", "e_resultant_kv_m", "b_mg", "b_resultant_mg"}) {
        SCOPED_TRACE(key);
        ASSERT_EQ(result[key].size(), 201u);
        for (const json& row : result[key])
            ASSERT_EQ(row.size(), 201u);
    }
    // Row j is y[j], element i is x[i]: the largest E where max says it is.
    const json& maxE = result["max"]["e_kv_m"];
    const int i = static_cast<int>(maxE["x"].get<double>()) + 100;
    const int j = static_cast<int>(maxE["y"].get<double>()) + 100;
    EXPECT_EQ(result["e_kv_m"][j][i], maxE["value"]);
    ASSERT_EQ(result["footprints"].size(), 1u);
    const json& house = result["footprints"][0];
    EXPECT_EQ(house["name"], "House 12");
    EXPECT_NEAR(house["b_mg"]["value"].get<double>(), 181.8, 0.01 * 181.8);
    EXPECT_NEAR(house["e_kv_m"]["value"].get<double>(), 2.995, 0.01 * 2.995);
    EXPECT_GE(maxE["value"].get<double>(), house["e_kv_m"]["value"].get<double>());

    // The same values as CSV: a header and one row per grid point.
    const TRun csv = Run("map " + Model(kExample) + " --csv '" + PathOf("map.csv") + "'");
    ASSERT_EQ(csv.Exit, 0) << csv.Err;
    EXPECT_EQ(csv.Out, "");
    std::istringstream lines(Slurp(PathOf("map.csv")));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "x (m),y (m),E (kV/m),E resultant (kV/m),B (mG),B resultant (mG)\r");
    int rows = 0;
    while (std::getline(lines, line)) {
        if (rows == 201 * 3 + 7) { // x = −93, y = −97
            EXPECT_EQ(line, "-93,-97," + result["e_kv_m"][3][7].dump() + "," +
                                result["e_resultant_kv_m"][3][7].dump() + "," +
                                result["b_mg"][3][7].dump() + "," +
                                result["b_resultant_mg"][3][7].dump() + "\r");
        }
        ++rows;
    }
    EXPECT_EQ(rows, 201 * 201);
}

TEST_F(MapCommand, OneQuantityLeavesTheOtherNull) {
    const json both = json::parse(Run("map " + Model(kExample)).Out);
    const TRun run = Run("map " + Model(kExample) + " --quantity b");
    ASSERT_EQ(run.Exit, 0) << run.Err;
    const json b = json::parse(run.Out);
    EXPECT_TRUE(b["e_kv_m"].is_null() && b["e_resultant_kv_m"].is_null());
    EXPECT_TRUE(b["max"]["e_kv_m"].is_null() && b["footprints"][0]["e_kv_m"].is_null());
    EXPECT_EQ(b["b_mg"], both["b_mg"]);
    EXPECT_EQ(b["max"]["b_mg"], both["max"]["b_mg"]);
    const json e = json::parse(Run("map " + Model(kExample) + " --quantity e").Out);
    EXPECT_TRUE(e["b_mg"].is_null());
    EXPECT_EQ(e["e_kv_m"], both["e_kv_m"]);
}

// Every refusal the contract lists exits 2 with a message naming the
// conductor or the key at fault.
TEST_F(MapCommand, BadModelsExitTwoNamingTheConductorOrKey) {
    struct TCase {
        std::string Model;
        std::string Named;
    };
    const std::vector<TCase> cases = {
        {Changed(R"("kv": 230, )", ""), R"(conductor "1A": missing key "kv")"},
        {Changed(R"("grid": {)", R"("grid": { "z": 1,)"), R"(grid: unknown key "z")"},
        {Changed(R"("kv": 230)", R"("kvv": 1, "kv": 230)"), R"(conductor "1A": unknown key "kvv")"},
        {Changed(R"("kv": 230)", R"("kv": 1e400)"), "conductors[0].kv"},
        {Changed(R"([[-300, 0, 12.0], [0, 0, 12.0], [212, 212, 12.0]])", R"([[-300, 0, 12.0]])"),
         R"(conductor "1A": a path needs two points or more)"},
        {Changed(R"([0, 0, 12.0], [212)", R"([0, 0, 12.0], [0, 0, 12.0], [212)"),
         R"(conductor "1A": the piece from point 2 to point 3 has no length)"},
        {Changed(R"([0, 0, 12.0], [212)", R"([0, 0, 0], [212)"),
         R"(conductor "1A": point 2 is at or below ground)"},
        {Changed(R"("sag": 6.0)", R"("sag": -1)"), R"(conductor "G1": sag must not be negative)"},
        {Changed(R"("sag": 6.0)", R"("sag": 30)"),
         R"(conductor "G1": sag: puts the span at or below ground)"},
        {Changed(R"("to": [0, 0, 30.0])", R"("to": [0, 0, 12.0])"),
         R"(conductors "1A" and "G1": their surfaces meet)"},
        {Changed(R"([[30, 40], [45, 40], [45, 52], [30, 52]])", R"([[30, 40], [45, 40]])"),
         R"(footprint "House 12": fewer than three corners)"},
        {Changed(R"("step": 1.0)", R"("step": 0.09)"), "grid: more than 4,000,000 grid points"},
        // 1.5 cm above the ground grid: pieces of 1.2 cm over 300 m.
        {Changed(R"([[-300, 0, 12.0], [0, 0, 12.0], [212, 212, 12.0]])",
                 R"([[-100, 0, 0.015], [100, 0, 0.015], [100, 100, 0.015]])",
                 Changed(R"("height": 1.0)", R"("height": 0)")),
         R"(conductor "1A": more than 20,000 pieces after subdivision)"},
        {Changed(R"("type": "ground")", R"("type": "earth")"), R"(conductor "G1": type: must be)"},
        {Changed(R"("units": "metric")", R"("units": "imperial")"), "units: must be"},
        {Changed(R"("id": "G1")", R"("id": "1A")"), R"(two conductors have the id "1A")"},
        {Changed(R"("kv": 230)", R"("kv": 230, "kv": 231)"), "conductors[0].kv: the key is given twice"},
        {"[1, 2", "not valid JSON"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Named);
        const TRun run = Run("map " + Model(c.Model));
        EXPECT_EQ(run.Exit, 2);
        EXPECT_NE(run.Err.find(c.Named), std::string::npos) << run.Err;
        EXPECT_TRUE(run.Out.empty());
    }
    EXPECT_EQ(Run("map " + Model(kExample) + " --quantity x").Exit, 2);
    EXPECT_EQ(Run("map " + Model(kExample) + " --out map.txt").Exit, 2);
    EXPECT_EQ(Run("map '" + PathOf("missing.json") + "'").Exit, 2);
}

// A cross section's line along a route with a corner: the printed model maps,
// every conductor a span per structure gap, at the sample's units.
TEST_F(MapCommand, SpanPrintsAModelThatMaps) {
    const std::string sample = "'" + Sample("sample-metric.emf") + "'";
    const TRun span = Run("span " + sample + " --route '0,0;300,0;500,200' --sag 4 --span-length 150");
    ASSERT_EQ(span.Exit, 0) << span.Err;
    const json model = json::parse(span.Out);
    EXPECT_EQ(model["format"], "corvalt-map/1");
    EXPECT_EQ(model["units"], "metric");
    ASSERT_FALSE(model["conductors"].empty());
    // Legs of 300 m and 283 m in spans of at most 150 m: 4 spans per conductor.
    EXPECT_EQ(model["conductors"].size() % 4, 0u);
    const json& first = model["conductors"][0];
    EXPECT_EQ(first["span"]["sag"], 4);
    EXPECT_EQ(first["span"]["to"][0].get<double>() - first["span"]["from"][0].get<double>(), 150);
    std::ofstream(PathOf("line.json")) << span.Out;
    const TRun map = Run("map '" + PathOf("line.json") + "' --quantity b");
    EXPECT_EQ(map.Exit, 0) << map.Err;

    const TRun only = Run("span " + sample + " --route '0,0;300,0' --sag 4 --spans-only");
    ASSERT_EQ(only.Exit, 0) << only.Err;
    EXPECT_EQ(json::parse(only.Out), json::parse(Run("span " + sample +
                                                     " --route '0,0;300,0' --sag 4").Out)["conductors"]);
    for (const std::string bad : {"--route '0,0' --sag 4", "--route '0,0;0,0' --sag 4",
                                  "--route '0,0;1,x' --sag 4", "--route '0,0;100,0' --sag -1",
                                  "--route '0,0;100,0'", "--route '0,0;100,0' --sag 1 --section 9"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(Run("span " + sample + " " + bad).Exit, 2);
    }
}

// The English sample's first line strung straight for over 11 miles with no
// sag: at mid-span, across the line, the map gives the fields the cross
// section's profile gives at the same distances (the ends are 30,000 ft away,
// where a line's field has long faded).
TEST_F(MapCommand, AStraightLineShowsItsCrossSectionsProfileAtMidSpan) {
    const std::string sample = "'" + Sample("sample-english.emf") + "'";
    const TRun span = Run("span " + sample + " --route '-30000,0;30000,0' --sag 0 --section 1");
    ASSERT_EQ(span.Exit, 0) << span.Err;
    json model = json::parse(span.Out);
    const double height = model["grid"]["height"];
    model["grid"] = {{"x0", 0}, {"x1", 0}, {"y0", -100}, {"y1", 100}, {"step", 1},
                     {"height", height}};
    std::ofstream(PathOf("straight.json")) << model.dump();
    const TRun map = Run("map '" + PathOf("straight.json") + "'");
    ASSERT_EQ(map.Exit, 0) << map.Err;
    const json result = json::parse(map.Out);
    const TRun compute = Run("compute " + sample);
    ASSERT_EQ(compute.Exit, 0) << compute.Err;
    const json profile = json::parse(compute.Out)["cross_sections"][0]["results"];
    int compared = 0;
    for (const json& record : profile) {
        // Right of the route, looking along it towards +x, is -y; the
        // profile's steps of 1 ft hold their sums in single precision.
        const double y = -record["dist"].get<double>();
        if (std::fabs(y) > 100 || std::fabs(y - std::round(y)) > 1e-3) continue;
        const auto j = static_cast<std::size_t>(std::lround(y + 100));
        ASSERT_EQ(result["grid"]["y"][j].get<double>(), std::round(y));
        const double e = record["e_max"], bMg = 1000 * record["b_max"].get<double>();
        EXPECT_NEAR(result["e_kv_m"][j][0].get<double>(), e, 1e-3 * e) << y;
        EXPECT_NEAR(result["b_mg"][j][0].get<double>(), bMg, 1e-3 * bMg) << y;
        ++compared;
    }
    EXPECT_GE(compared, 150);
}

} // namespace
