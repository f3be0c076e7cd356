#pragma once
// The editing dialogs as the main window and the project window call them: one
// function per dialog and mode. The program passes TProgramDialogs; window tests
// pass their own answers, so the windows' steps run without a modal dialog.
// A New function returns the object created on OK (its owner's list does not
// hold it yet; a new conductor is already in its cross section's Conductors),
// nullptr on Cancel (NewCircuits: every circuit made, two for a double-circuit
// structure, none on Cancel); an Edit function returns whether OK was pressed.

#include <memory>
#include <vector>

class QWidget;

namespace corvalt {
class TOptions;
class TEmfProject;
class TScenario;
class TCircuit;
class TConductor;
class TInterestPoint;
} // namespace corvalt

namespace corvalt::ui {

class TEditDialogs {
  public:
    virtual ~TEditDialogs() = default;

    virtual std::unique_ptr<TEmfProject> NewProject(QWidget* parent) = 0;
    virtual bool EditProject(TEmfProject& project, QWidget* parent) = 0;
    virtual std::unique_ptr<TScenario> NewScenario(TEmfProject& project, QWidget* parent) = 0;
    virtual bool EditScenario(TScenario& scenario, QWidget* parent) = 0;
    virtual std::vector<std::unique_ptr<TCircuit>> NewCircuits(TScenario& scenario,
                                                               QWidget* parent) = 0;
    virtual bool EditCircuit(TCircuit& circuit, QWidget* parent) = 0;
    virtual bool EditCoordinates(TCircuit& circuit, QWidget* parent) = 0;
    virtual std::unique_ptr<TConductor> NewConductor(TCircuit& circuit, QWidget* parent) = 0;
    virtual bool EditConductor(TConductor& conductor, QWidget* parent) = 0;
    virtual std::unique_ptr<TInterestPoint> NewPoint(TScenario& scenario, QWidget* parent) = 0;
    virtual bool EditPoint(TInterestPoint& point, QWidget* parent) = 0;
    virtual bool EditPreferences(QWidget* parent) = 0;
};

// The program's modal dialogs, proposing values from the preferences.
class TProgramDialogs : public TEditDialogs {
  public:
    explicit TProgramDialogs(TOptions& options) : options_(options) {}

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

  private:
    TOptions& options_;
};

} // namespace corvalt::ui
