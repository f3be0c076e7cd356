#pragma once
// TNewPlanDialog ("New Plan"): the start of a new plan, either a cross
// section's line strung along a route of structure positions (space::BuildSpans)
// or an empty plan with a grid around the origin; either must pass the field
// map's checks (space/MapModel.h). The route is typed or
// pasted as x,y pairs, one per line or separated by ";" (a block copied from
// two spreadsheet columns works too); lengths are in the project's units. OK
// keeps the dialog open and says why when the name is taken or the engine
// refuses the layout.
//
//   TNewPlanDialog dialog(project, parent);
//   if (Prompts().Exec(dialog) == QDialog::Accepted) project.StorePlan(dialog.Plan());

#include "model/Plan.h"

#include <QDialog>

#include <optional>
#include <variant>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace corvalt {
class TEmfProject;
}

namespace corvalt::ui {

// The points of a route: "x,y" or "x<Tab>y" pairs separated by line breaks
// or ";", blanks around numbers and empty lines ignored; "." is the decimal
// point. Otherwise the text saying which point is not a pair of numbers.
std::variant<std::vector<TPlanCorner>, QString> ParseRoute(const QString& text);

// A name no plan of the project has yet: "Plan 1", "Plan 2", ... or the
// stem with " (2)", " (3)" ... appended when the stem itself is taken.
std::string UnusedPlanName(const TEmfProject& project, const std::string& stem);

// Why the name cannot name a new plan of the project (empty, too long,
// taken); nothing when it can.
std::optional<QString> PlanNameRefusal(const TEmfProject& project, const std::string& name);

class TNewPlanDialog : public QDialog {
    Q_OBJECT
  public:
    explicit TNewPlanDialog(const TEmfProject& project, QWidget* parent = nullptr);

    // The widgets, for the window tests.
    QLineEdit& NameField() const { return *edName_; }
    QRadioButton& FromSectionButton() const { return *rbFromSection_; }
    QRadioButton& EmptyButton() const { return *rbEmpty_; }
    QComboBox& SectionCombo() const { return *cbSection_; }
    QPlainTextEdit& RouteField() const { return *edRoute_; }
    QRadioButton& AtRoutePointsButton() const { return *rbAtPoints_; }
    QRadioButton& SpanLengthButton() const { return *rbSpanLength_; }
    QLineEdit& SpanLengthField() const { return *edSpanLength_; }
    QLineEdit& SagField() const { return *edSag_; }
    QLabel& MessageLabel() const { return *lbMessage_; }

    // The plan OK made; a default plan before.
    const TPlan& Plan() const { return plan_; }

    // Makes the plan from the widgets and closes the dialog; when it cannot,
    // the message line says why and the dialog stays.
    void accept() override;

  private:
    // The plan of the widgets, or why there is none.
    std::variant<TPlan, QString> MakePlan() const;
    std::variant<TPlan, QString> PlanFromSection() const;
    TPlan EmptyPlan() const;
    void UpdateEnabled();

    const TEmfProject& project_;
    TPlan plan_;
    QLineEdit* edName_ = nullptr;
    QRadioButton* rbFromSection_ = nullptr;
    QRadioButton* rbEmpty_ = nullptr;
    QComboBox* cbSection_ = nullptr;
    QPlainTextEdit* edRoute_ = nullptr;
    QRadioButton* rbAtPoints_ = nullptr;
    QRadioButton* rbSpanLength_ = nullptr;
    QLineEdit* edSpanLength_ = nullptr;
    QLineEdit* edSag_ = nullptr;
    QLabel* lbMessage_ = nullptr;
    std::vector<QWidget*> sectionWidgets_; // enabled with "From cross section"
};

} // namespace corvalt::ui
