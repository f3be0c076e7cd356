// The project window's grid as an editor: distances and heights typed in
// place, rows copied to and pasted from a spreadsheet, and the mirror image
// of a circuit. Each change is one undoable command.
#include "ui/windows/ScenariosForm.h"

#include "model/Project.h"
#include "ui/app/TextConvert.h"
#include "ui/dialogs/ChangeCoords.h"
#include "ui/widgets/NumberField.h"
#include "ui/windows/GridClipboard.h"
#include "ui/windows/MainForm.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLocale>

namespace corvalt::ui {
namespace {

void SetCoordinates(TConductor& conductor, const TPastedCoordinates& value) {
    conductor.SetDisplayHorizDistance(static_cast<float>(value.Distance));
    conductor.SetDisplayHeight(static_cast<float>(value.Height));
}

} // namespace

void TScenariosForm::EditGridCell(int row, int column, const QString& text) {
    TConductor* conductor = RowConductor(row);
    if (conductor == nullptr || !sgConductors_->IsEditable(row, column)) return;
    const bool height = column == TConductorGrid::kHeightColumn;
    const QString what = height ? QStringLiteral("Height") : QStringLiteral("Distance");
    if (const std::optional<QString> why = NumberRefusal(CoordinatePicture(), text)) {
        mainForm_.ShowStatus(QStringLiteral("%1 of %2 kept: \"%3\" %4.")
                                 .arg(what, ToQString(conductor->Id), text.trimmed(), *why));
        return;
    }
    const auto value = static_cast<float>(*ParseNumber(text));
    RecordChange([&]() -> std::optional<QString> {
        if (height)
            conductor->SetDisplayHeight(value);
        else
            conductor->SetDisplayHorizDistance(value);
        sgConductors_->WriteRow(row);
        sgConductors_->MeasureColumns();
        return CommandText(height ? "Edit Height of" : "Edit Distance of", conductor->Id);
    });
}

void TScenariosForm::CopyRows() {
    std::vector<QStringList> rows;
    for (const int row : sgConductors_->SelectedRows())
        rows.push_back(sgConductors_->RowTexts(row));
    if (rows.empty()) return;
    QGuiApplication::clipboard()->setText(TabSeparatedText(sgConductors_->ColumnTitles(), rows));
}

std::variant<std::vector<int>, QString> TScenariosForm::PasteTargets(int lines) const {
    std::vector<int> selected;
    for (const int row : sgConductors_->SelectedRows())
        if (RowConductor(row) != nullptr) selected.push_back(row);
    if (static_cast<int>(selected.size()) == lines) return selected;
    if (selected.size() != 1)
        return QStringLiteral("Nothing was pasted: the block has %1 rows and %2 conductors are "
                              "selected; select as many, or the first of them.")
            .arg(lines)
            .arg(selected.size());
    std::vector<int> rows;
    for (int line = 0; line < lines; ++line) {
        const int row = selected.front() + line;
        if (RowConductor(row) == nullptr)
            return QStringLiteral("Nothing was pasted: row %1 of the block falls below the last "
                                  "conductor.")
                .arg(line + 1);
        rows.push_back(row);
    }
    return rows;
}

void TScenariosForm::PasteRows() {
    if (GridMode() != TGridMode::Conductors) return;
    const QStringList titles = sgConductors_->ColumnTitles();
    const TPastedBlock block = SplitPastedText(QGuiApplication::clipboard()->text(), titles);
    if (block.Lines.empty()) {
        mainForm_.ShowStatus(QStringLiteral("Nothing was pasted: the clipboard holds no rows."));
        return;
    }
    const auto targets = PasteTargets(static_cast<int>(block.Lines.size()));
    if (const auto* why = std::get_if<QString>(&targets)) {
        mainForm_.ShowStatus(*why);
        return;
    }
    const std::vector<int>& rows = std::get<std::vector<int>>(targets);
    std::vector<QStringList> shown;
    for (const int row : rows)
        shown.push_back(sgConductors_->RowTexts(row));
    const QString localePoint = QLocale::system().decimalPoint();
    const auto read = ReadPastedCoordinates(
        block, titles,
        {TConductorGrid::kDistanceColumn, TConductorGrid::kHeightColumn,
         TConductorGrid::kLateralColumn},
        shown, CoordinatePicture(), localePoint.isEmpty() ? QChar('.') : localePoint.front());
    if (const auto* why = std::get_if<QString>(&read)) {
        mainForm_.ShowStatus(*why);
        return;
    }
    const std::vector<TPastedCoordinates>& values = std::get<std::vector<TPastedCoordinates>>(read);
    RecordChange([&]() -> std::optional<QString> {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            SetCoordinates(*RowConductor(rows[i]), values[i]);
            sgConductors_->WriteRow(rows[i]);
        }
        sgConductors_->MeasureColumns();
        return QStringLiteral("Paste Coordinates");
    });
}

void TScenariosForm::MirrorCircuit() {
    RecordChange([this]() -> std::optional<QString> {
        TCircuit* circuit = SelectedCircuit();
        if (circuit == nullptr) return std::nullopt;
        circuit->MirrorAboutReferenceLine();
        RebuildGrid();
        return CommandText("Mirror Circuit", circuit->Name);
    });
}

} // namespace corvalt::ui
