#include "plots/ModelText.h"

#include "model/TextHelpers.h"

namespace corvalt {

QString ToQString(std::string_view bytes) {
    return QString::fromStdString(ToValidUtf8(bytes));
}

} // namespace corvalt
