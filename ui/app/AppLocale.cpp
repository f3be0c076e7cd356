#include "ui/app/AppLocale.h"

#include <QLocale>

#include <clocale>

namespace corvalt::ui {

void UseCNumberFormat() {
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());
}

} // namespace corvalt::ui
