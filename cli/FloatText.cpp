#include "cli/FloatText.h"

#include <charconv>

namespace corvalt::cli {

// std::to_chars without a format is defined as this text. The standard
// library's implementation (the Ryu algorithm in libstdc++) writes it about
// twice as fast as the shortest digits taken from fmt's formatted text and
// laid out again, which this replaced.
char* FloatText(char* out, float value) {
    return std::to_chars(out, out + kFloatTextCapacity, value).ptr;
}

} // namespace corvalt::cli
