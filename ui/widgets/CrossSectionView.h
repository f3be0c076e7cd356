#pragma once
// The results view's drawing of the current cross section (plots/
// CrossSectionDrawing.h) as a widget: it shows the conductor selected in the
// grid highlighted, and reports a click on a conductor so that the grid can
// select its row.

#include <QWidget>

namespace corvalt {
class TConductor;
class TScenario;
} // namespace corvalt::ui

namespace corvalt::ui {

class TCrossSectionView : public QWidget {
    Q_OBJECT
  public:
    explicit TCrossSectionView(QWidget* parent = nullptr);

    // The cross section to draw; null draws nothing. The view reads the cross
    // section at every paint and click, so edits show at the next repaint;
    // the caller replaces it (or passes null) before the cross section is freed.
    void SetScenario(const TScenario* scenario);
    const TScenario* Scenario() const { return scenario_; }
    // The conductor drawn highlighted; null (or one of another cross section) for none.
    void SetHighlightedConductor(const TConductor* conductor);
    const TConductor* HighlightedConductor() const { return highlighted_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  signals:
    // The user clicked on a conductor (within a few pixels of its circle).
    void ConductorClicked(const corvalt::TConductor* conductor);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    const TScenario* scenario_ = nullptr;
    const TConductor* highlighted_ = nullptr;
};

} // namespace corvalt::ui
