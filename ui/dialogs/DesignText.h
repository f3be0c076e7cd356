#pragma once
// Field values as the design dialogs show them: magnetic fields in mG with
// one decimal, electric fields in kV/m with two, "." as decimal point, and a
// dash where there is no value; and the cross section a dialog works on.

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

} // namespace corvalt::ui
