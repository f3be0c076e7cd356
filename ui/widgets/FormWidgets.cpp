#include "ui/widgets/FormWidgets.h"

#include "prefs/Libraries.h"
#include "prefs/NumberText.h"
#include "ui/app/TextConvert.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace corvalt::ui {

QLineEdit* TextField(const char* name, int maxLength, int widthInCharacters) {
    auto* field = Named(new QLineEdit, name);
    if (maxLength > 0) field->setMaxLength(maxLength);
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QLatin1Char('x')) *
                           widthInCharacters);
    return field;
}

QLabel* NoteLabel(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

QLabel* BuddyLabel(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

QLabel* UnitLabel(const char* name, const QString& unit) {
    auto* label = Named(new QLabel(unit), name);
    // Wide enough for the longest unit of its pair, so the layout does not move
    // when a project switches between English and Metric units.
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("Amps")) + 4);
    return label;
}

QHBoxLayout* FieldWithUnit(QWidget* field, QWidget* unit) {
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(field);
    row->addWidget(unit);
    row->addStretch(1);
    return row;
}

void SetHint(QWidget& widget, const QString& hint) {
    widget.setToolTip(hint);
    widget.setStatusTip(hint);
}

QDialogButtonBox* OkCancelButtons(QDialog& dialog, const QString& okText) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("btOK"));
    ok->setDefault(true);
    if (!okText.isEmpty()) ok->setText(okText);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("btCancel"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
}

QPushButton* OkButton(const QDialogButtonBox& buttons) {
    return buttons.button(QDialogButtonBox::Ok);
}

void FillPickList(QComboBox& combo, const std::vector<std::string>& texts) {
    combo.clear();
    for (const std::string& text : texts)
        combo.addItem(ToQString(text), QByteArray::fromStdString(text));
    combo.setCurrentIndex(-1);
}

void SelectText(QComboBox& combo, const std::string& text) {
    combo.setCurrentIndex(combo.findData(QByteArray::fromStdString(text)));
}

std::string PickedText(const QComboBox& combo) {
    return combo.currentIndex() < 0 ? std::string()
                                    : combo.currentData().toByteArray().toStdString();
}

void SelectVoltage(QComboBox& combo, float voltage) {
    SelectText(combo, VoltageText(voltage));
}

float PickedVoltage(const QComboBox& combo) {
    return ParseFloat(PickedText(combo)).value_or(0.0f);
}

} // namespace corvalt::ui
