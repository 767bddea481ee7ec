// The built-in functions and the language's random generator.
#pragma once

#include <cstdint>
#include <string>

#include "eval/value.h"
#include "interp/cursor.h"

namespace tenrek {

class Interpreter;

// Evaluates the function whose keyword token was just consumed.
Value EvaluateFunction(Interpreter& interp, StatementCursor& cursor, TokenKind function);

// SQR ... SGN, INT, CEILING, FLOOR: the functions of one number giving a
// number, and their value.
bool IsNumericFunctionKind(TokenKind kind);
double NumericFunction(TokenKind function, double x);

// LTRIM$ ... PROPER$: the functions of one string giving a string, and
// their value, computed in place.
bool IsTextFunctionKind(TokenKind kind);
void TransformText(TokenKind function, std::string& text);

// True for the function keyword kinds (SQR ... PEEK, RANDOM ... MAX, CRLF$).
bool IsFunctionKind(TokenKind kind);

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
