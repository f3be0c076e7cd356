#pragma once
// TPoiForm ("Point of Interest"): creates a point of interest of a cross section
// or edits one: its name and its distance from ROW left in the project's length
// unit.
//
//   auto point = TPoiForm::NewPoint(section, options, parent);
//       // OK: a new point of the cross section, not yet appended; Cancel: nullptr
//   bool ok = TPoiForm::EditPoint(point, options, parent);
//       // OK stores Name and DistFromRowLeft; false at once when point is nullptr

#include "model/InterestPoint.h"

#include <QDialog>

#include <memory>

class QDialogButtonBox;
class QLineEdit;

namespace corvalt {
class TOptions;
class TScenario;
} // namespace corvalt

namespace corvalt::ui {

class TNumberField;

class TPoiForm : public QDialog {
    Q_OBJECT
  public:
    // A new point of the cross section when point is nullptr, else an edit of point.
    TPoiForm(TScenario& scenario, TInterestPoint* point, const TOptions& options,
             QWidget* parent = nullptr);

    static std::unique_ptr<TInterestPoint> NewPoint(TScenario& scenario, const TOptions& options,
                                                    QWidget* parent = nullptr);
    static bool EditPoint(TInterestPoint* point, const TOptions& options,
                          QWidget* parent = nullptr);

    void ShowValues(const TInterestPoint& point);
    void StoreValues(TInterestPoint& point) const;
    std::unique_ptr<TInterestPoint> TakeNewPoint() { return std::move(created_); }

  private:
    void CreateControls();
    void btOKClick();

    TScenario& scenario_;
    TInterestPoint* point_;
    std::unique_ptr<TInterestPoint> created_;
    QLineEdit* eName_ = nullptr;
    TNumberField* eDist_ = nullptr;
};

} // namespace corvalt::ui
