#pragma once
// The results view's table of maxima (limits/MaximaSummary.h): one row per
// value with its place, unit, limit and status; a value over its limit is
// marked with a red background and the status "over", a value that cannot be
// shown to hold with an amber one.

#include <QTableWidget>

namespace corvalt {
struct TFieldLimits;
struct TMaximaSummary;
class TScenario;
} // namespace corvalt::ui

namespace corvalt::ui {

class TMaximaTable : public QTableWidget {
    Q_OBJECT
  public:
    enum TColumn { ColQuantity = 0, ColPlace, ColValue, ColUnit, ColLimit, ColStatus, ColCount };

    explicit TMaximaTable(QWidget* parent = nullptr);

    // The rows of a computed cross section against the limits table.
    void ShowScenario(const TScenario& scenario, const TFieldLimits& limits);
    // The rows of a summary; one that was not computed shows a single row
    // saying why.
    void ShowSummary(const TMaximaSummary& summary);
    // No rows.
    void Clear();
};

} // namespace corvalt::ui
