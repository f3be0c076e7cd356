#pragma once
// TOptionsForm ("Preferences"): every preference of TOptions on eight pages,
// chosen from a list of categories beside them: the defaults for new projects,
// new circuits and new cross sections (their corona site), the three libraries
// (voltage classes, conductor types, ground-wire types) with their editors
// (Add, Edit and Delete buttons beside each grid, the same commands as its
// popup menu), the general switches and the field limits. Library changes are
// made on the in-memory libraries while the dialog is open.
//
//   bool ok = TOptionsForm::Execute(options, parent);
//       // OK writes every scalar preference and the three libraries to the
//       // preferences file, and the field limits when they changed (a refused
//       // write is shown and the dialog stays open); Cancel reloads the three
//       // libraries from the file, dropping every change, and writes nothing.

#include "prefs/Options.h"
#include "ui/dialogs/ContactPage.h"
#include "ui/dialogs/LibraryEditors.h"
#include "ui/dialogs/LimitsPage.h"
#include "ui/dialogs/SiteFields.h"

#include <QDialog>

#include <array>
#include <string>

class QAction;
class QDialogButtonBox;
class QLineEdit;
class QCheckBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QStackedWidget;
class QTableWidget;
class QToolButton;

namespace corvalt::ui {

class TNumberField;
class TRadioGroup;

// The scalar preferences the dialog shows, as one plain value.
struct TPrefsValues {
    int MesUnits = 0; // 0 English, 1 Metric
    std::string FacName, FacAddr, EngineerName, FacCnt, FacCty;
    std::string AgentName, AgentAddress, AgentPhone;
    std::string PeName, PeAddress, PePhone;
    int PhaseAAngle = 0, PhaseBAngle = 120, PhaseCAngle = 240; // degrees
    bool EnterAsTab = true;
    int CsPrtOpt = 0;            // 0 all cross sections, 1 maximum readings only
    bool LimitsStatement = true; // the compliance report's field limits statement
    bool DetailsPlot = true;     // the EMF details report's profile plot page
    bool CoronaPlot = true;      // the corona report's plot page
    TSiteValues CoronaSite{};    // for new cross sections, stored units, 0 unset

    static TPrefsValues Read(const TOptions& options);
    // Writes every value; stops at the first write the system refuses and
    // returns its message.
    [[nodiscard]] TPrefsError Write(TOptions& options) const;
    bool operator==(const TPrefsValues&) const = default;
};

class TOptionsForm : public QDialog {
    Q_OBJECT
  public:
    explicit TOptionsForm(TOptions& options, QWidget* parent = nullptr);

    static bool Execute(TOptions& options, QWidget* parent = nullptr);

    // Values to widgets and back (the libraries are edited in place).
    void ShowValues(const TPrefsValues& values);
    TPrefsValues Values() const;

    // The library display unit: English (inches) or Metric (millimetres).
    int LibraryUnits() const { return libraryUnits_; }

    QTableWidget& Grid(TLibraryKind kind) const;
    // The popup menu prepared for a grid: its insert item, and its edit and
    // delete items when the library is not empty.
    QMenu& PopupFor(TLibraryKind kind);
    TLimitsPage& LimitsPage() const { return *limitsPage_; }

    // The library commands on the grid's current row (the row after the last
    // entry is the blank one): insert and edit open the editor.
    void InsertEntry(TLibraryKind kind);
    void EditEntry(TLibraryKind kind);
    void DeleteEntry(TLibraryKind kind);
    void MoveEntryUp(TLibraryKind kind);
    void MoveEntryDown(TLibraryKind kind);

    void reject() override; // Cancel and Escape reload the libraries

  private:
    void CreateControls();
    QWidget* CreateNewProjectsPage();
    QWidget* CreateNewCircuitsPage();
    QWidget* CreateNewSectionsPage();
    QWidget* CreateVoltagesPage();
    QWidget* CreateCondOhgwPage();
    QWidget* CreateGeneralPage();
    QTableWidget* CreateGrid(TLibraryKind kind, const char* name);
    void AddPage(QWidget* page, const QString& category);
    // Add, Edit, Delete and the two move arrows beside a grid ("bVoltAdd" ...
    // "bVoltDown" for prefix "bVolt"); the popup menu must exist.
    QWidget* LibraryButtons(TLibraryKind kind, const QString& prefix);
    // Edit and Delete act on an entry: not on the blank row.
    void UpdateLibraryButtons(TLibraryKind kind);
    void CreatePopup();
    void FillGrid(TLibraryKind kind);
    void FillGrids();
    // Runs action on the library of that kind (a TSafeList of its entries).
    template <class Action> void OnLibrary(TLibraryKind kind, Action action) const;
    int EntryCount(TLibraryKind kind) const;
    bool RunEditor(TLibraryKind kind, TLibraryEdit mode, int position);
    void SwapEntries(TLibraryKind kind, int a, int b);
    void SetCurrentRow(TLibraryKind kind, int row);
    void rgUnitsClick(int units);
    void UpdateControls(); // OK only with usable site values; the error line says why
    void sgContextPopup(TLibraryKind kind, const QPoint& position);
    bool MayDropUnreadableLines(); // asks when saving would drop unreadable library lines
    bool LimitsChanged() const;    // the Limits page differs from the file
    void btOKClick();

    TOptions& options_;
    int libraryUnits_ = English;
    QDialogButtonBox* buttons_ = nullptr;
    TRadioGroup* rgUnits_ = nullptr;
    QLineEdit* eFacName_ = nullptr;
    QLineEdit* eFacAddress_ = nullptr;
    QLineEdit* eEngineerName_ = nullptr;
    QLineEdit* eCounties_ = nullptr;
    QLineEdit* eCities_ = nullptr;
    TContactPage contacts_;
    TNumberField* eAphase_ = nullptr;
    TNumberField* eBphase_ = nullptr;
    TNumberField* eCphase_ = nullptr;
    QCheckBox* cbEnter_ = nullptr;
    TRadioGroup* rgCsPrtOption_ = nullptr;
    QCheckBox* cbLimitsStatement_ = nullptr;
    QCheckBox* cbDetailsPlot_ = nullptr;
    QCheckBox* cbCoronaPlot_ = nullptr;
    TSiteFields* site_ = nullptr;
    QLabel* lbSiteError_ = nullptr;
    std::array<QTableWidget*, 3> grids_{}; // by TLibraryKind
    QMenu* pmLibrary_ = nullptr;
    std::array<QAction*, 3> insertItems_{}; // by TLibraryKind
    std::array<QAction*, 3> editItems_{};
    std::array<QAction*, 3> deleteItems_{};
    std::array<QPushButton*, 3> editButtons_{}; // by TLibraryKind
    std::array<QPushButton*, 3> deleteButtons_{};
    QListWidget* categories_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    TLimitsPage* limitsPage_ = nullptr;
};

} // namespace corvalt::ui
