#include "MainWinTestSupport.h"

#include "engine/PageCanvas.h"
#include "engine/PageFile.h"
#include "model/DataCheck.h"
#include "ui/windows/ScenariosForm.h"

#include <QDialog>
#include <QDir>
#include <QMdiArea>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace corvalt::test {

// ---- Prompts -----------------------------------------------------------------------

TScriptedPrompts::TScriptedPrompts() {
    ui::SetPrompts(this);
}

TScriptedPrompts::~TScriptedPrompts() {
    ui::SetPrompts(nullptr);
}

QMessageBox::StandardButton TScriptedPrompts::Message(QWidget*, QMessageBox::Icon icon,
                                                      const QString& caption, const QString& text,
                                                      QMessageBox::StandardButtons buttons,
                                                      QMessageBox::StandardButton,
                                                      const QString& details) {
    Messages.push_back({icon, caption, text, details});
    if (!Answers.empty()) {
        const QMessageBox::StandardButton answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    return buttons == QMessageBox::Ok ? QMessageBox::Ok : QMessageBox::Cancel;
}

QString TScriptedPrompts::OpenFileName(QWidget*, const ui::TFileRequest& request) {
    FileRequests.push_back(request);
    return FileNames.isEmpty() ? QString() : FileNames.takeFirst();
}

QString TScriptedPrompts::SaveFileName(QWidget* parent, ui::TFileRequest& request) {
    const QString chosen = OpenFileName(parent, request);
    if (!request.CheckBox.isEmpty() && !CheckBoxes.empty() && !chosen.isEmpty()) {
        request.Checked = CheckBoxes.front();
        CheckBoxes.pop_front();
    }
    return chosen;
}

int TScriptedPrompts::Exec(QDialog& dialog) {
    DialogTitles << dialog.windowTitle();
    if (OnDialog) OnDialog(dialog);
    if (DialogResults.empty()) return QDialog::Rejected;
    const int result = DialogResults.front();
    DialogResults.pop_front();
    return result;
}

QStringList TScriptedPrompts::MessageTexts() const {
    QStringList texts;
    for (const TMessage& message : Messages)
        texts << message.Text;
    return texts;
}

// ---- Dialogs -----------------------------------------------------------------------

namespace {

template <class T, class... Args>
std::unique_ptr<T> Ask(const std::function<std::unique_ptr<T>(Args&...)>& answer, Args&... args) {
    return answer ? answer(args...) : nullptr;
}

template <class T> bool AskEdit(const std::function<bool(T&)>& answer, T& object) {
    return answer ? answer(object) : false;
}

} // namespace

std::unique_ptr<TEmfProject> TFakeDialogs::NewProject(QWidget*) {
    Calls << QStringLiteral("NewProject");
    return OnNewProject ? OnNewProject() : nullptr;
}

bool TFakeDialogs::EditProject(TEmfProject& project, QWidget*) {
    Calls << QStringLiteral("EditProject");
    return AskEdit(OnEditProject, project);
}

std::unique_ptr<TScenario> TFakeDialogs::NewScenario(TEmfProject& project, QWidget*) {
    Calls << QStringLiteral("NewScenario");
    return Ask(OnNewScenario, project);
}

bool TFakeDialogs::EditScenario(TScenario& scenario, QWidget*) {
    Calls << QStringLiteral("EditScenario");
    return AskEdit(OnEditScenario, scenario);
}

std::vector<std::unique_ptr<TCircuit>> TFakeDialogs::NewCircuits(TScenario& scenario, QWidget*) {
    Calls << QStringLiteral("NewCircuit");
    std::vector<std::unique_ptr<TCircuit>> circuits;
    if (std::unique_ptr<TCircuit> circuit = Ask(OnNewCircuit, scenario))
        circuits.push_back(std::move(circuit));
    return circuits;
}

bool TFakeDialogs::EditCircuit(TCircuit& circuit, QWidget*) {
    Calls << QStringLiteral("EditCircuit");
    return AskEdit(OnEditCircuit, circuit);
}

bool TFakeDialogs::EditCoordinates(TCircuit& circuit, QWidget*) {
    Calls << QStringLiteral("EditCoordinates");
    return AskEdit(OnEditCoordinates, circuit);
}

std::unique_ptr<TConductor> TFakeDialogs::NewConductor(TCircuit& circuit, QWidget*) {
    Calls << QStringLiteral("NewConductor");
    return Ask(OnNewConductor, circuit);
}

bool TFakeDialogs::EditConductor(TConductor& conductor, QWidget*) {
    Calls << QStringLiteral("EditConductor");
    return AskEdit(OnEditConductor, conductor);
}

std::unique_ptr<TInterestPoint> TFakeDialogs::NewPoint(TScenario& scenario, QWidget*) {
    Calls << QStringLiteral("NewPoint");
    return Ask(OnNewPoint, scenario);
}

bool TFakeDialogs::EditPoint(TInterestPoint& point, QWidget*) {
    Calls << QStringLiteral("EditPoint");
    return AskEdit(OnEditPoint, point);
}

bool TFakeDialogs::EditPreferences(QWidget*) {
    Calls << QStringLiteral("EditPreferences");
    return false;
}

// ---- Reports -----------------------------------------------------------------------

namespace {

class TNumberedPages : public TPageEvents {
  public:
    explicit TNumberedPages(int count) : count_(count) {}
    void BeforePrint(TPageCanvas& canvas) override { canvas.SelectFont("Arial", 12); }
    void Print(TPageCanvas& canvas) override {
        for (int page = 1; page <= count_; ++page) {
            if (page > 1) canvas.NewPage();
            canvas.SetCursorY(1.5);
            canvas.PrintTextLine(QStringLiteral("Page %1 of %2").arg(page).arg(count_));
        }
    }

  private:
    int count_;
};

} // namespace

TPageList NumberedPages(int count) {
    TPageCanvas canvas;
    TNumberedPages report(count);
    if (!canvas.Run(report).Ok) throw std::runtime_error("test report failed");
    return canvas.TakePages();
}

bool TTestReports::Available(TReportKind) const {
    return true;
}

TOpenedReport TTestReports::Open(TEmfProject& project, TScenario*, TReportKind kind,
                                 const QString& pageFile,
                                 const std::function<void(int)>& pageStarted) {
    Kinds.push_back(kind);
    PageFiles << pageFile;
    TOpenedReport outcome;
    if (kind != TReportKind::Tlsa) {
        std::vector<TCheckLine> findings = CheckProject(project);
        if (HasErrors(findings)) {
            outcome.Outcome = TOpenedReport::TOutcome::CheckFailed;
            outcome.Findings = std::move(findings);
            return outcome;
        }
    }
    if (OnCompute) OnCompute(project);
    outcome.Pages = NumberedPages(PageCount);
    for (int page = 1; page <= PageCount; ++page)
        if (pageStarted) pageStarted(page);
    if (const QString error = WritePageFile(pageFile, outcome.Pages); !error.isEmpty()) {
        outcome.Error = error;
        return outcome;
    }
    outcome.Outcome = TOpenedReport::TOutcome::Pages;
    return outcome;
}

TFileResult TTestReports::ExportBpa(const TScenario&, const std::string& path) {
    BpaFiles.push_back(path);
    return BpaResult;
}

// ---- Preferences and projects -----------------------------------------------------------

TCircuit& AddCircuit(TScenario& scenario, const std::string& name, int groundWires,
                     float baseHeight) {
    TNewCircuitValues values;
    values.Name = name;
    values.VoltageClass = 230;
    values.OverRateFactor = 1.05f;
    values.MaxVoltage = 242;
    values.Mcr = 900;
    values.DistFromRowLeft = -40.0f + 80.0f * static_cast<float>(scenario.Circuits.Count());
    values.CondName = "Drake";
    values.CondDiameter = 1.108f;
    values.SubCondCount = 1;
    values.OhgwName = "3/8 EHS";
    values.OhgwDiameter = 0.375f;
    values.Phases = {{{true, 1, 0}, {true, 1, 120}, {true, 1, 240}}};
    values.Ground = {groundWires > 0, groundWires, 0};
    std::unique_ptr<TCircuit> circuit = CreateNewCircuit(scenario, values);
    float x = -15;
    for (TConductor& conductor : circuit->Conductors) {
        conductor.SetDisplayHorizDistance(x);
        conductor.SetDisplayHeight(conductor.IsGround() ? baseHeight + 20 : baseHeight);
        x += 15;
    }
    TCircuit& added = *circuit;
    scenario.Circuits.Add(std::move(circuit));
    return added;
}

std::unique_ptr<TEmfProject> MakeProject() {
    auto project = std::make_unique<TEmfProject>();
    project->Title = "Line Project";
    project->Units = English;
    auto scenario = std::make_unique<TScenario>(*project);
    scenario->Title = "Line 5";
    scenario->TabTitle = "L5";
    scenario->SectionType = TransmissionLine;
    scenario->SetDisplayRowLeft(75);
    scenario->SetDisplayRowRight(75);
    scenario->SetDisplayEFieldHeight(3.28f);
    scenario->SetDisplayBFieldHeight(3.28f);
    AddCircuit(*scenario, "C1");
    AddCircuit(*scenario, "C2");
    for (const auto& [name, distance] : {std::pair{"Fence", 10.0f}, std::pair{"House", 140.0f}}) {
        auto point = std::make_unique<TInterestPoint>(*scenario);
        point->Name = name;
        point->SetDisplayDistFromRowLeft(distance);
        scenario->InterestPoints.Add(std::move(point));
    }
    project->Scenarios.Add(std::move(scenario));
    return project;
}

QString SampleProjectPath() {
    return QStringLiteral(CORVALT_SOURCE_DIR "/examples/sample-english.emf");
}

// ---- Main window ---------------------------------------------------------------------------

void QuietOffscreenWarnings() {
    static const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (message.contains(QLatin1String("does not support propagateSizeHints"))) return;
            previous(type, context, message);
        });
}

TMainFixture::TMainFixture(const std::string& prefs) : Prefs(prefs) {
    QuietOffscreenWarnings();
    Main = std::make_unique<ui::TMainForm>(Prefs.Options(), Dialogs, Reports);
    Main->show();
}

TMainFixture::~TMainFixture() {
    Main.reset();
}

ui::TScenariosForm& TMainFixture::Open(std::unique_ptr<TEmfProject> project) {
    return *Main->OpenProjectWindow(std::move(project), false);
}

} // namespace corvalt::test
