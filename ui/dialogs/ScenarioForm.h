#pragma once
// TScenarioForm ("CrossSection"): creates a cross section of a project or edits
// one: names, right of way, sensor heights and type on its first page, lengths
// in the project's length unit; the corona site parameters on the "Corona"
// page, in the project's display units (see SiteFields.h).
//
//   auto section = TScenarioForm::NewScenario(project, options, parent);
//       // OK: a new cross section of the project, not yet appended; Cancel: nullptr.
//       // Its site parameters start from the preferences' "Corona site" values.
//   bool ok = TScenarioForm::EditScenario(section, options, parent);
//       // OK stores Title, TabTitle, the ROW, the sensor heights, SectionType and
//       // the site parameters

#include "model/Scenario.h"

#include <QDialog>

#include <memory>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace corvalt {
class TEmfProject;
class TOptions;
} // namespace corvalt

namespace corvalt::ui {

class TNumberField;
class TRadioGroup;
class TSiteFields;

class TScenarioForm : public QDialog {
    Q_OBJECT
  public:
    // A new cross section of the project when scenario is nullptr, else an edit
    // of scenario (which belongs to the project).
    TScenarioForm(TEmfProject& project, TScenario* scenario, const TOptions& options,
                  QWidget* parent = nullptr);

    static std::unique_ptr<TScenario> NewScenario(TEmfProject& project, const TOptions& options,
                                                  QWidget* parent = nullptr);
    static bool EditScenario(TScenario& scenario, const TOptions& options,
                             QWidget* parent = nullptr);

    // Values to widgets and back, lengths in the project's unit.
    void ShowValues(const TScenario& scenario);
    void StoreValues(TScenario& scenario) const;

    // After OK in new mode: the cross section created (then owned by the caller).
    std::unique_ptr<TScenario> TakeNewScenario() { return std::move(created_); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void CreateControls();
    QWidget* CreateSectionPage();
    QWidget* CreateCoronaPage();
    QWidget* CreateRowGroup();
    QWidget* CreateSensorGroup();
    void ShowNewDefaults(const TOptions& options);
    // OK enabled only with a tab title and usable site parameters; the Corona
    // page's error line says what is wrong with them.
    void UpdateControls();
    void FormShow();
    void eTitleEnter();
    void eNameChange();
    void btOKClick();

    TEmfProject& project_;
    TScenario* scenario_; // nullptr: new cross section
    std::unique_ptr<TScenario> created_;

    QLineEdit* eTitle_ = nullptr;
    QLineEdit* eTabTitle_ = nullptr;
    TNumberField* eRowLeft_ = nullptr;
    TNumberField* eRowRight_ = nullptr;
    TNumberField* eMagnField_ = nullptr;
    TNumberField* eElectrField_ = nullptr;
    TRadioGroup* rgType_ = nullptr;
    TSiteFields* site_ = nullptr;
    QLabel* lbSiteError_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

} // namespace corvalt::ui
