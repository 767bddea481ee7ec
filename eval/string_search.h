// Searching and comparing texts.
#pragma once

#include <cstdint>
#include <string_view>

namespace tenrek {

// -1, 0 or 1 comparing a and b with a to z folded to upper case.
int CompareNoCase(std::string_view a, std::string_view b);

int32_t FindFrom(std::string_view s, std::string_view t, int32_t start);
int32_t FindOccurrence(std::string_view s, std::string_view t, int32_t n);

}  // namespace tenrek
