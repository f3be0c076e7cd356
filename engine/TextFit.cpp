#include "engine/TextFit.h"

#include <algorithm>

namespace corvalt {
namespace {

// Widths compare with this much slack, so that a text measured exactly as
// wide as its room fits.
constexpr double kWidthSlack = 1e-9; // in

bool Fits(double textWidth, double width) {
    return textWidth <= width + kWidthSlack;
}

// Never ends a piece between the two halves of a surrogate pair.
qsizetype WholeCharacters(const QString& text, qsizetype length) {
    if (length > 0 && length < text.size() && text[length - 1].isHighSurrogate()) --length;
    return length;
}

// The longest start of the word (at least one character) that fits the width.
qsizetype FittingStart(const QString& word, double width, const TTextMeasure& measure) {
    qsizetype low = 1, high = word.size(); // low always kept; find the largest that fits
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (Fits(measure(word.left(WholeCharacters(word, mid))), width)) {
            low = mid;
        } else {
            high = mid - 1;
        }
    }
    return std::max<qsizetype>(WholeCharacters(word, low), std::min<qsizetype>(word.size(), 1));
}

} // namespace

QStringList WrapText(const QString& text, double width, int maxLines, const TTextMeasure& measure,
                     QString* rest) {
    QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList lines;
    QString line;
    qsizetype next = 0;
    while (next < words.size() && lines.size() < maxLines) {
        const QString& word = words[next];
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (Fits(measure(longer), width)) {
            line = longer;
            ++next;
        } else if (!line.isEmpty()) {
            lines << line;
            line.clear();
        } else {
            // A word wider than the line: as much of it as fits, the rest next.
            const qsizetype start = FittingStart(word, width, measure);
            lines << word.left(start);
            words[next] = word.mid(start);
            if (words[next].isEmpty()) ++next;
        }
    }
    // The loop ends with a line under way only when the words ran out.
    if (!line.isEmpty()) lines << line;
    if (rest) *rest = words.mid(next).join(QLatin1Char(' '));
    return lines;
}

QString CutText(const QString& text, double width, const TTextMeasure& measure) {
    if (Fits(measure(text), width)) return text;
    const QString ellipsis(kEllipsis);
    if (!Fits(measure(ellipsis), width)) return {};
    qsizetype low = 0, high = text.size() - 1; // the longest start that fits with "…"
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (Fits(measure(text.left(WholeCharacters(text, mid)).trimmed() + ellipsis), width)) {
            low = mid;
        } else {
            high = mid - 1;
        }
    }
    return text.left(WholeCharacters(text, low)).trimmed() + ellipsis;
}

TFittedText FitText(const QString& text, double size, double width, const TFitRule& rule,
                    const TSizedMeasure& measure) {
    if (Fits(measure(text, size), width)) return {{text}, size, false};
    if (width <= 0) return {{QString()}, size, true};
    const int maxLines = std::max(rule.MaxLines, 1);
    const double smallest = std::min(rule.SmallestSize, size);
    double trial = size;
    while (true) {
        const TTextMeasure atSize = [&](const QString& piece) { return measure(piece, trial); };
        QString rest;
        QStringList lines = maxLines > 1 ? WrapText(text, width, maxLines, atSize, &rest)
                                         : QStringList{text};
        const bool fits = maxLines > 1 ? rest.isEmpty() : Fits(atSize(text), width);
        if (fits) return {lines.isEmpty() ? QStringList{QString()} : lines, trial, false};
        if (trial <= smallest) {
            // At the smallest size: the lines that fit, the last one cut.
            QString last = lines.isEmpty() ? rest : lines.takeLast() + QLatin1Char(' ') + rest;
            if (maxLines == 1) last = text;
            lines << CutText(last, width, atSize);
            return {lines, trial, true};
        }
        trial = std::max(trial - 1, smallest);
    }
}

} // namespace corvalt
