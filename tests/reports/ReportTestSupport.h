#pragma once
// Shared pieces of the report tests: small projects built as the dialogs build
// them, hand-filled profiles, running a report, and finding what it drew.

#include "engine/PageModel.h"
#include "model/Project.h"
#include "reports/Report.h"

#include <QDate>

#include <initializer_list>
#include <memory>
#include <vector>

namespace corvalt::test {

// The date the tests print in footers.
inline const QDate kReportDate{2024, 3, 5};

// A project in the units with one cross section ("North" / "North segment"),
// ROW 50 / 50 and sensors at 3.28 (display units).
std::unique_ptr<TEmfProject> MakeProject(int units);

// Appends a three-phase circuit with one conductor per phase and `grounds`
// ground wires, placed at the given display positions (x from the circuit
// reference, height), phases first.
struct TPlace {
    float X;
    float Y;
};
TCircuit& AddLine(TScenario& scenario, const char* name, std::initializer_list<TPlace> places,
                  int grounds = 0);

// Fills Results with `count` records: record i at Dist i − 10, EMax i / 10,
// BMax i / 1000 gauss and the corona values from i; the records listed in
// `marked` are marked.
void FillProfile(TScenario& scenario, int count, std::initializer_list<int> marked = {});

// Runs the report on a fresh canvas with the date fixed to kReportDate.
TPageList RunReport(TReport& report);

template <typename T> std::vector<T> CommandsOf(const TPage& page) {
    std::vector<T> found;
    for (const TPageCommand& command : page.Commands)
        if (const T* c = std::get_if<T>(&command)) found.push_back(*c);
    return found;
}

// The text runs of the page with exactly this text, in drawing order.
std::vector<TTextCmd> TextsOf(const TPage& page, const QString& text);
// The one run with this text; fails the test (and returns an empty run) when
// there is none or more than one.
TTextCmd OnlyText(const TPage& page, const QString& text);

// The fills whose rectangle contains the point.
std::vector<TFillCmd> FillsAt(const TPage& page, double x, double y);

} // namespace corvalt::test
