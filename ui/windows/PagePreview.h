#pragma once
// TPagePreview: one recorded report page on white paper, at a zoom factor in
// percent of its natural size on this screen, with a grey margin around it. It
// paints with the same renderer as the printer and the PDF export.

#include "engine/PageModel.h"

#include <QWidget>

namespace corvalt::ui {

class TPagePreview : public QWidget {
    Q_OBJECT
  public:
    // Grey border around the paper, pixels.
    static constexpr int kMargin = 10;

    explicit TPagePreview(QWidget* parent = nullptr);

    // The page to show (nullptr: none) and the paper size in inches. The page
    // must outlive its display.
    void SetPage(const TPage* page, double widthInches, double heightInches);
    void SetZoom(double percent);
    double Zoom() const { return zoom_; }

    // Screen pixels per page inch at a zoom factor.
    double PixelsPerInch(double percent) const;
    // Size of the widget, paper and margins, at a zoom factor.
    QSize SizeAt(double percent) const;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const TPage* page_ = nullptr;
    double widthInches_ = kLetterWidth;
    double heightInches_ = kLetterHeight;
    double zoom_ = 100;
};

} // namespace corvalt::ui
