// The built-in functions and the language's random generator.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "eval/builtins.h"
#include "eval/value.h"
#include "interp/cursor.h"

namespace tenrek {

class Interpreter;

// Evaluates the function whose keyword token was just consumed.
Value EvaluateFunction(Interpreter& interp, StatementCursor& cursor, TokenKind function);

// The value of a function of one number giving a number (SQR ... SGN,
// INT, CEILING, FLOOR).
double NumericFunction(TokenKind function, double x);

// The value of a function of one string giving a string (LTRIM$ ...
// PROPER$), computed in place.
void TransformText(TokenKind function, std::string& text);

// The slices of a text, as views of it: MID$ from the 1-based `start`
// (below 1 counting as 1), LEFT$ and RIGHT$. A count below 0 or past the
// text means all of it.
std::string_view MidOf(std::string_view s, int32_t start, int32_t count);
std::string_view LeftOf(std::string_view s, int32_t count);
std::string_view RightOf(std::string_view s, int32_t count);

// ASC: the first character as a signed byte, 0 for the empty text.
inline double CodeOfText(std::string_view s) {
  return s.empty() ? 0.0 : static_cast<signed char>(s[0]);
}

// The language's random generator: state * 214013 + 2531011, bits 16 to 30.
class RandomGenerator {
 public:
  void Seed(uint32_t seed) { state_ = seed; }
  int32_t Next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int32_t>((state_ >> 16) & 0x7FFFu);
  }

 private:
  uint32_t state_ = 1;
};

int32_t RandomBetween(RandomGenerator& generator, int32_t a, int32_t b);

}  // namespace tenrek
