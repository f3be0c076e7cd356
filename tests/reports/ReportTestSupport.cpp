#include "ReportTestSupport.h"

#include "engine/PageCanvas.h"
#include "model/NewCircuit.h"

#include <gtest/gtest.h>

namespace corvalt::test {

std::unique_ptr<TEmfProject> MakeProject(int units) {
    auto project = std::make_unique<TEmfProject>();
    project->Units = static_cast<std::uint8_t>(units);
    project->Title = "Test Project";
    auto scenario = std::make_unique<TScenario>(*project);
    scenario->TabTitle = "North";
    scenario->Title = "North segment";
    scenario->SetDisplayRowLeft(50);
    scenario->SetDisplayRowRight(50);
    scenario->SetDisplayEFieldHeight(3.28f);
    scenario->SetDisplayBFieldHeight(3.28f);
    project->Scenarios.Add(std::move(scenario));
    return project;
}

TCircuit& AddLine(TScenario& scenario, const char* name, std::initializer_list<TPlace> places,
                  int grounds) {
    TNewCircuitValues values;
    values.Name = name;
    values.VoltageClass = 230;
    values.OverRateFactor = 1.05f;
    values.MaxVoltage = 241.5f;
    values.Mcr = 900;
    values.CondName = "Drake";
    values.CondDiameter = scenario.IsEnglish() ? 1.108f : 28.143f;
    values.SubCondCount = 2;
    values.BundleSpacing = 18;
    values.OhgwName = "3/8 EHS";
    values.OhgwDiameter = scenario.IsEnglish() ? 0.36f : 9.144f;
    values.Phases = {TPhaseRow{true, 1, 0}, TPhaseRow{true, 1, 120}, TPhaseRow{true, 1, 240}};
    values.Ground = {grounds > 0, grounds, 0};
    scenario.Circuits.Add(CreateNewCircuit(scenario, values));
    TCircuit& circuit = scenario.Circuits[scenario.Circuits.Count() - 1];
    int i = 0;
    for (const TPlace& place : places) {
        circuit.Conductors[i].SetDisplayHorizDistance(place.X);
        circuit.Conductors[i].SetDisplayHeight(place.Y);
        ++i;
    }
    return circuit;
}

void FillProfile(TScenario& scenario, int count, std::initializer_list<int> marked) {
    scenario.Results.clear();
    for (int i = 0; i < count; ++i) {
        TCalcResult result;
        result.Dist = static_cast<float>(i - 10);
        result.DistM = result.Dist;
        result.EMax = static_cast<float>(i) / 10;
        result.BMax = static_cast<float>(i) / 1000;
        result.AnRainL50 = 30.0f + static_cast<float>(i);
        result.AnFairL50 = 5.0f + static_cast<float>(i);
        result.RiRain = 50.0f + static_cast<float>(i);
        result.RiFair = 40.0f + static_cast<float>(i);
        result.TviRain = 20.0f + static_cast<float>(i);
        result.Ozone = static_cast<float>(i) / 1e5f;
        scenario.Results.push_back(result);
    }
    for (const int index : marked)
        scenario.Results.at(static_cast<std::size_t>(index)).IsMarked = 1;
}

TPageList RunReport(TReport& report) {
    report.SetToday(kReportDate);
    TPageCanvas canvas;
    const TRunResult run = canvas.Run(report.PageEvents());
    EXPECT_TRUE(run.Ok) << run.Error.toStdString();
    return canvas.TakePages();
}

std::vector<TTextCmd> TextsOf(const TPage& page, const QString& text) {
    std::vector<TTextCmd> found;
    for (const TTextCmd* run : page.Texts())
        if (run->Text == text) found.push_back(*run);
    return found;
}

TTextCmd OnlyText(const TPage& page, const QString& text) {
    const std::vector<TTextCmd> found = TextsOf(page, text);
    EXPECT_EQ(found.size(), 1u) << "text \"" << text.toStdString() << "\"";
    return found.empty() ? TTextCmd{} : found.front();
}

std::vector<TFillCmd> FillsAt(const TPage& page, double x, double y) {
    std::vector<TFillCmd> found;
    for (const TFillCmd& fill : CommandsOf<TFillCmd>(page))
        if (fill.Left <= x && x <= fill.Right && fill.Top <= y && y <= fill.Bottom)
            found.push_back(fill);
    return found;
}

} // namespace corvalt::test
