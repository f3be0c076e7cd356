#pragma once
// The program's version text, shown in the status line, the About box, the
// report footers and `corvalt-cli --version`.

namespace corvalt {

inline constexpr const char* kVersionText = "v1.19";

} // namespace corvalt
