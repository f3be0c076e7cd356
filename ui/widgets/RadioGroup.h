#pragma once
// A titled group of exclusive radio buttons, read and set by index (-1: none
// chosen), laid out in one or more columns.

#include <QGroupBox>
#include <QStringList>

#include <vector>

class QButtonGroup;
class QRadioButton;

namespace corvalt::ui {

class TRadioGroup : public QGroupBox {
    Q_OBJECT
  public:
    TRadioGroup(const QString& title, const QStringList& items, int columns = 1,
                QWidget* parent = nullptr);

    int ItemIndex() const;
    void SetItemIndex(int index); // -1 clears the choice
    QRadioButton& Button(int index) const;
    int Count() const { return static_cast<int>(buttons_.size()); }
    // Object names of the buttons, in order, for groups whose buttons are
    // controls of their own (rbPrev, rbConcurrent, rbOther).
    void SetButtonNames(const QStringList& names);

  signals:
    // The user chose an item (by mouse or keyboard); not emitted by SetItemIndex.
    void ItemChosen(int index);

  private:
    QButtonGroup* group_;
    std::vector<QRadioButton*> buttons_;
};

} // namespace corvalt::ui
