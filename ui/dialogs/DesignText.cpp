#include "ui/dialogs/DesignText.h"

#include "model/Project.h"

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

TScenario* SectionOfCopy(TEmfProject* copy, int section) {
    if (copy == nullptr || section < 0 || section >= copy->Scenarios.Count()) return nullptr;
    return &copy->Scenarios[section];
}

QString CopyFailedText() {
    return QStringLiteral("The cross section could not be copied to work on: a value is beyond "
                          "what a project file holds.");
}

} // namespace corvalt::ui
