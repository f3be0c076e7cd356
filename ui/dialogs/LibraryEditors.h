#pragma once
// The two editors of the preferences dialog's libraries. Each works directly on
// the in-memory library of TOptions: OK inserts the new entry at the position
// (insert mode) or rewrites the entry (edit mode); the preferences dialog later
// saves or, on Cancel, reloads the libraries.
//
//   TVoltageForm form(options.Voltages(), TLibraryEdit::Insert, position, enterAsTab, parent);
//   bool ok = form.exec() == QDialog::Accepted;
//   TCondOhgwForm form(options, TLibraryKind::Conductors, TLibraryEdit::Edit, index,
//                      TUnits::English /* diameters in inches */, enterAsTab, parent);

#include "model/Units.h"
#include "prefs/Libraries.h"

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace corvalt {
class TOptions;
}

namespace corvalt::ui {

class TNumberField;

// Insert: the position is where the new entry goes (0..count, count appends).
// Edit: the position is the entry's index.
enum class TLibraryEdit { Insert, Edit };
enum class TLibraryKind { Voltages, Conductors, Ohgws };

// TVoltageForm ("Voltage Class"): class voltage, over-rate factor and the
// maximum voltage it gives. Refuses a zero class voltage and a class voltage
// that another entry already has.
class TVoltageForm : public QDialog {
    Q_OBJECT
  public:
    TVoltageForm(TSafeList<TVoltItem>& library, TLibraryEdit mode, int position, bool enterAsTab,
                 QWidget* parent = nullptr);

    // The error line ("" when the entry can be stored).
    QString ErrorText() const;

  private:
    void CreateControls();
    void CheckEntry(); // recomputes the maximum and decides OK
    bool IsDuplicate(float voltage) const;
    void btOKClick();

    TSafeList<TVoltItem>& library_;
    TLibraryEdit mode_;
    int position_;
    TNumberField* eVoltage_ = nullptr;
    TNumberField* eFactor_ = nullptr;
    TNumberField* eMaxVoltage_ = nullptr;
    QLabel* lbError_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

// TCondOhgwForm ("Conductor"): a conductor type (name, diameter, MCR) or a
// ground-wire type (name, diameter), the diameter in the library display unit.
// Refuses a blank name, a name starting with a blank, a quote or a backslash,
// and a name that another entry of the same library already has.
class TCondOhgwForm : public QDialog {
    Q_OBJECT
  public:
    // kind is Conductors or Ohgws; diameterUnits English shows inches, Metric mm.
    TCondOhgwForm(TOptions& options, TLibraryKind kind, TLibraryEdit mode, int position,
                  int diameterUnits, bool enterAsTab, QWidget* parent = nullptr);

    QString ErrorText() const;

  private:
    void CreateControls();
    void ShowEntry();
    void eNameChange(); // decides OK
    bool IsDuplicate(const QString& trimmedName) const;
    void btOKClick();

    TOptions& options_;
    TLibraryKind kind_;
    TLibraryEdit mode_;
    int position_;
    int diameterUnits_;
    QLineEdit* eName_ = nullptr;
    TNumberField* eDiameter_ = nullptr;
    TNumberField* eMCR_ = nullptr;
    QLabel* lbError_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

} // namespace corvalt::ui
