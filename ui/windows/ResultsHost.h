#pragma once
// TResultsHost: the project window's splitter that holds the tree and the grid,
// and the results panel beside them or, in a window too narrow for both side
// by side, below them. It makes the panel when first wanted, keeps the
// splitter's place in the preferences (beside) or for the window (below), and
// says when the panel needs results because it shows again.

#include <QList>
#include <QSplitter>

#include <functional>

namespace corvalt {
class TOptions;
}

namespace corvalt::ui {

class TResultsPanel;

class TResultsHost : public QSplitter {
    Q_OBJECT
  public:
    // grids: the tree and the grid, the host's first widget. The place kept in
    // the preferences and whether the panel is wanted come from options.
    TResultsHost(QWidget& grids, TOptions& options, QWidget* parent = nullptr);

    // What the host asks of the grids: the width they need beside the panel
    // (every column at its narrowest) and the height their rows would like
    // below it, px.
    void SetGridsMeasures(std::function<int()> widthNeeded, std::function<int()> heightWanted);

    // nullptr until the panel is first wanted.
    TResultsPanel* Panel() const { return panel_; }
    bool Wanted() const { return wanted_; } // View > Results Panel
    void SetWanted(bool wanted);
    bool Shown() const; // whenever wanted: beside the grids or below them
    bool Below() const;

    // Shows the panel when it is wanted: beside the tree and the grid when the
    // window has room for the grid's columns at their narrowest and the panel,
    // else below them (and back beside them once the window is wider).
    void Fit();

  signals:
    void PanelCreated(TResultsPanel* panel);
    // The panel shows after it was hidden: it was not kept up to date.
    void PanelShown();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    // The splitter's sizes for the panel's place, from those kept.
    void PlaceSizes();
    void SaveSizes();

    TOptions& options_;
    TResultsPanel* panel_ = nullptr;
    bool wanted_ = true;
    std::function<int()> gridsWidthNeeded_;
    std::function<int()> gridsHeightWanted_;
    QList<int> sizes_;      // the splitter's sizes beside the grids, as last set or kept
    QList<int> sizesBelow_; // and below them, once the user moved it (this window's only)
};

} // namespace corvalt::ui
