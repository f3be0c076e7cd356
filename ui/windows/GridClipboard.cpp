#include "ui/windows/GridClipboard.h"

#include <cmath>

namespace corvalt::ui {
namespace {

QString Refused(int line, const QString& title, const QString& why) {
    return QStringLiteral("Nothing was pasted: row %1, column \"%2\": %3.").arg(line).arg(title, why);
}

// The cell with "." as its decimal point: a decimal comma of the locale
// becomes one when the cell has no "." of its own.
QString WithDecimalPoint(const QString& cell, QChar localeDecimalPoint) {
    QString text = cell.trimmed();
    if (localeDecimalPoint == QLatin1Char(',') && !text.contains(QLatin1Char('.')) &&
        text.count(QLatin1Char(',')) == 1)
        text.replace(QLatin1Char(','), QLatin1Char('.'));
    return text;
}

// Whether a pasted cell shows what the grid shows: the same text, or the same
// number to the decimals the grid shows (a spreadsheet writes 1.000 as 1).
bool SameValue(const QString& pasted, const QString& shown, QChar localeDecimalPoint) {
    const QString grid = shown.trimmed();
    if (pasted.trimmed() == grid) return true;
    const std::optional<double> a = ParseNumber(WithDecimalPoint(pasted, localeDecimalPoint));
    const std::optional<double> b = ParseNumber(grid);
    if (!a || !b) return false;
    const qsizetype point = grid.indexOf(QLatin1Char('.'));
    const int decimals = point < 0 ? 0 : static_cast<int>(grid.size() - point - 1);
    return std::abs(*a - *b) <= 0.5 * std::pow(10.0, -decimals);
}

} // namespace

QString TabSeparatedText(const QStringList& titles, const std::vector<QStringList>& rows) {
    QString text = titles.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (const QStringList& row : rows) {
        QStringList cells;
        for (const QString& cell : row)
            cells << cell.trimmed();
        text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

TPastedBlock SplitPastedText(const QString& text, const QStringList& titles) {
    QStringList lines = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                            .split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    TPastedBlock block;
    for (const QString& line : lines)
        block.Lines.push_back(line.split(QLatin1Char('\t')));
    auto trimmed = [](const QStringList& cells) {
        QStringList kept;
        for (const QString& cell : cells)
            kept << cell.trimmed();
        return kept;
    };
    if (!block.Lines.empty() && trimmed(block.Lines.front()) == titles) {
        block.Lines.erase(block.Lines.begin());
        block.FirstLine = 2;
    }
    return block;
}

std::variant<std::vector<TPastedCoordinates>, QString>
ReadPastedCoordinates(const TPastedBlock& block, const QStringList& titles,
                      const TCoordinateColumns& columns,
                      const std::vector<QStringList>& targets, const TNumberPicture& picture,
                      QChar localeDecimalPoint) {
    const int whole = static_cast<int>(titles.size());
    std::vector<TPastedCoordinates> read;
    for (std::size_t i = 0; i < block.Lines.size() && i < targets.size(); ++i) {
        const QStringList& cells = block.Lines[i];
        const int line = block.FirstLine + static_cast<int>(i);
        const int count = static_cast<int>(cells.size());
        if (count != 2 && count != whole)
            return QStringLiteral("Nothing was pasted: row %1 has %2 column%3; a block has 2 "
                                  "(%4 and %5) or %6 (whole rows as copied).")
                .arg(line)
                .arg(count)
                .arg(count == 1 ? "" : "s")
                .arg(titles[columns.Distance], titles[columns.Height])
                .arg(whole);
        if (i > 0 && count != static_cast<int>(block.Lines.front().size()))
            return QStringLiteral("Nothing was pasted: row %1 has %2 columns, the first row %3.")
                .arg(line)
                .arg(count)
                .arg(block.Lines.front().size());
        const bool rows = count == whole;
        const int distanceAt = rows ? columns.Distance : 0;
        const int heightAt = rows ? columns.Height : 1;
        double values[2] = {};
        for (const int at : {distanceAt, heightAt}) {
            const QString title = titles[at == distanceAt ? columns.Distance : columns.Height];
            const QString text = WithDecimalPoint(cells[at], localeDecimalPoint);
            if (const std::optional<QString> why = NumberRefusal(picture, text))
                return Refused(line, title, QLatin1Char('"') + cells[at].trimmed() + "\" " + *why);
            values[at == distanceAt ? 0 : 1] = *ParseNumber(text);
        }
        if (rows)
            for (int column = 0; column < whole; ++column) {
                if (column == columns.Distance || column == columns.Height ||
                    column == columns.Derived)
                    continue;
                const QString shown = targets[i].value(column);
                if (!SameValue(cells[column], shown, localeDecimalPoint))
                    return Refused(line, titles[column],
                                   QStringLiteral("shows \"%1\", not the conductor's \"%2\"; "
                                                  "change it in the conductor's dialog")
                                       .arg(cells[column].trimmed(), shown.trimmed()));
            }
        read.push_back({values[0], values[1]});
    }
    return read;
}

} // namespace corvalt::ui
