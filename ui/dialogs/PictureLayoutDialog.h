#pragma once
// TPictureLayoutDialog ("Picture Size"): how an exported picture is laid out,
// asked once its file is chosen: a PNG's width and height in pixels, or the
// paper (Letter or A4, landscape) a PDF is printed on with its title block.
// An SVG keeps the default size and needs no question.
//
//   std::optional<TPictureLayout> layout = TPictureLayoutDialog::Ask(format, parent);
//       // empty when the user cancelled
//   auto choice = TPictureLayoutDialog::AskFile(parent, caption, proposedName);
//       // the file's name and its layout

#include "plots/PlotPicture.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QSpinBox;

namespace corvalt::ui {

class TPictureLayoutDialog : public QDialog {
    Q_OBJECT
  public:
    // The questions for a PNG or a PDF.
    explicit TPictureLayoutDialog(TPictureFormat format, QWidget* parent = nullptr);

    // The layout for a picture of the format: an SVG's at once, a PNG's or a
    // PDF's after the dialog; empty when cancelled.
    static std::optional<TPictureLayout> Ask(TPictureFormat format, QWidget* parent = nullptr);

    // The picture file chosen in a save dialog, PNG, SVG or PDF, and its
    // layout: a name without an extension takes the chosen filter's. Empty
    // when the user cancelled either question.
    struct TChoice {
        QString Path;
        TPictureLayout Layout;
    };
    static std::optional<TChoice> AskFile(QWidget* parent, const QString& caption,
                                          const QString& proposal);

    // The layout the controls show (the title block is the caller's).
    TPictureLayout Layout() const;

    // A PNG's "seWidth" and "seHeight", a PDF's "cbPaper"; null when not shown.
    QSpinBox* WidthBox() const { return seWidth_; }
    QSpinBox* HeightBox() const { return seHeight_; }
    QComboBox* PaperBox() const { return cbPaper_; }

  private:
    QSpinBox* NewSideBox(const char* name, int value);

    QSpinBox* seWidth_ = nullptr;
    QSpinBox* seHeight_ = nullptr;
    QComboBox* cbPaper_ = nullptr;
};

} // namespace corvalt::ui
