// Number literals that survive a trip through a program file. The
// tokenizer reads a literal by its own arithmetic (digits accumulated in a
// double, one division, then one multiplication by 10 or 0.1 per exponent
// step), so the text that reads back as a given double is found by trying
// forms in order of length and reading each back.
#include "text/number_literal.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

#include "eval/number_format.h"
#include "text/tokenizer.h"

namespace tenrek {
namespace {

// Seventeen significant digits tell any two doubles apart.
constexpr int kMaxSignificantDigits = 17;
// Mantissas from 1E-7 to 1E17 are written out in full ("0.0000001",
// "100000000000000000"): no longer than 25 characters, and how most
// programs write their constants. Other powers take an exponent.
constexpr int kLowestPlainPower = -7;
constexpr int kHighestPlainPower = 17;
// The longest text the search gives for a finite number: a mantissa of
// at most 19 digits, a point and up to 7 leading zeros, and an exponent
// such as "E-324".
constexpr std::size_t kLongestFoundText = 32;
// 10^22 is the largest power of ten a double holds exactly: the divisor of
// a literal with more decimals is rounded.
constexpr int kMaxExactDecimals = 22;

bool SameNumber(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

double ReadBack(std::string_view text, std::size_t& length) {
  while (text.starts_with(' ')) {
    text.remove_prefix(1);
    ++length;
  }
  std::size_t used = 0;
  const double read = ReadNumberLiteral(text, used);
  length += used;
  return read;
}

bool ReadsBackAs(std::string_view text, double value) {
  std::size_t length = 0;
  const double read = ReadBack(text, length);
  return length == text.size() && length != 0 && SameNumber(read, value);
}

// A positive number as its significant digits, trailing zeros dropped, and
// the power of ten of the first.
struct Digits {
  std::string digits;
  int power = 0;
};

// `count` significant digits, rounded to nearest. The exponent is read
// here, never trusting the C library's count of exponent digits.
Digits SignificantDigits(double value, int count) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*e", count - 1, value);
  const char* const exponent = std::strchr(text, 'e');
  Digits digits;
  if (exponent == nullptr) return digits;
  for (const char* c = text; c != exponent; ++c) {
    if (*c != '.') digits.digits += *c;
  }
  while (digits.digits.size() > 1 && digits.digits.back() == '0') digits.digits.pop_back();
  digits.power = std::atoi(exponent + 1);
  return digits;
}

// `count` significant digits of `value` with the point where their power
// puts it: "123.45", "0.00123", "12300".
std::string Positional(double value, int count) {
  const Digits d = SignificantDigits(value, count);
  const auto digitCount = static_cast<int>(d.digits.size());
  const int beforePoint = d.power + 1;
  if (beforePoint <= 0) {
    return "0." + std::string(static_cast<std::size_t>(-beforePoint), '0') + d.digits;
  }
  if (beforePoint >= digitCount) {
    return d.digits + std::string(static_cast<std::size_t>(beforePoint - digitCount), '0');
  }
  const auto split = static_cast<std::size_t>(beforePoint);
  return d.digits.substr(0, split) + "." + d.digits.substr(split);
}

std::string ExponentText(int exponent) {
  return exponent == 0 ? std::string() : "E" + std::to_string(exponent);
}

int PowerOfTen(double value) { return SignificantDigits(value, kMaxSignificantDigits).power; }

bool PlainPower(int power) { return power >= kLowestPlainPower && power <= kHighestPlainPower; }

// The common case, cheaply: `value` to 1, 2, ... 17 digits, written out in
// full or with its own power of ten as the exponent.
bool FindRoundedForm(double value, std::string& found) {
  const int power = PowerOfTen(value);
  for (int count = 1; count <= kMaxSignificantDigits; ++count) {
    if (PlainPower(power)) {
      found = Positional(value, count);
      if (ReadsBackAs(found, value)) return true;
    }
    found = Positional(value / std::pow(10.0, power), count) + ExponentText(power);
    if (ReadsBackAs(found, value)) return true;
  }
  return false;
}

// The first of low .. high - 1 for which `reaches` holds (high when none
// does); `reaches` must hold for every number after the first that does.
template <typename Predicate>
uint64_t FirstWhere(uint64_t low, uint64_t high, Predicate reaches) {
  while (low < high) {
    const uint64_t middle = low + (high - low) / 2;
    if (reaches(middle)) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return low;
}

// The first positive double whose exponent steps reach at least `value`
// (or, with `above`, more than it). The steps never reverse the order of
// two mantissas, and the bit patterns of positive doubles are in order.
double FirstMantissaReaching(double value, int exponent, bool above) {
  const uint64_t largest = std::bit_cast<uint64_t>(std::numeric_limits<double>::max());
  return std::bit_cast<double>(FirstWhere(1, largest, [=](uint64_t bits) {
    const double reached = ApplyDecimalExponent(std::bit_cast<double>(bits), exponent);
    return above ? reached > value : reached >= value;
  }));
}

// Calls `find` with the exponents from `power` out to `reach` steps either
// side, nearest first, until it answers true.
template <typename Find>
bool AnyExponentNear(int power, int reach, Find find) {
  if (find(power)) return true;
  for (int distance = 1; distance <= reach; ++distance) {
    if (find(power - distance) || find(power + distance)) return true;
  }
  return false;
}

// A literal with this exponent that reads back as `value`: the shortest
// mantissa among those whose steps land exactly on it.
bool FindWithExponent(double value, int exponent, std::string& found) {
  const double lowest = FirstMantissaReaching(value, exponent, false);
  const double highest = std::nextafter(FirstMantissaReaching(value, exponent, true), 0.0);
  if (lowest > highest || !PlainPower(PowerOfTen(lowest))) return false;
  const double middle = lowest / 2 + highest / 2;
  for (int count = 1; count <= kMaxSignificantDigits; ++count) {
    for (const double mantissa : {middle, lowest, highest}) {
      found = Positional(mantissa, count) + ExponentText(exponent);
      if (ReadsBackAs(found, value)) return true;
    }
  }
  return false;
}

// The rare literal that only its own exponent reproduces (many digits, or
// a long run of steps): every exponent that keeps the mantissa written
// out in full, nearest to the number's own power first.
bool FindAnyExponent(double value, std::string& found) {
  const int power = PowerOfTen(value);
  if (PlainPower(power) && FindWithExponent(value, 0, found)) return true;
  return AnyExponentNear(power, kHighestPlainPower - kLowestPlainPower, [&](int exponent) {
    const int mantissaPower = power - exponent;
    return exponent != 0 && PlainPower(mantissaPower) && FindWithExponent(value, exponent, found);
  });
}

// `digits` written with its last `decimals` digits after the point:
// "12.345", "0.0012".
std::string DecimalText(uint64_t digits, int decimals) {
  std::string text = std::to_string(digits);
  const auto places = static_cast<std::size_t>(decimals);
  if (text.size() <= places) text.insert(0, places - text.size() + 1, '0');
  if (places > 0) text.insert(text.size() - places, ".");
  return text;
}

double Read(const std::string& text) {
  std::size_t length = 0;
  return ReadBack(text, length);
}

// Literals written with more digits than a double holds are read by
// rounding each digit in: no mantissa of 17 digits may reproduce them.
// Mantissas of up to 19 digits with `decimals` places are tried instead,
// by bisection over the digits (more digits never read as less).
bool FindWithLongMantissa(double value, int exponent, int decimals, std::string& found) {
  const uint64_t digits = FirstWhere(0, 9999999999999999999u, [&](uint64_t candidate) {
    return Read(DecimalText(candidate, decimals) + ExponentText(exponent)) >= value;
  });
  found = DecimalText(digits, decimals) + ExponentText(exponent);
  return ReadsBackAs(found, value);
}

// Mantissas of 16 to 19 digits with this exponent.
bool FindLongFormAt(double value, int exponent, std::string& found) {
  const int mantissaPower = PowerOfTen(value) - exponent;
  for (int decimals = 15 - mantissaPower; decimals <= 18 - mantissaPower; ++decimals) {
    if (decimals < 0 || decimals > kMaxExactDecimals) continue;
    if (FindWithLongMantissa(value, exponent, decimals, found)) return true;
  }
  return false;
}

// The last resort: long mantissas with each exponent near the number's
// power.
bool FindLongForm(double value, std::string& found) {
  return AnyExponentNear(PowerOfTen(value), kHighestPlainPower,
                         [&](int exponent) { return FindLongFormAt(value, exponent, found); });
}

// Infinity and NaN are what the tokenizer makes of a literal too large for
// a double, and of one whose digits and decimals both overflow.
std::string SpecialText(double value) {
  if (std::isinf(value)) return "1E309";
  return "." + std::string("1") + std::string(309, '0');
}

}  // namespace

std::size_t ExactNumberTextGrowth(double value) {
  const std::string shown = FormatNumber(value);
  if (ReadsBackAs(shown, value)) return 0;
  if (std::isnan(value) || value == HUGE_VAL) return SpecialText(value).size();
  return kLongestFoundText > shown.size() ? kLongestFoundText - shown.size() : 0;
}

std::string ExactNumberText(double value) {
  std::string shown = FormatNumber(value);
  if (ReadsBackAs(shown, value)) return shown;
  if (std::isnan(value) || value == HUGE_VAL) return SpecialText(value);
  if (value < 0.0) return shown;
  std::string found;
  // A literal typed with more digits than a double holds is most often
  // written out in full: that form is tried before the exponents.
  const bool plain = PlainPower(PowerOfTen(value));
  if (FindRoundedForm(value, found) || (plain && FindLongFormAt(value, 0, found)) ||
      FindAnyExponent(value, found) || FindLongForm(value, found)) {
    return found;
  }
  return shown;
}

}  // namespace tenrek
