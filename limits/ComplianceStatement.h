#pragma once
// The compliance statement of one computed cross section: every field value
// the limits speak about (the checks of the maxima table, MaximaSummary.h)
// with its limit, the limit's class, the margin and the verdict, and the
// sentence that says whether the cross section keeps within its limits and
// whose limits they are. Texts ready to print; no Qt.

#include "limits/MaximaSummary.h"

#include <string>
#include <vector>

namespace corvalt {

struct TStatementRow {
    std::string What;       // "Electric field at the left ROW edge (-25.0 m)"
    std::string Value;      // "6.88"; "not computed" without a value
    std::string Limit;      // "2"
    std::string Unit;       // "kV/m", "mG"
    std::string LimitClass; // "500 kV line"
    std::string Margin;     // limit − value, "-4.88" when over; empty without a value
    TLimitStatus Status = TLimitStatus::Within;
};

struct TComplianceStatement {
    // False when the cross section could not be computed; CalcError says why.
    bool Computed = false;
    std::string CalcError;
    TLimitClass Class = TLimitClass::Line230;
    std::vector<TStatementRow> Rows; // the values a limit applies to, in check order
    int Over = 0;                    // rows over their limits
    int NotComputed = 0;             // rows whose value could not be computed
    // "All 6 values are within the limits." or "2 of 6 values are over their
    // limits." (with what could not be computed said too).
    std::string Verdict;
    // Whose limits, for which class: "Limits: the Florida standards ... for
    // 500 kV transmission lines."
    std::string Source;
};

// The statement of a cross section as its last computation left it, against
// the limits table in use.
TComplianceStatement ComplianceStatementOf(const TScenario& scenario, const TFieldLimits& limits);

// The verdict for `over` and `notComputed` of `count` values.
std::string ComplianceVerdict(int count, int over, int notComputed);

// The class as a table cell names it: "230 kV line", "500 kV line", "500 kV
// double circuit", "substation".
const char* LimitClassShortText(TLimitClass limitClass);

// Names the limits: the Florida standards when the table is the default one,
// else the limits set in the preferences; then the class they are taken for.
std::string LimitsSourceText(const TFieldLimits& limits, TLimitClass limitClass);

} // namespace corvalt
