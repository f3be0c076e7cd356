#include "ui/dialogs/DesignText.h"

#include <QLocale>

namespace corvalt::ui {
namespace {

QString Fixed(std::optional<float> value, int decimals) {
    if (!value) return QStringLiteral("\u2013");
    return QLocale::c().toString(static_cast<double>(*value), 'f', decimals);
}

} // namespace

QString MilligaussText(std::optional<float> milligauss) {
    return Fixed(milligauss, 1);
}

QString KvPerMText(std::optional<float> kvPerM) {
    return Fixed(kvPerM, 2);
}

} // namespace corvalt::ui
