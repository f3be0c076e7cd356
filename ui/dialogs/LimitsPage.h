#pragma once
// The preferences dialog's "Limits" page: the field limits table as a grid of
// number fields, one row per limit class and one column per limit (E within
// the ROW, E at the ROW edge in kV/m, B at the ROW edge in mG), with "Restore
// Defaults". An empty field means that no limit applies there.
//
//   page.ShowLimits(options.FieldLimits());       // value to widgets
//   if (auto problem = page.Problem()) refuse(*problem);
//   else options.SetFieldLimits(page.Limits());   // widgets to value

#include "model/FieldLimitTable.h"

#include <QWidget>

#include <array>
#include <optional>

class QPushButton;

namespace corvalt::ui {

class TNumberField;

class TLimitsPage : public QWidget {
    Q_OBJECT
  public:
    explicit TLimitsPage(QWidget* parent = nullptr);

    void ShowLimits(const TFieldLimits& limits);
    // The table as the fields hold it; a field whose number is not a usable
    // limit (see Problem) reads as no limit.
    TFieldLimits Limits() const;
    // Why the fields cannot be taken as they stand (a limit of 0, which an
    // empty field expresses as "no limit"); nullopt when they can.
    std::optional<QString> Problem() const;

    TNumberField& Field(TLimitClass limitClass, TLimitColumn column) const;
    QPushButton& RestoreButton() const { return *btRestore_; }

  private:
    void btRestoreClick();

    std::array<std::array<TNumberField*, kLimitColumnCount>, kLimitClassCount> fields_{};
    QPushButton* btRestore_ = nullptr;
};

} // namespace corvalt::ui
