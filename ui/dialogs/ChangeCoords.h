#pragma once
// TChangeCoords ("Edit Circuit Coordinates"): the horizontal distance and height
// of every conductor of one circuit in one table, in the project's length unit.
// Up and Down move to the field above or below in the same column.
//
//   bool ok = TChangeCoords::EditCoordinates(circuit, options, parent);
//       // OK stores HorizDistance and Height of each conductor; Cancel changes nothing

#include <QDialog>

#include <vector>

class QGridLayout;
class QLabel;
class QScrollArea;

namespace corvalt {
class TCircuit;
class TOptions;
} // namespace corvalt

namespace corvalt::ui {

class TNumberField;
struct TNumberPicture;

// What the dialog takes for a distance or a height, in the project's length
// unit; the project window's grid takes the same.
TNumberPicture CoordinatePicture();

class TChangeCoords : public QDialog {
    Q_OBJECT
  public:
    TChangeCoords(TCircuit& circuit, const TOptions& options, QWidget* parent = nullptr);

    static bool EditCoordinates(TCircuit& circuit, const TOptions& options,
                                QWidget* parent = nullptr);

    // The heading line and one row per conductor; and back into the conductors.
    void ShowValues(const TCircuit& circuit);
    void StoreValues(TCircuit& circuit) const;

    // The fields in table order: distance and height of the first conductor, then
    // of the next. Names "eDistance<i>" and "eHeight<i>", i from 0.
    const std::vector<TNumberField*>& Fields() const { return fields_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateControls();
    void ClearRows();
    void MoveFocus(TNumberField& from, int step);
    void btOKClick();

    TCircuit& circuit_;
    QLabel* lbHeading_ = nullptr;
    QWidget* table_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QGridLayout* rows_ = nullptr;
    std::vector<TNumberField*> fields_;
};

} // namespace corvalt::ui
