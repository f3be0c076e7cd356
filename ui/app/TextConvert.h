#pragma once
// Texts between the model's byte strings and the windows. The model keeps bytes
// (UTF-8, or Windows-1252 in texts of older files); the windows show QStrings.
// Every dialog converts through these functions only.

#include "plots/ModelText.h"

#include <QString>

#include <string>
#include <string_view>

namespace corvalt::ui {

// The bytes as shown (plots/ModelText.h).
using corvalt::ToQString;

// What the user typed, as UTF-8 bytes.
std::string ToBytes(const QString& text);

// The text a dialog stores on OK: trailing blanks (and control characters)
// removed. When it reads the same as the stored text did, the stored bytes are
// kept, so confirming a dialog leaves an untouched Windows-1252 text as it was.
std::string CommittedText(const QString& typed, std::string_view stored = {});

// The text without trailing characters whose code is 32 or less.
QString TrimmedRight(const QString& text);

} // namespace corvalt::ui
