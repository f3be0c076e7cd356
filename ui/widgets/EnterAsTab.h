#pragma once
// The Enter key as the Tab key in a dialog ("EnterAsTab" in the preferences):
// Enter moves the focus to the next control; in a control marked as the last of
// its page it shows the next page (of the tab widget, or of the stack of pages
// a list of categories chooses) and focuses its first control. Push and tool buttons keep Enter for themselves (it presses them).

#include <QObject>

class QDialog;
class QWidget;

namespace corvalt::ui {

class TEnterAsTab : public QObject {
    Q_OBJECT
  public:
    // Makes Enter move on in the dialog when enabled; nothing otherwise. The
    // behaviour lives as long as the dialog and covers controls added later.
    static void Install(QDialog& dialog, bool enabled);

    // Marks (or unmarks) a control as the last of its page.
    static void MarkLastOfPage(QWidget& control, bool last = true);
    static bool IsLastOfPage(const QWidget& control);

    // The moves themselves, for the dialogs that call them in other cases too.
    // MoveToNextPage returns false when the control is on no page or the last one.
    static void MoveToNextControl(QWidget& control);
    static bool MoveToNextPage(QWidget& control);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    explicit TEnterAsTab(QDialog& dialog);
    QDialog& dialog_;
};

} // namespace corvalt::ui
