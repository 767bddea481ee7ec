// The one conversion of a number to text.
#pragma once

#include <string>

namespace tenrek {

// "% .5E" with three exponent digits below 0.01 or from 1e12 on, otherwise
// "%30.10f" trimmed. Infinities and NaN give "INF", "-INF" and "NAN".
std::string FormatNumber(double value);

}  // namespace tenrek
