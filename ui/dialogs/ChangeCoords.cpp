#include "ui/dialogs/ChangeCoords.h"

#include "model/Project.h"
#include "prefs/Options.h"
#include "ui/app/TextConvert.h"
#include "ui/widgets/EnterAsTab.h"
#include "ui/widgets/FormWidgets.h"
#include "ui/widgets/NumberField.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace corvalt::ui {
namespace {

constexpr int kIdColumn = 0, kDistanceColumn = 1, kHeightColumn = 2;
constexpr int kFieldsPerRow = 2; // distance and height

QLabel* Heading(const QString& text) {
    auto* label = new QLabel(text);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

TNumberPicture CoordinatePicture() {
    return Picture("#######.#", true);
}

TChangeCoords::TChangeCoords(TCircuit& circuit, const TOptions& options, QWidget* parent)
    : QDialog(parent), circuit_(circuit) {
    setWindowTitle(QStringLiteral("Edit Circuit Coordinates"));
    CreateControls();
    TEnterAsTab::Install(*this, options.EnterAsTab());
    ShowValues(circuit_);
}

bool TChangeCoords::EditCoordinates(TCircuit& circuit, const TOptions& options, QWidget* parent) {
    TChangeCoords form(circuit, options, parent);
    return form.exec() == Accepted;
}

void TChangeCoords::CreateControls() {
    lbHeading_ = Named(new QLabel, "lbHeading");
    table_ = new QWidget;
    rows_ = new QGridLayout(table_);
    rows_->setColumnStretch(3, 1);
    scroll_ = new QScrollArea;
    scroll_->setWidget(table_);
    scroll_->setWidgetResizable(true);

    auto* buttons = OkCancelButtons(*this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("DISTANCE is relative to circuit reference.")));
    layout->addWidget(new QLabel(QStringLiteral("HEIGHT is from ground")));
    layout->addWidget(lbHeading_);
    layout->addWidget(scroll_, 1);
    layout->addWidget(buttons);
    connect(OkButton(*buttons), &QPushButton::clicked, this, &TChangeCoords::btOKClick);
}

void TChangeCoords::ClearRows() {
    fields_.clear();
    while (QLayoutItem* item = rows_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
}

void TChangeCoords::ShowValues(const TCircuit& circuit) {
    const TEmfProject& project = *circuit.Scenario->Project;
    const QString unit = QString::fromLatin1(project.LengthUnit());
    lbHeading_->setText(
        QStringLiteral("%1 is %2 %3 from ROW Left.")
            .arg(ToQString(circuit.Name), FormatNumber(circuit.DisplayDistFromRowLeft(), 2), unit));
    ClearRows();
    rows_->addWidget(Heading(QStringLiteral("Conductor")), 0, kIdColumn);
    rows_->addWidget(Heading(QStringLiteral("Distance")), 0, kDistanceColumn);
    rows_->addWidget(Heading(QStringLiteral("Height")), 0, kHeightColumn);
    int row = 1;
    for (const TConductor& conductor : circuit.Conductors) {
        const QString index = QString::number(row - 1);
        rows_->addWidget(Heading(ToQString(conductor.Id)), row, kIdColumn);
        for (const int column : {kDistanceColumn, kHeightColumn}) {
            auto* field = new TNumberField(CoordinatePicture());
            const bool distance = column == kDistanceColumn;
            field->setObjectName(
                (distance ? QStringLiteral("eDistance") : QStringLiteral("eHeight")) + index);
            field->SetValue(distance ? conductor.DisplayHorizDistance()
                                     : conductor.DisplayHeight());
            field->installEventFilter(this);
            rows_->addWidget(field, row, column);
            fields_.push_back(field);
        }
        ++row;
    }
    rows_->setRowStretch(row, 1);
    if (!fields_.empty()) fields_.front()->setFocus(Qt::OtherFocusReason);
    // Room for the whole table up to about a dozen rows; more rows scroll.
    constexpr int kMaxTableHeight = 420;
    const QSize table = table_->sizeHint();
    scroll_->setMinimumSize(table.width() + scroll_->verticalScrollBar()->sizeHint().width() + 4,
                            std::min(table.height(), kMaxTableHeight) + 4);
    adjustSize();
}

void TChangeCoords::StoreValues(TCircuit& circuit) const {
    std::size_t field = 0;
    for (TConductor& conductor : circuit.Conductors) {
        if (field + 1 >= fields_.size()) break; // more conductors than rows: keep the rest
        conductor.SetDisplayHorizDistance(fields_[field]->FloatValue());
        conductor.SetDisplayHeight(fields_[field + 1]->FloatValue());
        field += 2;
    }
}

bool TChangeCoords::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* field = qobject_cast<TNumberField*>(watched);
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (field != nullptr && (key == Qt::Key_Up || key == Qt::Key_Down)) {
            MoveFocus(*field, key == Qt::Key_Down ? kFieldsPerRow : -kFieldsPerRow);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TChangeCoords::MoveFocus(TNumberField& from, int step) {
    const auto at = std::find(fields_.begin(), fields_.end(), &from);
    if (at == fields_.end()) return;
    const auto index = (at - fields_.begin()) + step;
    if (index < 0 || index >= static_cast<std::ptrdiff_t>(fields_.size())) return;
    fields_[static_cast<std::size_t>(index)]->setFocus(Qt::TabFocusReason);
}

void TChangeCoords::btOKClick() {
    StoreValues(circuit_);
    accept();
}

} // namespace corvalt::ui
