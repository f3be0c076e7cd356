#pragma once
// Support for the tests of the main window, the project window, the report
// preview and the error window: prompts that answer from a script and record
// what was asked, editing dialogs that answer from the test, reports made of
// simple numbered pages (after the real data check), and projects built in
// memory. The temporary preferences file is the dialog tests' (UiTestSupport.h).

#include "model/NewCircuit.h"
#include "model/Project.h"
#include "prefs/Options.h"
#include "ui/app/EditDialogs.h"
#include "ui/app/Prompts.h"
#include "ui/app/ReportService.h"
#include "ui/windows/MainForm.h"

#include "UiTestSupport.h"

#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace corvalt::test {

// Answers every modal question at once, from queued answers, and records it.
// A question without a queued answer gets Cancel (or OK where that is the only
// button), a file dialog an empty name (Cancel), any other dialog Rejected.
class TScriptedPrompts : public ui::TPrompts {
  public:
    struct TMessage {
        QMessageBox::Icon Icon;
        QString Caption;
        QString Text;
        QString Details;
    };

    TScriptedPrompts();
    ~TScriptedPrompts() override; // restores Qt's prompts

    std::deque<QMessageBox::StandardButton> Answers;
    QStringList FileNames; // answers of the file dialogs, in turn
    std::deque<bool> CheckBoxes; // states a save dialog's check box is left in, in turn
    std::deque<int> DialogResults;
    // Runs on a dialog before its result is returned (e.g. to read it).
    std::function<void(QDialog&)> OnDialog;

    std::vector<TMessage> Messages;
    std::vector<ui::TFileRequest> FileRequests;
    QStringList DialogTitles;

    QMessageBox::StandardButton Message(QWidget* parent, QMessageBox::Icon icon,
                                        const QString& caption, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton,
                                        const QString& details) override;
    QString OpenFileName(QWidget* parent, const ui::TFileRequest& request) override;
    QString SaveFileName(QWidget* parent, ui::TFileRequest& request) override;
    int Exec(QDialog& dialog) override;

    QStringList MessageTexts() const;
};

// The editing dialogs as the test wants them to answer. Each call is recorded
// by name ("NewCircuit", "EditCoordinates", ...); an unset answer is Cancel.
class TFakeDialogs : public ui::TEditDialogs {
  public:
    std::function<std::unique_ptr<TEmfProject>()> OnNewProject;
    std::function<std::unique_ptr<TScenario>(TEmfProject&)> OnNewScenario;
    std::function<std::unique_ptr<TCircuit>(TScenario&)> OnNewCircuit;
    std::function<std::unique_ptr<TConductor>(TCircuit&)> OnNewConductor;
    std::function<std::unique_ptr<TInterestPoint>(TScenario&)> OnNewPoint;
    // Edits: called with the object; return whether OK was pressed.
    std::function<bool(TEmfProject&)> OnEditProject;
    std::function<bool(TScenario&)> OnEditScenario;
    std::function<bool(TCircuit&)> OnEditCircuit;
    std::function<bool(TCircuit&)> OnEditCoordinates;
    std::function<bool(TConductor&)> OnEditConductor;
    std::function<bool(TInterestPoint&)> OnEditPoint;

    QStringList Calls;

    std::unique_ptr<TEmfProject> NewProject(QWidget* parent) override;
    bool EditProject(TEmfProject& project, QWidget* parent) override;
    std::unique_ptr<TScenario> NewScenario(TEmfProject& project, QWidget* parent) override;
    bool EditScenario(TScenario& scenario, QWidget* parent) override;
    std::vector<std::unique_ptr<TCircuit>> NewCircuits(TScenario& scenario,
                                                       QWidget* parent) override;
    bool EditCircuit(TCircuit& circuit, QWidget* parent) override;
    bool EditCoordinates(TCircuit& circuit, QWidget* parent) override;
    std::unique_ptr<TConductor> NewConductor(TCircuit& circuit, QWidget* parent) override;
    bool EditConductor(TConductor& conductor, QWidget* parent) override;
    std::unique_ptr<TInterestPoint> NewPoint(TScenario& scenario, QWidget* parent) override;
    bool EditPoint(TInterestPoint& point, QWidget* parent) override;
    bool EditPreferences(QWidget* parent) override;
};

// Reports of PageCount pages whose text names the kind and the page, after
// the project data check (unless the kind is the TLSA notification). Each run
// writes its page file and records the request.
class TTestReports : public ui::TReportService {
  public:
    int PageCount = 1;
    std::vector<TReportKind> Kinds; // of every Open
    QStringList PageFiles;          // of every Open
    std::vector<std::string> BpaFiles;
    TFileResult BpaResult = TFileResult::Success();
    // Runs where the program computes the project (after a passed check).
    std::function<void(TEmfProject&)> OnCompute;

    bool Available(TReportKind kind) const override;
    TOpenedReport Open(TEmfProject& project, TScenario* scenario, TReportKind kind,
                       const QString& pageFile,
                       const std::function<void(int)>& pageStarted) override;
    TFileResult ExportBpa(const TScenario& scenario, const std::string& path) override;
};

// Pages whose first text is "Page n of m".
TPageList NumberedPages(int count);

// A circuit of the cross section with phases A, B, C (one conductor each) and
// ground wires, appended; conductor heights start at baseHeight (display units).
TCircuit& AddCircuit(TScenario& scenario, const std::string& name, int groundWires = 1,
                     float baseHeight = 40);

// A project "Line Project" (English) with one transmission-line cross section
// "Line 5" (tab "L5"), two circuits "C1" and "C2" placed apart, and two points
// of interest. It passes the data check.
std::unique_ptr<TEmfProject> MakeProject();

// The sample project of the examples folder.
QString SampleProjectPath();

// Drops the offscreen platform's warning about windows it cannot size from
// their hints (one per window; nothing a test can act on).
void QuietOffscreenWarnings();

// The main window with fake dialogs, test reports and scripted prompts.
class TMainFixture {
  public:
    explicit TMainFixture(const std::string& prefs = {});
    ~TMainFixture();

    TScriptedPrompts Prompts;
    TFakeDialogs Dialogs;
    TTestReports Reports;
    TTempPrefs Prefs;
    std::unique_ptr<ui::TMainForm> Main;

    // Opens the project in a project window.
    ui::TScenariosForm& Open(std::unique_ptr<TEmfProject> project);
};

} // namespace corvalt::test
