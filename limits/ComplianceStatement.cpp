#include "limits/ComplianceStatement.h"

#include "model/Project.h"

namespace corvalt {
namespace {

int DecimalsOf(const std::string& text) {
    const std::size_t dot = text.find('.');
    return dot == std::string::npos ? 0 : static_cast<int>(text.size() - dot - 1);
}

bool IsFieldRow(const TMaximaRow& row) {
    return row.Quantity == TMaximaQuantity::ElectricField ||
           row.Quantity == TMaximaQuantity::MagneticField;
}

TStatementRow StatementRow(const TMaximaRow& row, TLimitClass limitClass) {
    TStatementRow line;
    line.What = row.QuantityText + " " + row.PlaceText;
    line.Unit = row.Unit;
    line.Limit = row.LimitText;
    line.LimitClass = LimitClassShortText(limitClass);
    line.Status = row.Status;
    if (!row.Value) {
        line.Value = "not computed";
        return line;
    }
    line.Value = row.ValueText;
    // The margin shows as many decimals as the value, so that a value shown
    // over its limit never has a margin of "0.00".
    const float margin =
        static_cast<float>(static_cast<double>(*row.Limit) - static_cast<double>(*row.Value));
    line.Margin = LimitValueText(margin, std::nullopt, DecimalsOf(row.ValueText));
    return line;
}

} // namespace

std::string ComplianceVerdict(int count, int over, int notComputed) {
    if (count == 0) return "No limit applies to these values.";
    // "k of n values": the noun follows n, the verb and pronoun follow k.
    const std::string of = " of " + std::to_string(count) + (count == 1 ? " value" : " values");
    std::string verdict;
    if (over > 0)
        verdict = std::to_string(over) + of +
                  (over == 1 ? " is over its limit." : " are over their limits.");
    if (notComputed > 0) {
        if (!verdict.empty()) verdict += " ";
        verdict += std::to_string(notComputed) + of +
                   " could not be computed and cannot be shown to keep within " +
                   (notComputed == 1 ? "its limit." : "their limits.");
    }
    if (!verdict.empty()) return verdict;
    return count == 1 ? "The value is within its limit."
                      : "All " + std::to_string(count) + " values are within the limits.";
}

const char* LimitClassShortText(TLimitClass limitClass) {
    switch (limitClass) {
    case TLimitClass::Line230:
        return "230 kV line";
    case TLimitClass::Line500:
        return "500 kV line";
    case TLimitClass::Line500Double:
        return "500 kV double circuit";
    case TLimitClass::Substation:
        break;
    }
    return "substation";
}

std::string LimitsSourceText(const TFieldLimits& limits, TLimitClass limitClass) {
    const std::string source =
        limits == DefaultFieldLimits()
            ? "the Florida standards for new and modified facilities (Chapter 62-814, F.A.C.)"
            : "the field limits set in the preferences (they differ from the Florida standards)";
    return "Limits: " + source + ", for " + LimitClassText(limitClass) + ".";
}

TComplianceStatement ComplianceStatementOf(const TScenario& scenario, const TFieldLimits& limits) {
    const TMaximaSummary summary = MaximaSummaryOf(scenario, limits);
    TComplianceStatement statement;
    statement.Computed = summary.Computed;
    statement.CalcError = summary.CalcError;
    statement.Class = summary.Class;
    statement.Source = LimitsSourceText(limits, summary.Class);
    if (!summary.Computed) return statement;
    for (const TMaximaRow& row : summary.Rows) {
        if (!IsFieldRow(row) || !row.Limit) continue;
        statement.Rows.push_back(StatementRow(row, summary.Class));
        if (row.Status == TLimitStatus::Over) ++statement.Over;
        if (row.Status == TLimitStatus::NotComputed) ++statement.NotComputed;
    }
    statement.Verdict = ComplianceVerdict(static_cast<int>(statement.Rows.size()), statement.Over,
                                          statement.NotComputed);
    return statement;
}

} // namespace corvalt
