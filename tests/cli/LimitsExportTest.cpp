// corvalt-cli check --limits and export --csv, run as the program: the exit
// codes of a line over and within its limits, the limits table of --ini, and
// the CSV's values against compute's JSON for every sample.
#include "CliRun.h"
#include "model/Project.h"
#include "tests/compute/LineBuilder.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <charconv>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

using namespace corvalt;
using corvalt::testing::Sample;
using corvalt::testing::TRun;

namespace {

class LimitsCommand : public corvalt::testing::TCliTest {
  protected:
    // One conductor 11 m above ground at x = 0 (230 kV, 25.4 mm), a ROW of
    // ±15 m, sensors 1 m above ground, a house at 30 m; English units.
    //
    // Electric field: q ÷ 2πε0 = (230 ÷ √3) ÷ ln(2 × 11 ÷ 0.0127) = 132.8 ÷ 7.457
    // = 17.81 kV; at (x, 1 m) E = 17.81 × |(x, −10) ÷ (x² + 100) − (x, 12) ÷
    // (x² + 144)|: 3.27 kV/m under the line (x = 0, the largest; limit 8) and
    // 1.13 kV/m at the edges (x = ±15; limit 2).
    // Magnetic field: μ0 I ÷ 2πr = 2 I ÷ r mG (I in A, r in m); at the edges
    // r = √(15² + 10²) = 18.03 m: 1500 A give 166.4 mG, over the 150 mG of
    // lines of 230 kV and less, within the 200 mG of the 500 kV class;
    // 1000 A give 110.9 mG. At the house r = √(30² + 10²) = 31.6 m: 94.9 mG.
    std::string SaveLine(const std::string& name, float amperes, float voltageClass = 230,
                         float rowLeftM = 15) {
        TEmfProject project;
        project.Units = English;
        TScenario& scenario = corvalt::testing::AddScenario(project, "North");
        scenario.RowLeft = rowLeftM;
        scenario.RowRight = 15;
        TCircuit& circuit = corvalt::testing::AddCircuit(scenario);
        circuit.VoltageClass = voltageClass;
        corvalt::testing::AddConductor(
            circuit, {.X = 0, .Y = 11, .VoltageKv = 230, .CurrentA = amperes, .Id = "1A1"});
        corvalt::testing::AddInterestPoint(scenario, "House", 30);
        const std::string path = PathOf(name);
        EXPECT_TRUE(project.Save(path).Ok);
        return path;
    }

    std::string WriteIni(const std::string& text) {
        const std::string path = PathOf("limits.INI");
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

TEST_F(LimitsCommand, ALineOverItsLimitFailsWithOneFindingPerValue) {
    const std::string over = SaveLine("over.emf", 1500);
    const std::string ini = "--ini '" + WriteIni("") + "'";
    const TRun run = Run("check '" + over + "' --limits " + ini);
    EXPECT_EQ(run.Exit, 1) << run.Err;
    const std::vector<std::string> lines = Lines(run.Out);
    // The data check's lines, then the limits' heading and the two edges.
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3], "Field limits");
    EXPECT_EQ(lines[lines.size() - 2],
              "  Cross section 'North': the magnetic field at the left ROW edge (-49.2 ft) is "
              "166.4 mG, over the limit of 150 mG for transmission lines of 230 kV and less.");
    EXPECT_EQ(lines.back(),
              "  Cross section 'North': the magnetic field at the right ROW edge (49.2 ft) is "
              "166.4 mG, over the limit of 150 mG for transmission lines of 230 kV and less.");
    // Without --limits only the data check counts.
    EXPECT_EQ(Run("check '" + over + "'").Exit, 0);
}

TEST_F(LimitsCommand, LinesWithinTheirLimitsPass) {
    const std::string ini = "--ini '" + WriteIni("") + "'";
    const TRun within = Run("check '" + SaveLine("within.emf", 1000) + "' --limits " + ini);
    EXPECT_EQ(within.Exit, 0) << within.Out << within.Err;
    EXPECT_NE(within.Out.find("Field limits\n  Every value is within its limit.\n"),
              std::string::npos);
    // The same 1500 A as a 500 kV class line: 166.4 mG is within 200 mG.
    EXPECT_EQ(Run("check '" + SaveLine("500.emf", 1500, 500) + "' --limits " + ini).Exit, 0);
}

TEST_F(LimitsCommand, TheLimitsTableOfThePreferencesFile) {
    const std::string over = SaveLine("over.emf", 1500);
    // 170 mG at the edge of lines of 230 kV and less: 166.4 mG holds.
    const std::string raised = WriteIni("[Limits]\nLine230=8,2,170\n");
    EXPECT_EQ(Run("check '" + over + "' --limits --ini '" + raised + "'").Exit, 0);
    // --ini belongs to --limits.
    EXPECT_EQ(Run("check '" + over + "' --ini '" + raised + "'").Exit, 2);
}

// ---- export --csv --------------------------------------------------------------

// The fields of a CSV text (RFC 4180: quoted fields, doubled quotes, CR LF).
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                rows.back().back() += text[++i];
            else if (c == '"')
                quoted = false;
            else
                rows.back().back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            if (i + 1 < text.size()) rows.emplace_back(1);
        } else {
            rows.back().back() += c;
        }
    }
    return rows;
}

std::optional<float> CsvFloat(const std::string& cell) {
    if (cell.empty()) return std::nullopt;
    float value = 0;
    const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
    EXPECT_TRUE(error == std::errc() && end == cell.data() + cell.size()) << cell;
    return value;
}

// A JSON number (shortest round-trip form of a float) as that float.
std::optional<float> JsonFloat(const QJsonValue& value) {
    if (value.isNull()) return std::nullopt;
    return static_cast<float>(value.toDouble());
}

// gauss to mG as the CSV defines it: the product with 1000 is exact in double
// (24 + 10 bits), then rounded once to float.
std::optional<float> Milligauss(const QJsonValue& gauss) {
    const std::optional<float> value = JsonFloat(gauss);
    if (!value) return std::nullopt;
    return static_cast<float>(static_cast<double>(*value) * 1000.0);
}

TEST_F(LimitsCommand, TheCsvHoldsComputesValuesForEverySample) {
    // The columns after the distance and the mark; the magnetic fields in mG.
    const char* keys[] = {"e_max",   "b_max",    "an_rain_l50", "an_fair_l50", "ri_rain",
                          "ri_fair", "tvi_rain", "ozone",       "e_resultant", "b_resultant"};
    for (const char* sample : {"sample-english.emf", "sample-metric.emf"}) {
        SCOPED_TRACE(sample);
        const TRun compute = Run("compute '" + Sample(sample) + "'");
        ASSERT_EQ(compute.Exit, 0) << compute.Err;
        const QJsonObject root =
            QJsonDocument::fromJson(QByteArray::fromStdString(compute.Out)).object();
        const bool english = root["project"]["units"].toString() == "English";
        const QJsonArray sections = root["cross_sections"].toArray();
        ASSERT_FALSE(sections.isEmpty());
        for (int s = 0; s < sections.size(); ++s) {
            SCOPED_TRACE(s);
            const QJsonObject section = sections[s].toObject();
            const std::string csv = PathOf("profile.csv");
            const TRun run = Run("export '" + Sample(sample) + "' --csv '" + csv + "' --section " +
                                 std::to_string(s + 1));
            ASSERT_EQ(run.Exit, 0) << run.Err;
            const auto rows = ParseCsv(corvalt::testing::Slurp(csv));
            const QJsonArray results = section["results"].toArray();
            ASSERT_EQ(rows.size(), static_cast<std::size_t>(results.size()) + 1);
            EXPECT_EQ(rows[0][0], english ? "Distance (ft)" : "Distance (m)");
            std::vector<std::string> marks(static_cast<std::size_t>(results.size()));
            marks[static_cast<std::size_t>(section["row_left_result"].toInt())] = "ROW left edge";
            marks[static_cast<std::size_t>(section["row_right_result"].toInt())] = "ROW right edge";
            for (const QJsonValue point : section["interest_points"].toArray())
                marks[static_cast<std::size_t>(point["result_index"].toInt())] =
                    point["name"].toString().toStdString();
            // The rows run from left to right; at one distance in the order of
            // the results.
            std::vector<int> order(static_cast<std::size_t>(results.size()));
            std::iota(order.begin(), order.end(), 0);
            std::stable_sort(order.begin(), order.end(), [&results](int a, int b) {
                return results[a]["dist"].toDouble() < results[b]["dist"].toDouble();
            });
            for (std::size_t n = 0; n < order.size(); ++n) {
                const int r = order[n];
                SCOPED_TRACE(r);
                const QJsonObject result = results[r].toObject();
                const std::vector<std::string>& row = rows[n + 1];
                ASSERT_EQ(row.size(), 12u);
                EXPECT_EQ(CsvFloat(row[0]), JsonFloat(result["dist"]));
                EXPECT_EQ(row[1], marks[static_cast<std::size_t>(r)]);
                for (std::size_t k = 0; k < std::size(keys); ++k) {
                    SCOPED_TRACE(keys[k]);
                    const QJsonValue value = result[keys[k]];
                    const bool magnetic = k == 1 || k == 9;
                    EXPECT_EQ(CsvFloat(row[k + 2]), magnetic ? Milligauss(value) : JsonFloat(value));
                }
            }
        }
    }
}

TEST_F(LimitsCommand, ExportRunsFromLeftToRightWithoutNegativeZero) {
    // A ROW whose left edge is the reference line: its record lies at -0 ft.
    // The regular steps run from -4 ft (the 4 ft margin) to 54 ft (49.2 + 4,
    // rounded up), one per foot; the house is at 30 m = 98.4 ft.
    const std::string line = SaveLine("line.emf", 1000, 230, 0);
    const std::string csv = PathOf("line.csv");
    ASSERT_EQ(Run("export '" + line + "' --csv '" + csv + "'").Exit, 0);
    const auto rows = ParseCsv(corvalt::testing::Slurp(csv));
    ASSERT_EQ(rows.size(), 1u + 3u + 59u); // header, edges and house, steps
    std::vector<std::string> firstCells;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        firstCells.push_back(rows[r][0]);
        if (r > 1) {
            EXPECT_LE(*CsvFloat(rows[r - 1][0]), *CsvFloat(rows[r][0])) << r;
        }
        for (const std::string& cell : rows[r])
            EXPECT_NE(cell, "-0") << r;
    }
    EXPECT_EQ(std::vector<std::string>(firstCells.begin(), firstCells.begin() + 6),
              (std::vector<std::string>{"-4", "-3", "-2", "-1", "0", "0"}));
    EXPECT_EQ(rows[5][1], "ROW left edge"); // before the step at the same place
    EXPECT_EQ(rows[6][1], "");
    EXPECT_EQ(rows.back()[0].substr(0, 4), "98.4");
    EXPECT_EQ(rows.back()[1], "House");
}

TEST_F(LimitsCommand, ExportExitCodes) {
    const std::string line = SaveLine("line.emf", 1000);
    const std::string csv = PathOf("out.csv");
    EXPECT_EQ(Run("export '" + line + "'").Exit, 2); // no --csv
    EXPECT_EQ(Run("export '" + line + "' --csv '" + csv + "' --section 2").Exit, 2);
    EXPECT_EQ(Run("export '" + line + "' --csv '" + PathOf("no/such/folder.csv") + "'").Exit, 2);

    // A cross section that cannot be computed: exit 1, the reason, no file.
    TEmfProject project;
    TCircuit& circuit =
        corvalt::testing::AddCircuit(corvalt::testing::AddScenario(project, "Broken"));
    corvalt::testing::AddConductor(circuit, {.X = 0, .Y = 11, .DiameterMm = 0, .VoltageKv = 230});
    const std::string broken = PathOf("broken.emf");
    ASSERT_TRUE(project.Save(broken).Ok);
    const TRun failed = Run("export '" + broken + "' --csv '" + csv + "'");
    EXPECT_EQ(failed.Exit, 1);
    EXPECT_NE(failed.Err.find("Cross section 'Broken' cannot be computed"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(csv));

    EXPECT_EQ(Run("export '" + line + "' --csv '" + csv + "'").Exit, 0);
    EXPECT_TRUE(std::filesystem::exists(csv));
}

} // namespace
