#pragma once
// TEditPrjForm ("New Project" / "Edit Project"): the project information on four
// pages: title, engineer, construction date and units; PE and authorized agent;
// facility; and the transmission-line exemption notification (TLSA).
//
//   auto project = TEditPrjForm::NewProject(options, parent);
//       // OK: a new project with the confirmed values and no cross section; Cancel: nullptr
//   bool ok = TEditPrjForm::EditProject(project, options, parent);
//       // OK stores every field (texts right-trimmed, Units before LineLength,
//       // EntryDate and UpdateDate = today)

#include "model/Project.h"
#include "ui/dialogs/ContactPage.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace corvalt {
class TOptions;
}

namespace corvalt::ui {

class TNumberField;
class TRadioGroup;

class TEditPrjForm : public QDialog {
    Q_OBJECT
  public:
    enum class TMode { New, Edit };

    // New: shows the preferences' defaults and stores into project on OK (the
    // caller passes a fresh project). Edit: shows and stores the project.
    TEditPrjForm(TEmfProject& project, const TOptions& options, TMode mode,
                 QWidget* parent = nullptr);

    static std::unique_ptr<TEmfProject> NewProject(const TOptions& options,
                                                   QWidget* parent = nullptr);
    static bool EditProject(TEmfProject& project, const TOptions& options,
                            QWidget* parent = nullptr);

    // What a new project proposes: units, engineer, agent, PE and facility from
    // the preferences, construction date today, everything else empty.
    static TProjectInfo NewProjectDefaults(const TOptions& options);

    // Values to widgets (line length in the project's unit) and back.
    void ShowValues(const TProjectInfo& info);
    void StoreValues(TEmfProject& project) const;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void CreateControls(const TOptions& options);
    QWidget* CreateGeneralPage();
    QWidget* CreateFacilityPage();
    QWidget* CreateTlsaPage(const TOptions& options);
    void UpdateControls(); // OK only with a title
    void ApplyNotification(int choice);
    void FormShow();
    void eTitleChange();
    void rgUnitsClick(int units);
    void rgNotificationClick(int choice);
    void btOKClick();

    TEmfProject& project_;
    QDialogButtonBox* buttons_ = nullptr;
    QLineEdit* eTitle_ = nullptr;
    QLineEdit* eEngineerName_ = nullptr;
    QDateEdit* dtConstruction_ = nullptr;
    TRadioGroup* rgUnits_ = nullptr;
    TContactPage contacts_;
    QLineEdit* eFOwner_ = nullptr;
    QLineEdit* eFAddress_ = nullptr;
    QLineEdit* eCounties_ = nullptr;
    QLineEdit* eCities_ = nullptr;
    QComboBox* cbVoltage_ = nullptr;
    TNumberField* eLineLength_ = nullptr;
    QLabel* lbLineLength_ = nullptr;
    QCheckBox* cbLocMap_ = nullptr;
    QCheckBox* cbStructProfile_ = nullptr;
    QCheckBox* exemptions_[5] = {}; // cbLess15, cbOneCounty, cbExistingRow, cbDRIBind, cbDRIDev
    TRadioGroup* rgNotification_ = nullptr;
    QLineEdit* eNotifExplanation_ = nullptr;
    QLineEdit* eNotes_ = nullptr;
};

} // namespace corvalt::ui
