// FormatNumber: the one conversion of a number to text, used by STR$,
// PRINT, the listers and the host's set-variable actions.
#include "eval/number_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace tenrek {
namespace {

// "% .5E" with at least three exponent digits on every platform: a blank
// or "-", d.ddddd, "E", the exponent's sign and its digits. The exponent
// is written here rather than trusting the C library's digit count.
std::string Scientific(double value) {
  char mantissa[64];
  std::snprintf(mantissa, sizeof mantissa, "%.5e", std::fabs(value));
  const char* e = std::strchr(mantissa, 'e');
  const long exponent = e != nullptr ? std::strtol(e + 1, nullptr, 10) : 0;
  char text[80];
  std::snprintf(text, sizeof text, "%c%.*sE%c%03ld", value < 0 ? '-' : ' ',
                static_cast<int>(e != nullptr ? e - mantissa : std::strlen(mantissa)), mantissa,
                exponent < 0 ? '-' : '+', std::labs(exponent));
  return text;
}

// "%30.10f" without trailing zeros, a trailing point or leading blanks.
std::string Fixed(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%30.10f", value);
  std::string_view view(text);
  while (view.ends_with('0')) view.remove_suffix(1);
  if (view.ends_with('.')) view.remove_suffix(1);
  while (view.starts_with(' ')) view.remove_prefix(1);
  return std::string(view);
}

}  // namespace

std::string FormatNumber(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0.0) return "0";  // negative zero too: "-0" is no number a user wrote
  const double magnitude = std::fabs(value);
  if (magnitude < 0.01 || magnitude >= 1e12) return Scientific(value);
  return Fixed(value);
}

}  // namespace tenrek
