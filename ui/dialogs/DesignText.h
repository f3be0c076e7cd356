#pragma once
// Field values as the design dialogs show them: magnetic fields in mG with
// one decimal, electric fields in kV/m with two, "." as decimal point, and a
// dash where there is no value.

#include <QString>

#include <optional>

namespace corvalt::ui {

QString MilligaussText(std::optional<float> milligauss);
QString KvPerMText(std::optional<float> kvPerM);

} // namespace corvalt::ui
