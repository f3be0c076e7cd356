#include "ui/dialogs/DesignText.h"

#include <QLocale>

namespace corvalt::ui {
namespace {

QString Fixed(std::optional<float> value, int decimals) {
    if (!value) return QStringLiteral("\u2013");
    QString text = QLocale::c().toString(static_cast<double>(*value), 'f', decimals);
    // A small negative value rounds to zero, which has no sign.
    if (text.startsWith(QLatin1Char('-')) && QLocale::c().toDouble(text) == 0) text.remove(0, 1);
    return text;
}

} // namespace

QString MilligaussText(std::optional<float> milligauss) {
    return Fixed(milligauss, 1);
}

QString KvPerMText(std::optional<float> kvPerM) {
    return Fixed(kvPerM, 2);
}

QString KvPerCmText(std::optional<float> kvPerCm) {
    return Fixed(kvPerCm, 2);
}

QString DecibelText(std::optional<float> decibels) {
    return Fixed(decibels, 1);
}

} // namespace corvalt::ui
