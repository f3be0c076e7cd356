#include "ui/windows/MainForm.h"

#include "engine/PageCanvas.h"
#include "prefs/Options.h"
#include "ui/app/EditDialogs.h"
#include "ui/app/FileFolders.h"
#include "ui/app/ProjectFiles.h"
#include "ui/app/Prompts.h"
#include "ui/app/ReportService.h"
#include "ui/app/TextConvert.h"
#include "ui/windows/HelpTopics.h"
#include "ui/windows/HelpWindow.h"
#include "ui/windows/ReptMstr.h"
#include "ui/windows/RptErrorForm.h"
#include "ui/windows/ScenariosForm.h"
#include "ui/windows/StartPage.h"
#include "ui/windows/ToolIcons.h"
#include "ui/windows/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QUndoGroup>
#include <QUndoStack>
#include <QVBoxLayout>

namespace corvalt::ui {
namespace {

// How long a passing word stays in the status line.
constexpr int kStatusMessageMs = 6000;

const char* const kBpaNote = "NOTE:\n\nBPA program variables unrelated to EMF must be set in\n"
                             "the exported data file for calculations to be accurate\n\n"
                             "Do you want to continue?";

// Asked when the cross section of a new project is cancelled.
QString DiscardNewProjectQuestion(const TEmfProject& project) {
    return QStringLiteral("A project needs at least one CrossSection.\n\n"
                          "Discard the new project \"%1\" and the information typed for it? "
                          "(No returns to the CrossSection dialog.)")
        .arg(ToQString(project.Title));
}

// The hourglass while a command computes; the normal cursor again afterwards.
class TBusyCursor {
  public:
    TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

// A window's title as its title bar shows it: the "[*]" placeholder becomes
// the modified marker "*" or nothing.
QString ShownTitle(const QWidget& window) {
    QString title = window.windowTitle();
    return title.replace(QStringLiteral("[*]"),
                         window.isWindowModified() ? QStringLiteral("*") : QString());
}

// The About box: program name, version and what it is for.
std::unique_ptr<QDialog> CreateAboutBox(QWidget* parent) {
    auto box = std::make_unique<QDialog>(parent);
    box->setObjectName(QStringLiteral("AboutBox"));
    box->setWindowTitle(QStringLiteral("About Corvalt"));
    auto* name = new QLabel(QStringLiteral("<b>Corvalt</b>"));
    QFont large = name->font();
    large.setPointSizeF(large.pointSizeF() * 1.6);
    name->setFont(large);
    auto* version = new QLabel(QString::fromLatin1(kVersionText));
    version->setObjectName(QStringLiteral("lbVersion"));
    auto* purpose = new QLabel(QStringLiteral(
        "Electric and magnetic fields and corona effects\nof overhead transmission lines"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, box.get(), &QDialog::accept);
    auto* layout = new QVBoxLayout(box.get());
    for (QLabel* label : {name, version, purpose}) {
        label->setAlignment(Qt::AlignHCenter);
        layout->addWidget(label);
    }
    layout->addSpacing(8);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    return box;
}

} // namespace

TMainForm::TMainForm(TOptions& options, TEditDialogs& dialogs, TReportService& reports,
                     QWidget* parent)
    : QMainWindow(parent), options_(options), fieldLimits_(options.FieldLimits()),
      dialogs_(dialogs), reports_(reports) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Corvalt"));
    mdiArea_ = new QMdiArea;
    mdiArea_->setObjectName(QStringLiteral("MdiArea"));
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);
    undoGroup_ = new QUndoGroup(this);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    ApplyVisibilityPreferences();
    CreateStartPage();
    UpdateRecentFiles();
    setAcceptDrops(true);
    RestoreGeometry();
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, &TMainForm::updateMenus);
    errorForm_ = new TRptErrorForm(this); // hidden until a data check fails
    // F1 anywhere in the program opens the guide at the section of where it
    // was pressed.
    qApp->installEventFilter(new THelpKeys(*this));
    updateMenus();
}

TMainForm::~TMainForm() {
    // The child windows refer to the open projects: close them first.
    disconnect(mdiArea_, nullptr, this, nullptr);
    for (QMdiSubWindow* window : mdiArea_->subWindowList())
        delete window;
}

QPrinter& TMainForm::Printer() {
    if (printer_ == nullptr) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

// ---- Construction -------------------------------------------------------------------

template <class Command>
QAction* TMainForm::NewAction(const char* name, const QString& text, const QString& hint,
                              Command command) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty()) {
        action->setStatusTip(hint);
        action->setToolTip(hint);
    }
    connect(action, &QAction::triggered, this, command);
    return action;
}

QMenu* TMainForm::NewMenu(const char* name, const QString& title, QWidget* parent) {
    auto* menu = new QMenu(title, parent);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

void TMainForm::CreateActions() {
    using M = TMainForm;
    using P = TScenariosForm;
    using R = TReptMstr;
    using K = TReportKind;
    TMainActions& a = actions_;
    auto project = [this](void (P::*command)()) {
        return [this, command] { ForwardToProject(command); };
    };
    auto report = [this](void (R::*command)()) {
        return [this, command] { ForwardToReport(command); };
    };
    auto reportKind = [this](K kind) { return [this, kind] { mnReportClick(kind); }; };

    // Project menu.
    a.mnNew = NewAction("mnNew", "&New...", "Create a new file", &M::mnNewClick);
    a.mnNew->setShortcut(QKeySequence::New);
    a.mnPrjEdit = NewAction("mnPrjEdit", "&Edit...", {}, project(&P::EditProject));
    a.mnOpen = NewAction("mnOpen", "&Open...", "Open an existing file", &M::mnOpenClick);
    a.mnOpen->setShortcut(QKeySequence::Open);
    a.mnSave = NewAction("mnSave", "&Save", "Save current file", &M::mnSaveClick);
    a.mnSave->setShortcut(QKeySequence::Save);
    a.mnSaveAs = NewAction("mnSaveAs", "Save &As...", "Save current file under a new name",
                           &M::mnSaveAsClick);
    a.mnFlorida =
        NewAction("mnFlorida", "&Florida Compliance", {}, reportKind(K::FloridaCompliance));
    a.mnTlsa = NewAction("mnTlsa", "&TLSA Exemption", {}, reportKind(K::Tlsa));
    a.mnEmfDetails = NewAction("mnEmfDetails", "&EMF Details", {}, reportKind(K::EmfDetails));
    a.mnBpaDetails = NewAction("mnBpaDetails", "&BPA Details", {}, reportKind(K::CoronaEffects));
    a.mnEmfMap = NewAction("mnEmfMap", "EMF &Map", {}, reportKind(K::FieldMap));
    a.mnCreateBpaFile =
        NewAction("mnCreateBpaFile", "&Create BPA File", {}, &M::mnCreateBpaFileClick);
    a.mnPrintSetup =
        NewAction("mnPrintSetup", "P&rint Setup...", "Change printer setup", &M::mnPrintSetupClick);
    a.mnPreferences = NewAction("mnPreferences", "Pre&ferences...", {}, &M::mnPreferencesClick);
    a.mnExit = NewAction("mnExit", "E&xit", "Exit this application", &QWidget::close);
    for (std::size_t i = 0; i < a.mnRecentFiles.size(); ++i) {
        auto* recent = new QAction(this);
        recent->setObjectName(QStringLiteral("mnRecentFile%1").arg(i + 1));
        connect(recent, &QAction::triggered, this,
                [this, i] { OpenRecentFile(static_cast<int>(i)); });
        a.mnRecentFiles[i] = recent;
    }

    // Edit menu.
    a.mnUndo = undoGroup_->createUndoAction(this, QStringLiteral("&Undo"));
    a.mnUndo->setObjectName(QStringLiteral("mnUndo"));
    a.mnUndo->setShortcuts(QKeySequence::Undo);
    a.mnUndo->setStatusTip(QStringLiteral("Take back the last change of the project"));
    a.mnRedo = undoGroup_->createRedoAction(this, QStringLiteral("&Redo"));
    a.mnRedo->setObjectName(QStringLiteral("mnRedo"));
    a.mnRedo->setShortcuts(QKeySequence::Redo);
    a.mnRedo->setStatusTip(QStringLiteral("Make the change taken back again"));

    // Object menus.
    a.mnCsNew = NewAction("mnCsNew", "&New...", {}, [this] {
        if (TScenariosForm* form = ActiveProjectWindow()) form->NewScenario(false);
    });
    a.mnCsEdit = NewAction("mnCsEdit", "&Edit...", {}, project(&P::EditScenario));
    a.mnCsDelete = NewAction("mnCsDelete", "&Delete", {}, project(&P::DeleteScenario));
    a.mnCsClone = NewAction("mnCsClone", "C&lone", {}, project(&P::CloneScenario));
    a.mnCsOptimise = NewAction("mnCsOptimise", "Optimise &Phasing...",
                               "Rank every phase arrangement of the three-phase circuits",
                               project(&P::OptimisePhasing));
    a.mnCsClearance = NewAction("mnCsClearance", "Solve &Clearance...",
                                "Find the smallest raise of the conductors that meets the limits",
                                project(&P::SolveClearance));
    a.mnCircNew = NewAction("mnCircNew", "&New...", {}, project(&P::NewCircuit));
    a.mnCircEdit = NewAction("mnCircEdit", "&Edit...", {}, project(&P::EditCircuit));
    a.mnCircDelete = NewAction("mnCircDelete", "&Delete...", {}, project(&P::DeleteCircuit));
    a.mnCircClone = NewAction("mnCircClone", "C&lone", {}, project(&P::CloneCircuit));
    a.mnCircCoords = NewAction("mnCircCoords", "&Coordinates...", {}, project(&P::EditCoordinates));
    a.mnCircMirror = NewAction("mnCircMirror", "&Mirror",
                               "Reflect the circuit about the reference line",
                               project(&P::MirrorCircuit));
    a.mnCopy = NewAction("mnCopy", "&Copy\tCtrl+C",
                         "Copy the grid's selected rows for a spreadsheet", project(&P::CopyRows));
    a.mnPaste = NewAction("mnPaste", "&Paste\tCtrl+V",
                          "Paste distances and heights into the selected conductors",
                          project(&P::PasteRows));
    a.mnCondNew = NewAction("mnCondNew", "&New...", {}, project(&P::NewConductor));
    a.mnCondEdit = NewAction("mnCondEdit", "&Edit...", {}, project(&P::EditConductor));
    a.mnCondDelete = NewAction("mnCondDelete", "&Delete...", {}, project(&P::DeleteConductor));
    a.mnPoiNew = NewAction("mnPoiNew", "&New...", {}, project(&P::NewPoint));
    a.mnPoiEdit = NewAction("mnPoiEdit", "&Edit...", {}, project(&P::EditPoint));
    a.mnPoiDelete = NewAction("mnPoiDelete", "&Delete..", {}, project(&P::DeletePoint));
    a.mnPlanNew = NewAction("mnPlanNew", "&New Plan...",
                            "Lay a cross section's line along a route, or start an empty plan",
                            project(&P::NewPlan));
    a.mnPlanEdit = NewAction("mnPlanEdit", "&Edit...", "Open the selected plan's editor",
                             project(&P::EditPlan));
    a.mnPlanDelete = NewAction("mnPlanDelete", "&Delete", {}, project(&P::DeletePlan));
    a.mnPlanClone = NewAction("mnPlanClone", "C&lone", {}, project(&P::ClonePlan));

    // View menu.
    a.mnResultsPanel =
        NewAction("mnResultsPanel", "&Results Panel", "Show or hide the plots beside the grids",
                  [this] { ShowResultsPanels(actions_.mnResultsPanel->isChecked()); });
    a.mnResultsPanel->setCheckable(true);
    a.mnResultsPanel->setChecked(options_.ReadBool(prefkeys::ResultsPanel));
    a.mnResultsPanel->setShortcut(QKeySequence(Qt::Key_F9));

    // Report menu (forwarded to the active report window).
    a.mnRepPrint = NewAction("mnRepPrint", "Review / &Print", {}, report(&R::tbPrintClick));
    a.mnRepExportPdf = NewAction("mnRepExportPdf", "E&xport PDF...",
                                 "Save the report as a PDF file", report(&R::tbExportPdfClick));
    a.mnRepPrev = NewAction("mnRepPrev", "Pre&vious Page", {}, report(&R::tbPreviousClick));
    a.mnRepPrev->setShortcut(QKeySequence(Qt::Key_PageUp));
    a.mnRepNext = NewAction("mnRepNext", "&Next Page", {}, report(&R::tbNextClick));
    a.mnRepNext->setShortcut(QKeySequence(Qt::Key_PageDown));
    a.mnZoomIn = NewAction("mnZoomIn", "Zoom &In", {}, report(&R::tbZoomInClick));
    // Ctrl+= as well: the plus sign needs Shift on many keyboards.
    a.mnZoomIn->setShortcuts(
        {QKeySequence(QKeySequence::ZoomIn), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    a.mnZoomOut = NewAction("mnZoomOut", "Zoom &Out", {}, report(&R::tbZoomOutClick));
    a.mnZoomOut->setShortcut(QKeySequence::ZoomOut);
    a.mnFullPage = NewAction("mnFullPage", "&Full Page", {}, report(&R::tbPageClick));
    // Ctrl+0 goes back to the view the report opens with.
    a.mnPageWidth = NewAction("mnPageWidth", "Page &Width", {}, report(&R::tbWidthClick));
    a.mnPageWidth->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));

    // Window and Help menus.
    a.mnTile = NewAction("mnTile", "&Tile", "Tile all windows", &M::mnTileClick);
    a.mnCascade = NewAction("mnCascade", "&Cascade", "Cascade all windows", &M::mnCascadeClick);
    a.mnArrange =
        NewAction("mnArrange", "&Arrange All", "Arrange minimized windows", &M::mnArrangeAllClick);
    a.mnCloseWindow = NewAction("mnCloseWindow", "Cl&ose", "Close the active window",
                                [this] { mdiArea_->closeActiveSubWindow(); });
    a.mnCloseWindow->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_F4), QKeySequence(Qt::CTRL | Qt::Key_W)});
    // F1 itself is the key filter's (HelpTopics.h): the menu shows it.
    a.mnUserGuide = NewAction("mnUserGuide", "&User Guide\tF1", "Open the user guide",
                              &M::mnUserGuideClick);
    a.mnAbout = NewAction("mnAbout", "&About...", "Show program information", &M::mnAboutClick);

    // Tool bar buttons, with their own hints.
    a.sbNew = NewAction("sbNew", "New", "New Project", &M::mnNewClick);
    a.sbOpen = NewAction("sbOpen", "Open", "Open Project", &M::mnOpenClick);
    a.sbSave = NewAction("sbSave", "Save", "Save Project", &M::mnSaveClick);
    a.sbPrint = NewAction("sbPrint", "Print", "Print Report", &M::sbPrintClick);
    a.sbZoomIn = NewAction("sbZoomIn", "Zoom In", "Zoom In", report(&R::tbZoomInClick));
    a.sbZoomOut = NewAction("sbZoomOut", "Zoom Out", "Zoom Out", report(&R::tbZoomOutClick));
    a.sbFullPage = NewAction("sbFullPage", "Full Page", "Full Page View", report(&R::tbPageClick));
    a.sbPageWidth =
        NewAction("sbPageWidth", "Page Width", "Full Width View", report(&R::tbWidthClick));
    a.sbPrevPage =
        NewAction("sbPrevPage", "Previous Page", "Previous Page", report(&R::tbPreviousClick));
    a.sbNextPage = NewAction("sbNextPage", "Next Page", "Next Page", report(&R::tbNextClick));
    a.sbReportClose = NewAction("sbReportClose", "Close", "Close Report", report(&R::tbExitClick));
}

namespace {

// Adds the actions in order; a null action is a separator.
void AddActions(QMenu& menu, std::initializer_list<QAction*> actions) {
    for (QAction* action : actions) {
        if (action == nullptr)
            menu.addSeparator();
        else
            menu.addAction(action);
    }
}

} // namespace

void TMainForm::CreateMenus() {
    QMenuBar* bar = menuBar();
    const TMainActions& a = actions_;
    TMainMenus& m = menus_;

    m.mnProject = NewMenu("mnProject", QStringLiteral("&Project"), bar);
    AddActions(*m.mnProject, {a.mnNew, a.mnPrjEdit, a.mnOpen, a.mnSave, a.mnSaveAs, nullptr});
    m.mnPreviewPrint = NewMenu("mnPreviewPrint", QStringLiteral("&Preview / Print"), m.mnProject);
    m.mnPreviewPrint->menuAction()->setStatusTip(QStringLiteral("Print current file"));
    AddActions(*m.mnPreviewPrint,
               {a.mnFlorida, a.mnTlsa, nullptr, a.mnEmfDetails, a.mnBpaDetails, a.mnEmfMap});
    actions_.mnBpaFileSeparator = m.mnPreviewPrint->addSeparator();
    actions_.mnBpaFileSeparator->setObjectName(QStringLiteral("mnBpaFileSeparator"));
    AddActions(*m.mnPreviewPrint, {a.mnCreateBpaFile});
    m.mnProject->addMenu(m.mnPreviewPrint);
    AddActions(*m.mnProject, {a.mnPrintSetup, a.mnPreferences});
    actions_.mnRecentSeparator = m.mnProject->addSeparator();
    for (QAction* recent : a.mnRecentFiles)
        m.mnProject->addAction(recent);
    AddActions(*m.mnProject, {nullptr, a.mnExit});
    bar->addMenu(m.mnProject);

    m.mnEdit = NewMenu("mnEdit", QStringLiteral("&Edit"), bar);
    AddActions(*m.mnEdit, {a.mnUndo, a.mnRedo});
    m.mnEdit->addSeparator();
    AddActions(*m.mnEdit, {a.mnCopy, a.mnPaste});
    bar->addMenu(m.mnEdit);

    m.mnCrossSection = NewMenu("mnCrossSection", QStringLiteral("&CrossSection"), bar);
    AddActions(*m.mnCrossSection, {a.mnCsNew, a.mnCsEdit, a.mnCsDelete, a.mnCsClone, nullptr,
                                   a.mnCsOptimise, a.mnCsClearance});
    bar->addMenu(m.mnCrossSection);
    m.mnCircuit = NewMenu("mnCircuit", QStringLiteral("Circ&uit"), bar);
    AddActions(*m.mnCircuit,
               {a.mnCircNew, a.mnCircEdit, a.mnCircDelete, a.mnCircClone, a.mnCircCoords,
                a.mnCircMirror});
    bar->addMenu(m.mnCircuit);
    m.mnConductor = NewMenu("mnConductor", QStringLiteral("C&onductor"), bar);
    AddActions(*m.mnConductor, {a.mnCondNew, a.mnCondEdit, a.mnCondDelete});
    bar->addMenu(m.mnConductor);
    m.mnPoi = NewMenu("mnPoi", QStringLiteral("Point Of &Interest"), bar);
    AddActions(*m.mnPoi, {a.mnPoiNew, a.mnPoiEdit, a.mnPoiDelete});
    bar->addMenu(m.mnPoi);
    m.mnPlan = NewMenu("mnPlan", QStringLiteral("P&lan"), bar);
    AddActions(*m.mnPlan, {a.mnPlanNew, a.mnPlanEdit, a.mnPlanDelete, a.mnPlanClone});
    bar->addMenu(m.mnPlan);
    m.mnView = NewMenu("mnView", QStringLiteral("&View"), bar);
    AddActions(*m.mnView, {a.mnResultsPanel});
    bar->addMenu(m.mnView);

    m.mnReport = NewMenu("mnReport", QStringLiteral("&Report"), bar);
    AddActions(*m.mnReport, {a.mnRepPrint, a.mnRepExportPdf, nullptr, a.mnRepPrev, a.mnRepNext});
    m.mnZoom = NewMenu("mnZoom", QStringLiteral("&Zoom"), m.mnReport);
    AddActions(*m.mnZoom, {a.mnZoomIn, a.mnZoomOut, a.mnFullPage, a.mnPageWidth});
    m.mnReport->addMenu(m.mnZoom);
    bar->addMenu(m.mnReport);

    m.mnWindow = NewMenu("mnWindow", QStringLiteral("&Window"), bar);
    connect(m.mnWindow, &QMenu::aboutToShow, this, &TMainForm::UpdateWindowMenu);
    UpdateWindowMenu();
    bar->addMenu(m.mnWindow);
    m.mnHelp = NewMenu("mnHelp", QStringLiteral("&Help"), bar);
    AddActions(*m.mnHelp, {a.mnUserGuide, nullptr, a.mnAbout});
    bar->addMenu(m.mnHelp);
}

void TMainForm::CreateToolBar() {
    toolBar_ = addToolBar(QStringLiteral("Tools"));
    toolBar_->setObjectName(QStringLiteral("ToolBar"));
    toolBar_->setMovable(false);
    toolBar_->setIconSize(QSize(20, 20));
    const TMainActions& a = actions_;
    for (QAction* action : {a.sbNew, a.sbOpen, a.sbSave, static_cast<QAction*>(nullptr), a.sbPrint,
                            a.sbZoomIn, a.sbZoomOut, a.sbFullPage, a.sbPageWidth, a.sbPrevPage,
                            a.sbNextPage, a.sbReportClose, static_cast<QAction*>(nullptr)}) {
        if (action == nullptr) {
            toolBar_->addSeparator();
            continue;
        }
        const QIcon icon = ToolIcon(action->objectName());
        if (!icon.isNull()) action->setIcon(icon);
        toolBar_->addAction(action);
        // The Close button shows its text; the others their glyph.
        if (auto* button = qobject_cast<QToolButton*>(toolBar_->widgetForAction(action)))
            button->setToolButtonStyle(icon.isNull() ? Qt::ToolButtonTextOnly
                                                     : Qt::ToolButtonIconOnly);
    }
}

void TMainForm::CreateStartPage() {
    startPage_ = new TStartPage(*mdiArea_);
    using S = TStartPage::TSection;
    startPage_->SetEntries(
        S::Start, {{actions_.mnNew, QStringLiteral("New Project"), actions_.mnNew->statusTip()},
                   {actions_.mnOpen, QStringLiteral("Open..."), actions_.mnOpen->statusTip()}});
    std::vector<TStartEntry> samples;
    for (const QString& path : InstalledSampleProjects(QCoreApplication::applicationFilePath())) {
        // A sample that cannot be read is not offered.
        TEmfProject project;
        if (!project.Load(ToBytes(path)).Ok) continue;
        const QString name = QFileInfo(path).fileName();
        auto* sample = new QAction(name, this);
        sample->setObjectName(QStringLiteral("mnSample%1").arg(samples.size() + 1));
        sample->setStatusTip(QStringLiteral("Open a copy of the sample project %1").arg(name));
        connect(sample, &QAction::triggered, this, [this, path] { OpenSampleProject(path); });
        actions_.mnSamples << sample;
        samples.push_back({sample, ToQString(project.Title), name});
    }
    startPage_->SetEntries(S::Samples, samples);
}

void TMainForm::CreateStatusBar() {
    pagePanel_ = new QLabel;
    pagePanel_->setObjectName(QStringLiteral("lbPage"));
    statusBar()->addWidget(pagePanel_, 1);
    auto* versionPanel = new QLabel(QString::fromLatin1(kVersionText));
    versionPanel->setObjectName(QStringLiteral("lbVersion"));
    versionPanel->setAlignment(Qt::AlignCenter);
    versionPanel->setFixedWidth(100);
    versionPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->addPermanentWidget(versionPanel);
    statusBar()->setSizeGripEnabled(true);
}

void TMainForm::ApplyVisibilityPreferences() {
    actions_.mnBpaDetails->setVisible(options_.BPADetails());
    const bool bpaFile = options_.BPAFile();
    actions_.mnBpaFileSeparator->setVisible(bpaFile);
    actions_.mnCreateBpaFile->setVisible(bpaFile);
}

void TMainForm::RestoreGeometry() {
    // Where it was closed last time, on the screen that holds that place
    // (or the main one), made to fit what that screen has now.
    constexpr QSize kFirstSize(780, 480);
    constexpr QSize kSmallest(400, 300);
    const QRect saved(
        options_.ReadInteger(prefkeys::MainLeft), options_.ReadInteger(prefkeys::MainTop),
        options_.ReadInteger(prefkeys::MainWidth), options_.ReadInteger(prefkeys::MainHeight));
    const QScreen* screen = saved.isValid() ? QGuiApplication::screenAt(saved.center()) : nullptr;
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        resize(kFirstSize);
        return;
    }
    setGeometry(RestoredPlace(saved, screen->availableGeometry(), kFirstSize, kSmallest));
}

void TMainForm::ShowAsKept() {
    if (options_.ReadBool(prefkeys::MainMaximized))
        showMaximized();
    else
        show();
}

void TMainForm::SaveGeometry() {
    // The place to come back to from a maximised window is its normal one.
    const QRect place = isMaximized() ? normalGeometry() : geometry();
    const std::array<TOptions::TIntegerValue, 5> values = {{
        {prefkeys::MainLeft, place.x()},
        {prefkeys::MainTop, place.y()},
        {prefkeys::MainWidth, place.width()},
        {prefkeys::MainHeight, place.height()},
        {prefkeys::MainMaximized, isMaximized() ? 1 : 0},
    }};
    // Losing the window's place is not worth a message at exit.
    (void)options_.WriteIntegers(values);
}

// ---- Command enabling ---------------------------------------------------------------

TScenariosForm* TMainForm::ActiveProjectWindow() const {
    const QMdiSubWindow* window = mdiArea_->currentSubWindow();
    return window == nullptr ? nullptr : qobject_cast<TScenariosForm*>(window->widget());
}

TScenariosForm* TMainForm::ProjectWindowOf(const TEmfProject& project) const {
    for (QMdiSubWindow* window : mdiArea_->subWindowList())
        if (auto* form = qobject_cast<TScenariosForm*>(window->widget());
            form != nullptr && &form->Project() == &project)
            return form;
    return nullptr;
}

TReptMstr* TMainForm::ActiveReportWindow() const {
    const QMdiSubWindow* window = mdiArea_->currentSubWindow();
    return window == nullptr ? nullptr : qobject_cast<TReptMstr*>(window->widget());
}

void TMainForm::updateMenus() {
    TScenariosForm* project = ActiveProjectWindow();
    const TReptMstr* report = ActiveReportWindow();
    const bool p = project != nullptr;
    const bool r = report != nullptr;
    const bool circuit = p && project->SelectedCircuit() != nullptr;
    const bool points = p && project->InterestPointsSelected();
    const bool section = p && project->CurrentScenario() != nullptr;
    const TMainActions& a = actions_;
    const TMainMenus& m = menus_;

    // Undo and Redo follow the active project window's stack.
    undoGroup_->setActiveStack(p ? &project->UndoStack() : nullptr);
    for (QAction* action : {a.mnPrjEdit, a.mnSave, a.sbSave, a.mnSaveAs})
        action->setEnabled(p);
    m.mnPreviewPrint->menuAction()->setEnabled(p);
    for (const auto& [action, kind] : {std::pair{a.mnFlorida, TReportKind::FloridaCompliance},
                                       std::pair{a.mnTlsa, TReportKind::Tlsa},
                                       std::pair{a.mnEmfDetails, TReportKind::EmfDetails},
                                       std::pair{a.mnBpaDetails, TReportKind::CoronaEffects}})
        action->setEnabled(section && reports_.Available(kind));
    // The map report covers every plan of the project, whatever cross section is current.
    a.mnEmfMap->setEnabled(p && !project->Project().Plans.empty() &&
                           reports_.Available(TReportKind::FieldMap));
    a.mnCreateBpaFile->setEnabled(section);

    m.mnCrossSection->menuAction()->setEnabled(p);
    for (QAction* action :
         {a.mnCsEdit, a.mnCsDelete, a.mnCsClone, a.mnCsOptimise, a.mnCsClearance, a.mnCircNew})
        action->setEnabled(section);
    m.mnCircuit->menuAction()->setEnabled(p);
    for (QAction* action :
         {a.mnCircEdit, a.mnCircDelete, a.mnCircClone, a.mnCircCoords, a.mnCircMirror})
        action->setEnabled(circuit);
    for (QAction* action : {a.mnCopy, a.mnPaste})
        action->setEnabled(section);
    m.mnConductor->menuAction()->setEnabled(circuit);
    m.mnPoi->menuAction()->setEnabled(points);
    m.mnPlan->menuAction()->setEnabled(p);
    const bool plan = p && project->SelectedPlan() != nullptr;
    for (QAction* action : {a.mnPlanEdit, a.mnPlanDelete, a.mnPlanClone})
        action->setEnabled(plan);
    a.mnResultsPanel->setEnabled(p);
    a.mnCloseWindow->setEnabled(mdiArea_->currentSubWindow() != nullptr);
    if (p) a.mnResultsPanel->setChecked(project->ResultsVisible());

    // The report commands only act on a report window; disabled, their keys
    // (PgDn, Ctrl++ ...) stay with the project window's controls.
    m.mnReport->menuAction()->setVisible(r);
    for (QAction* action :
         {a.sbPrint, a.sbZoomIn, a.sbZoomOut, a.sbFullPage, a.sbPageWidth, a.sbReportClose,
          a.mnRepPrint, a.mnRepExportPdf, a.mnZoomIn, a.mnZoomOut, a.mnFullPage, a.mnPageWidth})
        action->setEnabled(r);
    const bool previous = r && report->PageIndex() > 0;
    const bool next = r && report->PageIndex() + 1 < report->PageCount();
    for (QAction* action : {a.sbPrevPage, a.mnRepPrev})
        action->setEnabled(previous);
    for (QAction* action : {a.sbNextPage, a.mnRepNext})
        action->setEnabled(next);
    pagePanel_->setText(
        r ? QStringLiteral("Page %1 of %2").arg(report->PageIndex() + 1).arg(report->PageCount())
          : preferencesStatus_);
    startPage_->UpdateVisibility();
}

void TMainForm::ShowResultsPanels(bool visible) {
    // One choice for every project window, kept for the next start.
    if (TPrefsError error = options_.WriteBool(prefkeys::ResultsPanel, visible))
        SetPreferencesStatus(QString::fromStdString(*error));
    for (QMdiSubWindow* window : mdiArea_->subWindowList())
        if (auto* project = qobject_cast<TScenariosForm*>(window->widget()))
            project->SetResultsVisible(visible);
}

void TMainForm::SetPreferencesStatus(const QString& text) {
    preferencesStatus_ = text;
    updateMenus();
}

// ---- Child windows ------------------------------------------------------------------

TScenariosForm* TMainForm::OpenProjectWindow(std::unique_ptr<TEmfProject> project,
                                             bool newCircuit) {
    TEmfProject& opened = *project;
    projects_.Add(std::move(project));
    auto* form = new TScenariosForm(*this, opened);
    undoGroup_->addStack(&form->UndoStack());
    ShowSubWindow(*mdiArea_->addSubWindow(form));
    form->Open(newCircuit);
    updateMenus();
    return form;
}

bool TMainForm::OpenProjectFile(const QString& path) {
    // A second window on the same file would let one save over the other.
    if (TScenariosForm* open = ProjectWindowOfFile(path)) {
        mdiArea_->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(open->parentWidget()));
        AddRecentFile(path);
        return true;
    }
    std::unique_ptr<TEmfProject> project = LoadProjectFile(path);
    if (project == nullptr) return false;
    project->FileName = ToBytes(path);
    OpenProjectWindow(std::move(project), false);
    AddRecentFile(path);
    return true;
}

bool TMainForm::OpenSampleProject(const QString& path) {
    std::unique_ptr<TEmfProject> project = LoadProjectFile(path);
    if (project == nullptr) return false;
    OpenProjectWindow(std::move(project), false);
    return true;
}

std::unique_ptr<TEmfProject> TMainForm::LoadProjectFile(const QString& path) {
    auto project = std::make_unique<TEmfProject>();
    const TFileResult result = project->Load(ToBytes(path));
    if (!result.Ok) {
        ShowFileError(this, result);
        return nullptr;
    }
    return project;
}

TScenariosForm* TMainForm::ProjectWindowOfFile(const QString& path) const {
    const QString file = QFileInfo(path).canonicalFilePath();
    if (file.isEmpty()) return nullptr;
    for (QMdiSubWindow* window : mdiArea_->subWindowList())
        if (auto* form = qobject_cast<TScenariosForm*>(window->widget());
            form != nullptr &&
            QFileInfo(ToQString(form->Project().FileName)).canonicalFilePath() == file)
            return form;
    return nullptr;
}

// ---- Recent files ---------------------------------------------------------------------

void TMainForm::AddRecentFile(const QString& path) {
    const QString file = QFileInfo(path).absoluteFilePath();
    StoreRecentFiles(WithRecentFile(options_.RecentFiles(), ToBytes(file)));
}

void TMainForm::OpenRecentFile(int index) {
    if (index < 0 || index >= recentFiles_.size()) return;
    const QString path = recentFiles_[index];
    if (!OpenProjectFile(path) && !QFileInfo::exists(path))
        StoreRecentFiles(WithoutRecentFile(options_.RecentFiles(), ToBytes(path)));
}

void TMainForm::ShowStatus(const QString& text) {
    statusBar()->showMessage(text, kStatusMessageMs);
}

void TMainForm::StoreRecentFiles(const std::vector<std::string>& files) {
    // The list is a convenience: a preferences file that cannot be written is
    // worth a word in the status line, not a message box at every open.
    if (const TPrefsError error = options_.SetRecentFiles(files)) ShowStatus(ToQString(*error));
    UpdateRecentFiles();
}

void TMainForm::UpdateRecentFiles() {
    recentFiles_.clear();
    for (const std::string& file : options_.RecentFiles())
        recentFiles_ << ToQString(file);
    const TMainActions& a = actions_;
    for (std::size_t i = 0; i < a.mnRecentFiles.size(); ++i) {
        QAction& recent = *a.mnRecentFiles[i];
        const bool used = static_cast<qsizetype>(i) < recentFiles_.size();
        recent.setVisible(used);
        if (!used) continue;
        const QString& path = recentFiles_[static_cast<qsizetype>(i)];
        // "&" in a file name is no mnemonic.
        const QString name =
            QFileInfo(path).fileName().replace(QLatin1Char('&'), QStringLiteral("&&"));
        recent.setText(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
        recent.setStatusTip(path);
    }
    a.mnRecentSeparator->setVisible(!recentFiles_.isEmpty());
    ShowRecentFilesOnStartPage();
}

void TMainForm::ShowRecentFilesOnStartPage() {
    std::vector<TStartEntry> entries;
    for (std::size_t i = 0; i < actions_.mnRecentFiles.size(); ++i) {
        if (static_cast<qsizetype>(i) >= recentFiles_.size()) break;
        const QFileInfo file(recentFiles_[static_cast<qsizetype>(i)]);
        entries.push_back({actions_.mnRecentFiles[i], file.fileName(),
                           QDir::toNativeSeparators(file.absolutePath())});
    }
    startPage_->SetEntries(TStartPage::TSection::Recent, entries);
}

// ---- Drag and drop ----------------------------------------------------------------------

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedProjectFiles(*event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
    const QStringList files = DroppedProjectFiles(*event->mimeData());
    if (files.isEmpty()) return;
    event->acceptProposedAction();
    for (const QString& file : files)
        OpenProjectFile(file);
}

QString TMainForm::NewPageFile() {
    // Each report window has its own page file, so that one window's run never
    // changes another's; all of them live in this run's private folder.
    ++pageFiles_;
    const QString name = pageFiles_ == 1 ? QStringLiteral("temp.rpt")
                                         : QStringLiteral("temp-%1.rpt").arg(pageFiles_);
    if (!pageFolder_.IsValid()) return name;
    return QDir(QFile::decodeName(QByteArray::fromStdString(pageFolder_.Path()))).filePath(name);
}

TReptMstr* TMainForm::OpenReportWindow(TEmfProject& project, TScenario* scenario,
                                       TReportKind kind) {
    if (!reports_.Available(kind)) return nullptr;
    const QString pageFile = NewPageFile();
    // Computing gives the points of interest their result indices. That is no
    // change the user made: a project unchanged before stays unchanged (a save
    // still stores the new indices).
    const bool wasUnchanged = !project.IsModified();
    TOpenedReport outcome;
    {
        const TBusyCursor hourglass;
        outcome = reports_.Open(project, scenario, kind, pageFile, [this](int page) {
            statusBar()->showMessage(PageStatusText(page));
            statusBar()->repaint(); // the layout runs without the event loop
        });
        statusBar()->clearMessage();
    }
    if (wasUnchanged) project.Save(TEmfProject::kOriginalData);
    if (TScenariosForm* form = ProjectWindowOf(project)) form->UpdateModified();
    switch (outcome.Outcome) {
    case TOpenedReport::TOutcome::CheckFailed:
        errorForm_->ShowFindings(outcome.Findings);
        Prompts().Exec(*errorForm_);
        if (const std::optional<TCheckPlace>& chosen = errorForm_->ChosenConductor())
            ShowConductor(project, *chosen);
        return nullptr;
    case TOpenedReport::TOutcome::Failed:
        ShowError(this, outcome.Error);
        return nullptr;
    case TOpenedReport::TOutcome::Pages:
        break;
    }
    auto* report =
        new TReptMstr(*this, project, scenario, kind, std::move(outcome.Pages), pageFile);
    ShowSubWindow(*mdiArea_->addSubWindow(report));
    report->StartPreview();
    updateMenus();
    return report;
}

void TMainForm::CloseReportWindowsOf(const TEmfProject& project) {
    for (QMdiSubWindow* window : mdiArea_->subWindowList())
        if (const auto* report = qobject_cast<TReptMstr*>(window->widget());
            report != nullptr && &report->Project() == &project)
            window->close();
}

void TMainForm::ShowConductor(const TEmfProject& project, const TCheckPlace& place) {
    TScenariosForm* form = ProjectWindowOf(project);
    if (form == nullptr) return;
    mdiArea_->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(form->parentWidget()));
    // The circuit's node lists its conductors in circuit order.
    form->ShowPlace({place.Scenario, place.Circuit + 1, place.Conductor});
    form->Grid().setFocus();
}

void TMainForm::ForwardToReport(void (TReptMstr::*command)()) {
    if (TReptMstr* report = ActiveReportWindow()) (report->*command)();
}

void TMainForm::ForwardToProject(void (TScenariosForm::*command)()) {
    if (TScenariosForm* form = ActiveProjectWindow()) (form->*command)();
}

void TMainForm::UpdateWindowMenu() {
    QMenu& menu = *menus_.mnWindow;
    menu.clear();
    AddActions(menu,
               {actions_.mnTile, actions_.mnCascade, actions_.mnArrange, actions_.mnCloseWindow});
    const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList();
    if (!windows.isEmpty()) menu.addSeparator();
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows[i];
        const QString text = (i < 9 ? QStringLiteral("&%1 ") : QStringLiteral("%1 ")).arg(i + 1) +
                             ShownTitle(*window);
        QAction* item = menu.addAction(text);
        item->setCheckable(true);
        item->setChecked(window == mdiArea_->currentSubWindow());
        connect(item, &QAction::triggered, this, [this, target = QPointer(window)] {
            if (target != nullptr) mdiArea_->setActiveSubWindow(target);
        });
    }
}

void TMainForm::ShowSubWindow(QMdiSubWindow& window) {
    window.setAttribute(Qt::WA_DeleteOnClose);
    // Window, Close holds the keys that close the active window; the same
    // keys on the window's own menu would make them ambiguous, and then
    // neither acts.
    if (QMenu* own = window.systemMenu())
        for (QAction* action : own->actions())
            for (const QKeySequence& key : actions_.mnCloseWindow->shortcuts())
                if (action->shortcuts().contains(key)) action->setShortcuts({});
    // Each further window a little lower and to the right, so that the earlier
    // ones still show their title bars.
    const QMdiSubWindow* active = mdiArea_->activeSubWindow();
    const bool maximized = isMaximized() || (active != nullptr && active->isMaximized());
    window.setGeometry(StaggeredPlace(static_cast<int>(mdiArea_->subWindowList().size()) - 1,
                                      mdiArea_->viewport()->size()));
    // A maximized main window gives the workspace to the window opened in it.
    if (maximized)
        window.showMaximized();
    else
        window.show();
    mdiArea_->setActiveSubWindow(&window);
}

void TMainForm::mnTileClick() {
    mdiArea_->tileSubWindows();
    KeepSubWindowsInside();
}

void TMainForm::mnCascadeClick() {
    mdiArea_->cascadeSubWindows();
    KeepSubWindowsInside();
}

void TMainForm::KeepSubWindowsInside() {
    const QRect area(QPoint(0, 0), mdiArea_->viewport()->size());
    for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
        if (window->isMinimized() || window->isMaximized() || !window->isVisible()) continue;
        const QRect inside = KeptInside(window->geometry(), area);
        if (inside != window->geometry()) window->setGeometry(inside);
    }
}

void TMainForm::mnArrangeAllClick() {
    // Minimized windows in a row along the bottom of the area.
    int x = 0;
    const int bottom = mdiArea_->viewport()->height();
    for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
        if (!window->isMinimized()) continue;
        const QSize size = window->size();
        if (x > 0 && x + size.width() > mdiArea_->viewport()->width()) x = 0;
        window->move(x, bottom - size.height());
        x += size.width();
    }
}

// ---- Start-up -------------------------------------------------------------------------

void TMainForm::StartWith(const QStringList& arguments) {
    if (arguments.isEmpty()) return; // the start page is in view
    const QString path = arguments.front();
    QMetaObject::invokeMethod(
        this, [this, path] { OpenFromCommandLine(path); }, Qt::QueuedConnection);
}

void TMainForm::OpenFromCommandLine(const QString& path) {
    // As File, Open does: a file that is not there, or cannot be read, says so.
    OpenProjectFile(path);
}

// ---- Project commands -----------------------------------------------------------------

void TMainForm::mnNewClick() {
    std::unique_ptr<TEmfProject> project = dialogs_.NewProject(this);
    if (project == nullptr) return;
    // A project needs a cross section; what was typed for it is discarded
    // only when the user says so.
    std::unique_ptr<TScenario> scenario;
    while ((scenario = dialogs_.NewScenario(*project, this)) == nullptr)
        if (AskYesNo(this, DiscardNewProjectQuestion(*project), QStringLiteral("New Project")))
            return;
    project->Scenarios.Add(std::move(scenario));
    OpenProjectWindow(std::move(project), true);
}

void TMainForm::mnOpenClick() {
    TFileRequest request;
    request.Caption = QStringLiteral("Open");
    request.Filter = QString::fromLatin1(kProjectFilter);
    request.FileName = StartFolder(options_, TFileKind::Project);
    const QString chosen = Prompts().OpenFileName(this, request);
    if (chosen.isEmpty()) return;
    RememberFolder(options_, TFileKind::Project, chosen);
    OpenProjectFile(OpenFileNameWithDefault(chosen));
}

void TMainForm::mnSaveClick() {
    if (TScenariosForm* form = ActiveProjectWindow()) form->SaveProject();
}

void TMainForm::mnSaveAsClick() {
    if (TScenariosForm* form = ActiveProjectWindow()) form->SaveProjectAs();
}

QString TMainForm::AskProjectFileName(QWidget* parent, const TEmfProject& project) {
    // A saved project's own file; a new one's title, where projects were last saved.
    const QString file = ToQString(project.FileName);
    TFileRequest request;
    request.Caption = QStringLiteral("Save As");
    request.Filter = QString::fromLatin1(kProjectFilter);
    request.FileName = TrimmedRight(file).isEmpty()
                           ? ProposedFile(options_, TFileKind::Project, ToQString(project.Title),
                                          QStringLiteral("project"), kProjectExtension)
                           : file;
    request.DefaultSuffix = QStringLiteral("emf");
    const QString chosen = Prompts().SaveFileName(parent, request);
    RememberFolder(options_, TFileKind::Project, chosen);
    return chosen;
}

QString TMainForm::AskBpaFileName(QWidget* parent, const TScenario& scenario) {
    TFileRequest request;
    request.Caption = QStringLiteral("BPA File Name");
    request.Filter = QStringLiteral("bpa (*.bpa);;csv (*.csv);;txt (*.txt)");
    request.FileName =
        ProposedFile(options_, TFileKind::Bpa, ExportTitle(scenario), QStringLiteral("corvalt"),
                     QStringLiteral(".bpa"), ProjectFolder(*scenario.Project));
    request.DefaultSuffix = QStringLiteral("bpa");
    const QString chosen = Prompts().SaveFileName(parent, request);
    RememberFolder(options_, TFileKind::Bpa, chosen);
    return chosen;
}

void TMainForm::mnReportClick(TReportKind kind) {
    if (TScenariosForm* form = ActiveProjectWindow()) form->RunReport(kind);
}

void TMainForm::mnCreateBpaFileClick() {
    TScenariosForm* form = ActiveProjectWindow();
    if (form == nullptr) return;
    if (AskYesNo(this, QString::fromLatin1(kBpaNote), QStringLiteral("Create BPA File")))
        form->ExportBpaFile();
}

void TMainForm::mnPrintSetupClick() {
    // Without an installed printer Qt prints to PDF files, which have no setup.
    if (Printer().outputFormat() != QPrinter::NativeFormat) {
        ShowInformation(this, QStringLiteral("No printer is installed. Reports can still be "
                                             "printed to a PDF file from the print dialog, or "
                                             "saved with Export PDF."));
        return;
    }
    QPageSetupDialog dialog(&Printer(), this);
    Prompts().Exec(dialog);
}

void TMainForm::mnPreferencesClick() {
    if (!dialogs_.EditPreferences(this)) return;
    const TFieldLimits limits = options_.FieldLimits();
    if (limits == fieldLimits_) return;
    fieldLimits_ = limits;
    for (QMdiSubWindow* window : mdiArea_->subWindowList())
        if (auto* project = qobject_cast<TScenariosForm*>(window->widget()))
            project->ShowFieldLimitsChange();
}

void TMainForm::mnUserGuideClick() {
    ShowHelp(*this, QString::fromLatin1(kGuideContents));
}

void TMainForm::mnAboutClick() {
    const std::unique_ptr<QDialog> about = CreateAboutBox(this);
    Prompts().Exec(*about);
}

void TMainForm::sbPrintClick() {
    TReptMstr* report = ActiveReportWindow();
    if (report == nullptr) return;
    busy_ = true;
    report->tbPrintClick();
    busy_ = false;
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // Every project window is asked about its changes before any window
    // closes; one Cancel (or a failed save) keeps them all open.
    const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList();
    for (QMdiSubWindow* window : windows) {
        auto* form = qobject_cast<TScenariosForm*>(window->widget());
        if (form != nullptr && !form->CloseQuery()) {
            event->ignore();
            return;
        }
    }
    for (QMdiSubWindow* window : windows) {
        if (auto* form = qobject_cast<TScenariosForm*>(window->widget()))
            form->CloseAgreed();
        else
            window->close();
    }
    if (!mdiArea_->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    SaveGeometry();
    event->accept();
}

} // namespace corvalt::ui
