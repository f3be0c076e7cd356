#include "ui/windows/MainForm.h"

#include "engine/PageCanvas.h"
#include "prefs/Options.h"
#include "ui/app/EditDialogs.h"
#include "ui/app/ProjectFiles.h"
#include "ui/app/Prompts.h"
#include "ui/app/ReportService.h"
#include "ui/windows/ReptMstr.h"
#include "ui/windows/RptErrorForm.h"
#include "ui/windows/ScenariosForm.h"
#include "ui/app/TextConvert.h"
#include "ui/windows/ToolIcons.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace corvalt::ui {
namespace {

const char* const kBpaNote = "NOTE:\n\nBPA program variables unrelated to EMF must be set in\n"
                             "the exported data file for calculations to be accurate\n\n"
                             "Do you want to continue?";

// The hourglass while a command computes; the normal cursor again afterwards.
class TBusyCursor {
  public:
    TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

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
    : QMainWindow(parent), options_(options), dialogs_(dialogs), reports_(reports) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Corvalt"));
    mdiArea_ = new QMdiArea;
    mdiArea_->setObjectName(QStringLiteral("MdiArea"));
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    ApplyVisibilityPreferences();
    resize(780, 480);
    CenterOnScreen();
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, &TMainForm::updateMenus);
    errorForm_ = new TRptErrorForm(this); // hidden until a data check fails
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

QAction* TMainForm::NewAction(const char* name, const QString& text, const QString& hint) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty()) {
        action->setStatusTip(hint);
        action->setToolTip(hint);
    }
    return action;
}

QMenu* TMainForm::NewMenu(const char* name, const QString& title, QWidget* parent) {
    auto* menu = new QMenu(title, parent);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction* TMainForm::Action(const QString& name) const {
    return findChild<QAction*>(name);
}

QMenu* TMainForm::Menu(const QString& name) const {
    return findChild<QMenu*>(name);
}

void TMainForm::CreateActions() {
    auto forward = [this](const char* name, const QString& text, const QString& hint,
                          auto command) {
        QAction* action = NewAction(name, text, hint);
        connect(action, &QAction::triggered, this, command);
        return action;
    };
    using M = TMainForm;
    using P = TScenariosForm;
    using R = TReptMstr;

    // Project menu.
    forward("mnNew", "&New...", "Create a new file", &M::mnNewClick)
        ->setShortcut(QKeySequence::New);
    forward("mnPrjEdit", "Edit...", {}, [this] { ForwardToProject(&P::EditProject); });
    forward("mnOpen", "&Open...", "Open an existing file", &M::mnOpenClick)
        ->setShortcut(QKeySequence::Open);
    forward("mnSave", "&Save", "Save current file", &M::mnSaveClick)
        ->setShortcut(QKeySequence::Save);
    forward("mnSaveAs", "Save &As...", "Save current file under a new name", &M::mnSaveAsClick);
    using K = TReportKind;
    forward("mnFlorida", "&Florida Compliance", {},
            [this] { mnReportClick(K::FloridaCompliance); });
    forward("mnTlsa", "&TLSA Exemption", {}, [this] { mnReportClick(K::Tlsa); });
    forward("mnEmfDetails", "&EMF Details", {}, [this] { mnReportClick(K::EmfDetails); });
    forward("mnBpaDetails", "&BPA Details", {}, [this] { mnReportClick(K::CoronaEffects); });
    forward("mnCreateBpaFile", "Create BPA File", {}, &M::mnCreateBpaFileClick);
    forward("mnPrintSetup", "P&rint Setup...", "Change printer setup", &M::mnPrintSetupClick);
    forward("mnPreferences", "Pre&ferences...", {}, &M::mnPreferencesClick);
    forward("mnExit", "E&xit", "Exit this application", &QWidget::close);

    // Object menus.
    forward("mnCsNew", "&New...", {}, [this] {
        if (TScenariosForm* form = ActiveProjectWindow()) form->NewScenario(false);
    });
    forward("mnCsEdit", "&Edit...", {}, [this] { ForwardToProject(&P::EditScenario); });
    forward("mnCsDelete", "&Delete", {}, [this] { ForwardToProject(&P::DeleteScenario); });
    forward("mnCsClone", "Clone", {}, [this] { ForwardToProject(&P::CloneScenario); });
    forward("mnCircNew", "New...", {}, [this] { ForwardToProject(&P::NewCircuit); });
    forward("mnCircEdit", "Edit...", {}, [this] { ForwardToProject(&P::EditCircuit); });
    forward("mnCircDelete", "Delete...", {}, [this] { ForwardToProject(&P::DeleteCircuit); });
    forward("mnCircClone", "Clone", {}, [this] { ForwardToProject(&P::CloneCircuit); });
    forward("mnCircCoords", "Coordinates...", {},
            [this] { ForwardToProject(&P::EditCoordinates); });
    forward("mnCondNew", "New...", {}, [this] { ForwardToProject(&P::NewConductor); });
    forward("mnCondEdit", "Edit...", {}, [this] { ForwardToProject(&P::EditConductor); });
    forward("mnCondDelete", "Delete...", {}, [this] { ForwardToProject(&P::DeleteConductor); });
    forward("mnPoiNew", "New...", {}, [this] { ForwardToProject(&P::NewPoint); });
    forward("mnPoiEdit", "Edit...", {}, [this] { ForwardToProject(&P::EditPoint); });
    forward("mnPoiDelete", "Delete..", {}, [this] { ForwardToProject(&P::DeletePoint); });

    // Report menu (forwarded to the active report window).
    forward("mnRepPrint", "Review / &Print", {}, [this] { ForwardToReport(&R::tbPrintClick); });
    forward("mnRepExportPdf", "Export PDF...", "Save the report as a PDF file",
            [this] { ForwardToReport(&R::tbExportPdfClick); });
    forward("mnRepPrev", "Previous Page", {}, [this] { ForwardToReport(&R::tbPreviousClick); });
    forward("mnRepNext", "Next Page", {}, [this] { ForwardToReport(&R::tbNextClick); });
    forward("mnZoomIn", "Zoom In", {}, [this] { ForwardToReport(&R::tbZoomInClick); });
    forward("mnZoomOut", "Zoom Out", {}, [this] { ForwardToReport(&R::tbZoomOutClick); });
    forward("mnFullPage", "Full Page", {}, [this] { ForwardToReport(&R::tbPageClick); });
    forward("mnPageWidth", "Page Width", {}, [this] { ForwardToReport(&R::tbWidthClick); });

    // Window and Help menus.
    forward("mnTile", "&Tile", "Tile all windows", [this] { mdiArea_->tileSubWindows(); });
    forward("mnCascade", "&Cascade", "Cascade all windows",
            [this] { mdiArea_->cascadeSubWindows(); });
    forward("mnArrange", "&Arrange All", "Arrange minimized windows", &M::mnArrangeAllClick);
    forward("mnAbout", "&About...", "Show program information", &M::mnAboutClick);

    // Tool bar buttons, with their own hints.
    forward("sbNew", "New", "New Project", &M::mnNewClick);
    forward("sbOpen", "Open", "Open Project", &M::mnOpenClick);
    forward("sbSave", "Save", "Save Project", &M::mnSaveClick);
    forward("sbPrint", "Print", "Print Report", &M::sbPrintClick);
    forward("sbZoomIn", "Zoom In", "Zoom In", [this] { ForwardToReport(&R::tbZoomInClick); });
    forward("sbZoomOut", "Zoom Out", "Zoom Out", [this] { ForwardToReport(&R::tbZoomOutClick); });
    forward("sbFullPage", "Full Page", "Full Page View",
            [this] { ForwardToReport(&R::tbPageClick); });
    forward("sbPageWidth", "Page Width", "Full Width View",
            [this] { ForwardToReport(&R::tbWidthClick); });
    forward("sbPrevPage", "Previous Page", "Previous Page",
            [this] { ForwardToReport(&R::tbPreviousClick); });
    forward("sbNextPage", "Next Page", "Next Page", [this] { ForwardToReport(&R::tbNextClick); });
    forward("sbReportClose", "Close", "Close Report", [this] { ForwardToReport(&R::tbExitClick); });
}

void TMainForm::CreateMenus() {
    QMenuBar* bar = menuBar();
    auto add = [this](QMenu* menu, std::initializer_list<const char*> names) {
        for (const char* name : names) {
            if (name[0] == '-')
                menu->addSeparator();
            else
                menu->addAction(Action(QString::fromLatin1(name)));
        }
    };

    QMenu* project = NewMenu("mnProject", QStringLiteral("&Project"), bar);
    add(project, {"mnNew", "mnPrjEdit", "mnOpen", "mnSave", "mnSaveAs", "-"});
    QMenu* preview = NewMenu("mnPreviewPrint", QStringLiteral("&Preview / Print"), project);
    preview->menuAction()->setStatusTip(QStringLiteral("Print current file"));
    add(preview, {"mnFlorida", "mnTlsa", "-", "mnEmfDetails", "mnBpaDetails"});
    QAction* bpaSeparator = preview->addSeparator();
    bpaSeparator->setObjectName(QStringLiteral("mnBpaFileSeparator"));
    add(preview, {"mnCreateBpaFile"});
    project->addMenu(preview);
    add(project, {"mnPrintSetup", "mnPreferences", "-", "mnExit"});
    bar->addMenu(project);

    QMenu* section = NewMenu("mnCrossSection", QStringLiteral("&CrossSection"), bar);
    add(section, {"mnCsNew", "mnCsEdit", "mnCsDelete", "mnCsClone"});
    bar->addMenu(section);
    QMenu* circuit = NewMenu("mnCircuit", QStringLiteral("Circ&uit"), bar);
    add(circuit, {"mnCircNew", "mnCircEdit", "mnCircDelete", "mnCircClone", "mnCircCoords"});
    bar->addMenu(circuit);
    QMenu* conductor = NewMenu("mnConductor", QStringLiteral("C&onductor"), bar);
    add(conductor, {"mnCondNew", "mnCondEdit", "mnCondDelete"});
    bar->addMenu(conductor);
    QMenu* point = NewMenu("mnPoi", QStringLiteral("Point Of &Interest"), bar);
    add(point, {"mnPoiNew", "mnPoiEdit", "mnPoiDelete"});
    bar->addMenu(point);

    QMenu* report = NewMenu("mnReport", QStringLiteral("&Report"), bar);
    add(report, {"mnRepPrint", "mnRepExportPdf", "-", "mnRepPrev", "mnRepNext"});
    QMenu* zoom = NewMenu("mnZoom", QStringLiteral("Zoom"), report);
    add(zoom, {"mnZoomIn", "mnZoomOut", "mnFullPage", "mnPageWidth"});
    report->addMenu(zoom);
    bar->addMenu(report);

    mnWindow_ = NewMenu("mnWindow", QStringLiteral("&Window"), bar);
    connect(mnWindow_, &QMenu::aboutToShow, this, &TMainForm::UpdateWindowMenu);
    UpdateWindowMenu();
    bar->addMenu(mnWindow_);
    QMenu* help = NewMenu("mnHelp", QStringLiteral("&Help"), bar);
    add(help, {"mnAbout"});
    bar->addMenu(help);
}

void TMainForm::CreateToolBar() {
    toolBar_ = addToolBar(QStringLiteral("Tools"));
    toolBar_->setObjectName(QStringLiteral("ToolBar"));
    toolBar_->setMovable(false);
    toolBar_->setIconSize(QSize(20, 20));
    for (const char* name :
         {"sbNew", "sbOpen", "sbSave", "-", "sbPrint", "sbZoomIn", "sbZoomOut", "sbFullPage",
          "sbPageWidth", "sbPrevPage", "sbNextPage", "sbReportClose", "-"}) {
        if (name[0] == '-') {
            toolBar_->addSeparator();
            continue;
        }
        QAction* action = Action(QString::fromLatin1(name));
        const QIcon icon = ToolIcon(QString::fromLatin1(name));
        if (!icon.isNull()) action->setIcon(icon);
        toolBar_->addAction(action);
        // The Close button shows its text; the others their glyph.
        if (auto* button = qobject_cast<QToolButton*>(toolBar_->widgetForAction(action)))
            button->setToolButtonStyle(icon.isNull() ? Qt::ToolButtonTextOnly
                                                     : Qt::ToolButtonIconOnly);
    }
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
    Action(QStringLiteral("mnBpaDetails"))->setVisible(options_.BPADetails());
    const bool bpaFile = options_.BPAFile();
    Action(QStringLiteral("mnBpaFileSeparator"))->setVisible(bpaFile);
    Action(QStringLiteral("mnCreateBpaFile"))->setVisible(bpaFile);
}

void TMainForm::CenterOnScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

// ---- Command enabling ---------------------------------------------------------------

TScenariosForm* TMainForm::ActiveProjectWindow() const {
    const QMdiSubWindow* window = mdiArea_->currentSubWindow();
    return window == nullptr ? nullptr : qobject_cast<TScenariosForm*>(window->widget());
}

TReptMstr* TMainForm::ActiveReportWindow() const {
    const QMdiSubWindow* window = mdiArea_->currentSubWindow();
    return window == nullptr ? nullptr : qobject_cast<TReptMstr*>(window->widget());
}

void TMainForm::updateMenus() {
    const TScenariosForm* project = ActiveProjectWindow();
    const TReptMstr* report = ActiveReportWindow();
    const bool p = project != nullptr;
    const bool r = report != nullptr;
    const bool circuit = p && project->SelectedCircuit() != nullptr;
    const bool points = p && project->InterestPointsSelected();
    const bool section = p && project->CurrentScenario() != nullptr;
    auto enable = [this](const char* name, bool on) {
        Action(QString::fromLatin1(name))->setEnabled(on);
    };
    auto enableMenu = [this](const char* name, bool on) {
        Menu(QString::fromLatin1(name))->menuAction()->setEnabled(on);
    };

    enable("mnPrjEdit", p);
    enable("mnSave", p);
    enable("sbSave", p);
    enable("mnSaveAs", p);
    enableMenu("mnPreviewPrint", p);
    for (const auto& [name, kind] : {std::pair{"mnFlorida", TReportKind::FloridaCompliance},
                                     std::pair{"mnTlsa", TReportKind::Tlsa},
                                     std::pair{"mnEmfDetails", TReportKind::EmfDetails},
                                     std::pair{"mnBpaDetails", TReportKind::CoronaEffects}})
        enable(name, section && reports_.Available(kind));
    enable("mnCreateBpaFile", section);

    enableMenu("mnCrossSection", p);
    enable("mnCsEdit", section);
    enable("mnCsDelete", section);
    enable("mnCsClone", section);
    enableMenu("mnCircuit", p);
    enable("mnCircNew", section);
    enable("mnCircEdit", circuit);
    enable("mnCircDelete", circuit);
    enable("mnCircClone", circuit);
    enable("mnCircCoords", circuit);
    enableMenu("mnConductor", circuit);
    enableMenu("mnPoi", points);

    Menu(QStringLiteral("mnReport"))->menuAction()->setVisible(r);
    for (const char* name :
         {"sbPrint", "sbZoomIn", "sbZoomOut", "sbFullPage", "sbPageWidth", "sbReportClose"})
        enable(name, r);
    enable("sbPrevPage", r && report->PageIndex() > 0);
    enable("sbNextPage", r && report->PageIndex() + 1 < report->PageCount());
    pagePanel_->setText(
        r ? QStringLiteral("Page %1 of %2").arg(report->PageIndex() + 1).arg(report->PageCount())
          : QString());
}

// ---- Child windows ------------------------------------------------------------------

TScenariosForm* TMainForm::OpenProjectWindow(std::unique_ptr<TEmfProject> project,
                                             bool newCircuit) {
    TEmfProject& opened = *project;
    projects_.Add(std::move(project));
    auto* form = new TScenariosForm(*this, opened);
    QMdiSubWindow* window = mdiArea_->addSubWindow(form);
    window->setAttribute(Qt::WA_DeleteOnClose);
    // Each further project window a little lower and to the right, so that the
    // earlier ones still show their title bars.
    const int offset = 24 * ((mdiArea_->subWindowList().size() - 1) % 5);
    const QSize room = mdiArea_->viewport()->size();
    window->setGeometry(offset, offset, std::max(room.width() - 24 - offset, 400),
                        std::max(room.height() - 4 - offset, 260));
    window->show();
    mdiArea_->setActiveSubWindow(window);
    form->Open(newCircuit);
    updateMenus();
    return form;
}

bool TMainForm::OpenProjectFile(const QString& path) {
    auto project = std::make_unique<TEmfProject>();
    const TFileResult result = project->Load(ToBytes(path));
    if (!result.Ok) {
        ShowFileError(this, result);
        return false;
    }
    project->FileName = ToBytes(path);
    OpenProjectWindow(std::move(project), false);
    return true;
}

QString TMainForm::NewPageFile() {
    // Each report window has its own page file, so that one window's run never
    // changes another's; all of them live in this run's private folder.
    ++pageFiles_;
    const QString name = pageFiles_ == 1 ? QStringLiteral("temp.rpt")
                                         : QStringLiteral("temp-%1.rpt").arg(pageFiles_);
    return pageFolder_.isValid() ? pageFolder_.filePath(name) : name;
}

TReptMstr* TMainForm::OpenReportWindow(TEmfProject& project, TScenario* scenario,
                                       TReportKind kind) {
    if (!reports_.Available(kind)) return nullptr;
    const QString pageFile = NewPageFile();
    TOpenedReport outcome;
    {
        const TBusyCursor hourglass;
        outcome = reports_.Open(project, scenario, kind, pageFile, [this](int page) {
            statusBar()->showMessage(PageStatusText(page));
            statusBar()->repaint(); // the layout runs without the event loop
        });
        statusBar()->clearMessage();
    }
    switch (outcome.Outcome) {
    case TOpenedReport::TOutcome::CheckFailed:
        errorForm_->ShowFindings(outcome.Findings);
        Prompts().Exec(*errorForm_);
        return nullptr;
    case TOpenedReport::TOutcome::Failed:
        ShowError(this, outcome.Error);
        return nullptr;
    case TOpenedReport::TOutcome::Pages:
        break;
    }
    auto* report = new TReptMstr(*this, project, kind, std::move(outcome.Pages), pageFile);
    QMdiSubWindow* window = mdiArea_->addSubWindow(report);
    window->setAttribute(Qt::WA_DeleteOnClose);
    const QSize room = mdiArea_->viewport()->size();
    window->setGeometry(0, 0, std::max(room.width() - 24, 300), std::max(room.height() - 4, 200));
    window->show();
    mdiArea_->setActiveSubWindow(window);
    report->StartPreview();
    updateMenus();
    return report;
}

void TMainForm::ForwardToReport(void (TReptMstr::*command)()) {
    if (TReptMstr* report = ActiveReportWindow()) (report->*command)();
}

void TMainForm::ForwardToProject(void (TScenariosForm::*command)()) {
    if (TScenariosForm* form = ActiveProjectWindow()) (form->*command)();
}

void TMainForm::UpdateWindowMenu() {
    mnWindow_->clear();
    for (const char* name : {"mnTile", "mnCascade", "mnArrange"})
        mnWindow_->addAction(Action(QString::fromLatin1(name)));
    const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList();
    if (!windows.isEmpty()) mnWindow_->addSeparator();
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows[i];
        const QString text = (i < 9 ? QStringLiteral("&%1 ") : QStringLiteral("%1 ")).arg(i + 1) +
                             window->windowTitle();
        QAction* item = mnWindow_->addAction(text);
        item->setCheckable(true);
        item->setChecked(window == mdiArea_->currentSubWindow());
        connect(item, &QAction::triggered, this, [this, target = QPointer(window)] {
            if (target != nullptr) mdiArea_->setActiveSubWindow(target);
        });
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
    if (arguments.isEmpty()) {
        mnAboutClick();
        return;
    }
    const QString path = arguments.front();
    QMetaObject::invokeMethod(
        this, [this, path] { OpenFromCommandLine(path); }, Qt::QueuedConnection);
}

void TMainForm::OpenFromCommandLine(const QString& path) {
    // A file that is not there is passed over without a message.
    if (!QFileInfo(path).isFile()) return;
    OpenProjectFile(path);
}

// ---- Project commands -----------------------------------------------------------------

void TMainForm::mnNewClick() {
    std::unique_ptr<TEmfProject> project = dialogs_.NewProject(this);
    if (project == nullptr) return;
    std::unique_ptr<TScenario> scenario = dialogs_.NewScenario(*project, this);
    if (scenario == nullptr) return; // the new project is discarded
    project->Scenarios.Add(std::move(scenario));
    OpenProjectWindow(std::move(project), true);
}

void TMainForm::mnOpenClick() {
    TFileRequest request;
    request.Caption = QStringLiteral("Open");
    request.Filter = QString::fromLatin1(kProjectFilter);
    const QString chosen = Prompts().OpenFileName(this, request);
    if (chosen.isEmpty()) return;
    OpenProjectFile(OpenFileNameWithDefault(chosen));
}

void TMainForm::mnSaveClick() {
    if (TScenariosForm* form = ActiveProjectWindow()) form->SaveProject();
}

void TMainForm::mnSaveAsClick() {
    if (TScenariosForm* form = ActiveProjectWindow()) form->SaveProjectAs();
}

QString TMainForm::AskProjectFileName(QWidget* parent, const QString& proposed) {
    TFileRequest request;
    request.Caption = QStringLiteral("Save As");
    request.Filter = QString::fromLatin1(kProjectFilter);
    request.FileName = proposed;
    request.DefaultSuffix = QStringLiteral("emf");
    return Prompts().SaveFileName(parent, request);
}

QString TMainForm::AskBpaFileName(QWidget* parent) {
    TFileRequest request;
    request.Caption = QStringLiteral("BPA File Name");
    request.Filter = QStringLiteral("bpa (*.bpa);;csv (*.csv);;txt (*.txt)");
    request.FileName = QStringLiteral("corvalt.bpa");
    request.DefaultSuffix = QStringLiteral("bpa");
    return Prompts().SaveFileName(parent, request);
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
    dialogs_.EditPreferences(this);
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
    event->accept();
}

} // namespace corvalt::ui
