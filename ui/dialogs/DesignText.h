#pragma once
// Values as the design dialogs show them: magnetic fields in mG with one
// decimal, electric fields in kV/m and surface gradients in kV/cm with two,
// levels in dB (dBA, dBuV/m) with one; "." as decimal point, never "-0.0",
// and a dash where there is no value; and the cross section a dialog works on.

#include <QString>

#include <optional>

namespace corvalt {
class TEmfProject;
class TScenario;
} // namespace corvalt

namespace corvalt::ui {

// The cross section of a design dialog's private copy of the project; null
// when the copy could not be made or has no such cross section, which the
// dialog says (CopyFailedText) instead of working.
TScenario* SectionOfCopy(TEmfProject* copy, int section);
QString CopyFailedText();

QString MilligaussText(std::optional<float> milligauss);
QString KvPerMText(std::optional<float> kvPerM);
QString KvPerCmText(std::optional<float> kvPerCm);
QString DecibelText(std::optional<float> decibels);

} // namespace corvalt::ui
