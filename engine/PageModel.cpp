#include "engine/PageModel.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace corvalt {

QRgb ShadeColour(int percent) {
    const int p = std::clamp(percent, 0, 100);
    const int grey = static_cast<int>(std::lround(255.0 * (100 - p) / 100.0));
    return qRgb(grey, grey, grey);
}

std::vector<const TTextCmd*> TPage::Texts() const {
    std::vector<const TTextCmd*> texts;
    for (const TPageCommand& command : Commands) {
        if (const auto* text = std::get_if<TTextCmd>(&command)) texts.push_back(text);
    }
    return texts;
}

QString TPage::PlainText() const {
    QStringList parts;
    for (const TTextCmd* text : Texts())
        parts << text->Text;
    return parts.join(QLatin1Char('|'));
}

} // namespace corvalt
