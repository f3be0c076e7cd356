#pragma once
// Values as the design dialogs show them: magnetic fields in mG with one
// decimal, electric fields in kV/m and surface gradients in kV/cm with two,
// levels in dB (dBA, dBuV/m) with one; "." as decimal point, never "-0.0",
// and a dash where there is no value.

#include <QString>

#include <optional>

namespace corvalt::ui {

QString MilligaussText(std::optional<float> milligauss);
QString KvPerMText(std::optional<float> kvPerM);
QString KvPerCmText(std::optional<float> kvPerCm);
QString DecibelText(std::optional<float> decibels);

} // namespace corvalt::ui
