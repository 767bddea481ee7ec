// Numbers written back as program text read back as the very same double.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "eval/number_format.h"
#include "text/number_literal.h"
#include "text/tokenizer.h"

namespace tenrek {
namespace {

double Read(const std::string& text, std::size_t& length) {
  std::string_view view(text);
  while (view.starts_with(' ')) view.remove_prefix(1);
  const double value = ReadNumberLiteral(view, length);
  length += text.size() - view.size();
  return value;
}

// The literal `typed`, read, written as program text and read again, is
// the same double, and the text is a literal of its own to the end.
void ExpectRoundTrip(const std::string& typed) {
  std::size_t length = 0;
  const double value = Read(typed, length);
  const std::string written = ExactNumberText(value);
  const double again = Read(written, length);
  EXPECT_EQ(length, written.size()) << typed << " -> " << written;
  if (std::isnan(value)) {
    EXPECT_TRUE(std::isnan(again)) << typed << " -> " << written;
  } else {
    EXPECT_EQ(std::bit_cast<uint64_t>(again), std::bit_cast<uint64_t>(value))
        << typed << " -> " << written;
  }
}

// Where the display form already reads back, files keep it byte for byte;
// elsewhere the shortest form that reads back is written.
TEST(NumberLiteral, DisplayFormStaysWhereItReadsBack) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"10", "10"},
      {"2.5", "2.5"},
      {"0.25", "0.25"},
      {"1E-3", " 1.00000E-003"},
      {"1E12", " 1.00000E+012"},
      {"65535", "65535"},
      {"3.14159265358979", "3.14159265358979"},
      {"0.1234567890123", "0.1234567890123"},
      {"1.23456789E12", "1.23456789E12"},
      {"1E400", "1E309"},
  };
  for (const auto& [typed, written] : cases) {
    std::size_t length = 0;
    EXPECT_EQ(ExactNumberText(Read(typed, length)), written) << typed;
    ExpectRoundTrip(typed);
  }
}

// Literals of every shape a program may hold, with up to the 17 digits a
// double tells apart: digits before and after the point, leading zeros,
// with and without an exponent, near the ends of a double's range.
TEST(NumberLiteral, EveryShapeOfLiteralReadsBackTheSame) {
  uint64_t state = 0x9E3779B97F4A7C15u;
  const auto next = [&state](uint64_t bound) {
    state = state * 6364136223846793005u + 1442695040888963407u;
    return (state >> 33) % bound;
  };
  for (int i = 0; i < 20000; ++i) {
    std::string typed;
    const uint64_t whole = next(18);
    for (uint64_t d = 0; d < whole; ++d) typed += static_cast<char>('0' + next(10));
    const uint64_t fraction = next(18 - whole);
    if (fraction > 0) typed += '.';
    for (uint64_t d = 0; d < fraction; ++d) typed += static_cast<char>('0' + next(10));
    if (typed.empty()) typed = "0";
    if (next(3) == 0) {
      typed += next(2) == 0 ? "E-" : "E";
      typed += std::to_string(next(330));
    }
    ExpectRoundTrip(typed);
  }
  for (const char* typed :
       {"4.9E-324", "1.7976931348623157E308", "2.2250738585072014E-308", "123.456E-7", "0.000001",
        "99999999999999999999999", "12345678901234567890.5"}) {
    ExpectRoundTrip(typed);
  }
  ExpectRoundTrip("." + std::string("1") + std::string(310, '0'));  // NaN
}

}  // namespace
}  // namespace tenrek
