// Numbers written back as program text.
#pragma once

#include <cstddef>
#include <string>

namespace tenrek {

// The text of a number literal that the tokenizer reads back as exactly
// `value`: the display form when that already reads back so (10, 2.5,
// " 1.00000E-003"), otherwise the shortest form found that does
// ("3.14159265358979", "1.23456789E12"). What the tokenizer never makes
// (a negative number) keeps the display form.
std::string ExactNumberText(double value);

// At most how many characters ExactNumberText(value) adds to the display
// form, known without the search: 0 where the display form reads back.
std::size_t ExactNumberTextGrowth(double value);

}  // namespace tenrek
