#pragma once
// TMainForm ("Corvalt"): the program's main window. A multiple-document frame
// whose child windows are project windows (TScenariosForm) and report previews
// (TReptMstr); it owns the open projects, the menus, the tool bar, the status
// line, the printer settings and the report page files, opens and saves
// projects, and routes every command to the active child window. One function,
// updateMenus, derives every command's enabled and visible state.

#include "model/DataCheck.h"
#include "model/FieldLimitTable.h"
#include "model/Leftovers.h"
#include "model/Project.h"
#include "model/SafeList.h"
#include "model/StopCleanup.h"
#include "model/Version.h"
#include "reports/ReportKind.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QToolBar;
class QUndoGroup;

namespace corvalt {
class TOptions;
}

namespace corvalt::ui {

class TEditDialogs;
class TReportService;
class TReptMstr;
class TRptErrorForm;
class TScenariosForm;
class TStartPage;

// The commands of the menus and the tool bar, under the names the program's
// documentation gives them. Each belongs to the main window; updateMenus sets
// which are enabled.
struct TMainActions {
    // Project menu and its "Preview / Print" submenu.
    QAction* mnNew = nullptr;
    QAction* mnPrjEdit = nullptr;
    QAction* mnOpen = nullptr;
    QAction* mnSave = nullptr;
    QAction* mnSaveAs = nullptr;
    QAction* mnFlorida = nullptr;
    QAction* mnTlsa = nullptr;
    QAction* mnEmfDetails = nullptr;
    QAction* mnBpaDetails = nullptr;
    QAction* mnEmfMap = nullptr; // the maps of the project's plans
    QAction* mnBpaFileSeparator = nullptr;
    QAction* mnCreateBpaFile = nullptr;
    QAction* mnPrintSetup = nullptr;
    QAction* mnPreferences = nullptr;
    QAction* mnExit = nullptr;
    // The recent files ("&1 line.emf", the path in the status line), shown above
    // Exit after their separator; hidden while unused.
    QAction* mnRecentSeparator = nullptr;
    std::array<QAction*, 8> mnRecentFiles{};
    // Edit menu: undo and redo in the active project window, their texts naming
    // the change ("&Undo Edit Conductor 1A1").
    QAction* mnUndo = nullptr;
    QAction* mnRedo = nullptr;
    // And the project window grid's rows to and from the clipboard (the keys
    // belong to the grid).
    QAction* mnCopy = nullptr;
    QAction* mnPaste = nullptr;
    // Object menus.
    QAction* mnCsNew = nullptr;
    QAction* mnCsEdit = nullptr;
    QAction* mnCsDelete = nullptr;
    QAction* mnCsClone = nullptr;
    QAction* mnCsOptimise = nullptr;  // "Optimise Phasing..."
    QAction* mnCsClearance = nullptr; // "Solve Clearance..."
    QAction* mnCircNew = nullptr;
    QAction* mnCircEdit = nullptr;
    QAction* mnCircDelete = nullptr;
    QAction* mnCircClone = nullptr;
    QAction* mnCircCoords = nullptr;
    QAction* mnCircMirror = nullptr;
    QAction* mnCondNew = nullptr;
    QAction* mnCondEdit = nullptr;
    QAction* mnCondDelete = nullptr;
    QAction* mnPoiNew = nullptr;
    QAction* mnPoiEdit = nullptr;
    QAction* mnPoiDelete = nullptr;
    // Plan menu: the project's plans (their editors are windows of their own).
    QAction* mnPlanNew = nullptr;
    QAction* mnPlanEdit = nullptr;
    QAction* mnPlanDelete = nullptr;
    QAction* mnPlanClone = nullptr;
    // View menu: the project windows' results panel, shown or hidden (F9).
    QAction* mnResultsPanel = nullptr;
    // Report menu and its Zoom submenu.
    QAction* mnRepPrint = nullptr;
    QAction* mnRepExportPdf = nullptr;
    QAction* mnRepPrev = nullptr;
    QAction* mnRepNext = nullptr;
    QAction* mnZoomIn = nullptr;
    QAction* mnZoomOut = nullptr;
    QAction* mnFullPage = nullptr;
    QAction* mnPageWidth = nullptr;
    // Window and Help menus.
    QAction* mnTile = nullptr;
    QAction* mnCascade = nullptr;
    QAction* mnArrange = nullptr;
    QAction* mnCloseWindow = nullptr; // Ctrl+F4 (and Ctrl+W): the active child window
    QAction* mnUserGuide = nullptr; // F1: the guide's contents (HelpTopics.h)
    QAction* mnAbout = nullptr;
    // The sample projects that come with the program, offered on the start
    // page (in no menu): each opens a copy of its sample.
    QList<QAction*> mnSamples;
    // Tool bar.
    QAction* sbNew = nullptr;
    QAction* sbOpen = nullptr;
    QAction* sbSave = nullptr;
    QAction* sbPrint = nullptr;
    QAction* sbZoomIn = nullptr;
    QAction* sbZoomOut = nullptr;
    QAction* sbFullPage = nullptr;
    QAction* sbPageWidth = nullptr;
    QAction* sbPrevPage = nullptr;
    QAction* sbNextPage = nullptr;
    QAction* sbReportClose = nullptr;
};

// The menus of the menu bar and their submenus.
struct TMainMenus {
    QMenu* mnProject = nullptr;
    QMenu* mnPreviewPrint = nullptr;
    QMenu* mnEdit = nullptr;
    QMenu* mnCrossSection = nullptr;
    QMenu* mnCircuit = nullptr;
    QMenu* mnConductor = nullptr;
    QMenu* mnPoi = nullptr;
    QMenu* mnPlan = nullptr;
    QMenu* mnView = nullptr;
    QMenu* mnReport = nullptr;
    QMenu* mnZoom = nullptr;
    QMenu* mnWindow = nullptr;
    QMenu* mnHelp = nullptr;
};

class TMainForm : public QMainWindow {
    Q_OBJECT
  public:
    // dialogs and reports: what the commands use (the program's, or a test's).
    TMainForm(TOptions& options, TEditDialogs& dialogs, TReportService& reports,
              QWidget* parent = nullptr);
    ~TMainForm() override;

    // Shows the window as it was closed last time: maximised or not.
    void ShowAsKept();

    // After the window is shown: opens the project named by the first argument
    // (through a queued call, once the event loop runs), with File, Open's
    // message when it cannot; without one the start page stays in view.
    void StartWith(const QStringList& arguments);

    TOptions& Options() const { return options_; }
    // The field limits table of the preferences, read at the start and after
    // each change of the preferences (not from the file at every use).
    const TFieldLimits& FieldLimits() const { return fieldLimits_; }
    TEditDialogs& Dialogs() const { return dialogs_; }
    TReportService& Reports() const { return reports_; }
    QPrinter& Printer();
    bool Busy() const { return busy_; }
    QMdiArea& MdiArea() const { return *mdiArea_; }
    const TSafeList<TEmfProject>& OpenProjects() const { return projects_; }
    TRptErrorForm& ErrorForm() const { return *errorForm_; }
    // What the empty workspace shows while no window is open.
    TStartPage& StartPage() const { return *startPage_; }

    TScenariosForm* ActiveProjectWindow() const;
    // The project window that shows the project, if any.
    TScenariosForm* ProjectWindowOf(const TEmfProject& project) const;
    TReptMstr* ActiveReportWindow() const;

    // Sets every command's enabled and visible state from the active child
    // window, the project window's tree selection and the report window's page.
    void updateMenus();
    // A word in the status line that goes away after a while.
    void ShowStatus(const QString& text);

    // The status line's text while no report window is active: where the
    // preferences file is.
    void SetPreferencesStatus(const QString& text);
    // View > Results Panel: shows or hides the results panel of every project
    // window and keeps the choice in the preferences.
    void ShowResultsPanels(bool visible);

    // Takes the project into the list of open projects and shows it in a new
    // project window; starts a new circuit in it when newCircuit is set.
    TScenariosForm* OpenProjectWindow(std::unique_ptr<TEmfProject> project, bool newCircuit);
    // Loads the file into a new project and opens it, or makes the window that
    // shows it already the active one; shows the model's message and keeps
    // nothing when it cannot be read. The file becomes the newest recent file.
    bool OpenProjectFile(const QString& path);
    // Puts the file first in the recent files (Open and Save call it).
    void AddRecentFile(const QString& path);
    // Opens the recent file of the Project menu's n-th entry (0-based); a file
    // that is gone leaves the list after the message.
    void OpenRecentFile(int index);
    // Opens a copy of a sample project: it has no file yet, so Save asks
    // where to keep it and the sample itself stays as installed.
    bool OpenSampleProject(const QString& path);
    // The report command: check, compute and lay out the report, then open its
    // preview; shows the error window when the data check fails. Returns the
    // preview, or nullptr.
    TReptMstr* OpenReportWindow(TEmfProject& project, TScenario* scenario, TReportKind kind);
    // Closes the report windows of the project (its project window closes).
    void CloseReportWindowsOf(const TEmfProject& project);
    // The save dialogs: of the project (proposing its file, or its title in
    // the folder projects were last saved in), and of the cross section's BPA
    // input file. Empty on Cancel.
    QString AskProjectFileName(QWidget* parent, const TEmfProject& project);
    QString AskBpaFileName(QWidget* parent, const TScenario& scenario);

    // Commands of the menus and the tool bar.
    void mnNewClick();
    void mnOpenClick();
    void mnSaveClick();
    void mnSaveAsClick();
    void mnReportClick(TReportKind kind);
    void mnCreateBpaFileClick();
    void mnPrintSetupClick();
    void mnPreferencesClick();
    void mnUserGuideClick();
    void mnAboutClick();
    void sbPrintClick();
    void mnTileClick();
    void mnCascadeClick();
    void mnArrangeAllClick();

    const TMainActions& Actions() const { return actions_; }
    const TMainMenus& Menus() const { return menus_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Project files dropped on the window are opened.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void ApplyVisibilityPreferences();
    // The place, size and maximised state of the last run (preferences,
    // [Window]), kept when the window closes.
    void RestoreGeometry();
    void SaveGeometry();
    void OpenFromCommandLine(const QString& path);
    void ForwardToReport(void (TReptMstr::*command)());
    void ForwardToProject(void (TScenariosForm::*command)());
    void UpdateWindowMenu();
    // Selects the conductor of a finding in the project's window.
    void ShowConductor(const TEmfProject& project, const TCheckPlace& place);
    void ShowSubWindow(QMdiSubWindow& window);
    void KeepSubWindowsInside();
    void UpdateRecentFiles();
    void CreateStartPage();
    void ShowRecentFilesOnStartPage();
    // The project in the file, or nullptr after the model's message.
    std::unique_ptr<TEmfProject> LoadProjectFile(const QString& path);
    void StoreRecentFiles(const std::vector<std::string>& files);
    TScenariosForm* ProjectWindowOfFile(const QString& path) const;
    QString NewPageFile();

    template <class Command>
    QAction* NewAction(const char* name, const QString& text, const QString& hint, Command command);
    QMenu* NewMenu(const char* name, const QString& title, QWidget* parent);

    TOptions& options_;
    TFieldLimits fieldLimits_;
    TEditDialogs& dialogs_;
    TReportService& reports_;
    TSafeList<TEmfProject> projects_;
    bool busy_ = false;
    std::unique_ptr<QPrinter> printer_;
    TTemporaryFolder pageFolder_{kDesktopPagesFolder}; // the page files of the report windows
    int pageFiles_ = 0;

    QMdiArea* mdiArea_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* pagePanel_ = nullptr; // "Page n of m" of the active report window, else:
    QString preferencesStatus_;   // where the preferences file is
    TRptErrorForm* errorForm_ = nullptr;
    TStartPage* startPage_ = nullptr;
    QUndoGroup* undoGroup_ = nullptr; // the undo stacks of the project windows
    QStringList recentFiles_;         // as the Project menu lists them
    TMainActions actions_;
    TMainMenus menus_;
};

} // namespace corvalt::ui
