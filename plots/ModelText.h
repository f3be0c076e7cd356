#pragma once
// Texts of the model as Qt strings. The model keeps bytes: UTF-8, or
// Windows-1252 in texts of older files (a name typed as "Café" in an old
// program). Every text that comes from the model reaches Qt through ToQString,
// in the plots and in the windows alike.

#include <QString>

#include <string_view>

namespace corvalt {

// The bytes as shown: valid UTF-8 as is, other bytes read as Windows-1252.
QString ToQString(std::string_view bytes);

} // namespace corvalt
