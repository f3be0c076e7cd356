#include "ui/app/TextConvert.h"

#include "model/TextHelpers.h"

namespace corvalt::ui {

std::string ToBytes(const QString& text) {
    return text.toStdString();
}

QString TrimmedRight(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).unicode() <= 32)
        --end;
    return text.left(end);
}

std::string CommittedText(const QString& typed, std::string_view stored) {
    const QString trimmed = TrimmedRight(typed);
    std::string storedTrimmed = TrimRight(stored);
    if (ToQString(storedTrimmed) == trimmed) return storedTrimmed;
    return ToBytes(trimmed);
}

} // namespace corvalt::ui
