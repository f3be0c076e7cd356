#pragma once
// TSectionMapView: the results panel's map of the cross section's plane. E or
// B over lateral distance × height (from the ground to above the highest
// conductor) as a colour map with the field limits as iso-lines, and, after a
// click on the map, the height profile at that distance: E and B against
// height (the field at a balcony or a second floor). Both come from the
// cross section's own charges and currents and the profile's field formulas.
// The map is computed when it is first shown after a change.

#include "compute/CalcErrors.h"
#include "compute/SectionMap.h"
#include "model/FieldLimitTable.h"

#include <QWidget>

#include <optional>
#include <vector>

class QCheckBox;
class QChartView;
class QComboBox;
class QLabel;

namespace corvalt {
class TScenario;
}

namespace corvalt::ui {

class TSectionMapView : public QWidget {
    Q_OBJECT
  public:
    explicit TSectionMapView(QWidget* parent = nullptr);
    ~TSectionMapView() override;

    // The computed cross section to map, or null. The view keeps the
    // pointer: the caller replaces it (or passes null) before freeing it.
    // limits give the iso-lines (the limits of the cross section's class).
    void SetScenario(const TScenario* scenario, const TFieldLimits& limits);

    // The map, computed now if a change left it out of date.
    const TSectionMap& Map();
    // Why the cross section has no map ("" when it has one).
    QString Error();
    // Takes the height profile at lateral position xM (metres), as a click
    // on the map does; the profile's heights (m), E (kV/m) and B (mG).
    void ProbeAt(float xM);
    const TSectionMap& HeightProfile() const { return profile_; }

    QComboBox& QuantityBox() const { return *cbQuantity_; }
    QCheckBox& LogScaleBox() const { return *cbLogScale_; }
    QChartView& HeightChart() const { return *heightChart_; }
    // Where the last paint put the grid, for reading a click (widget pixels).
    QRectF GridRect() const { return gridRect_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    class TCanvas;
    void Recompute();
    void ShowHeightProfile();
    void Paint(QPainter& painter, const QRectF& rect);
    void Clicked(QPointF at);

    const TScenario* scenario_ = nullptr;
    TFieldLimits limits_;
    bool stale_ = false;
    std::vector<TSystemConductor> system_;
    TSectionMap map_;
    TSectionMap profile_;
    std::optional<float> probeXM_;
    QString error_;
    QRectF gridRect_;
    QComboBox* cbQuantity_ = nullptr;
    QCheckBox* cbLogScale_ = nullptr;
    TCanvas* canvas_ = nullptr;
    QLabel* hint_ = nullptr;
    QChartView* heightChart_ = nullptr;
};

} // namespace corvalt::ui
