// The expression evaluator: recursive descent over the tokens of the
// current statement. Errors are reported and evaluation goes on with the
// operands it has; nothing unwinds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "eval/value.h"
#include "interp/cursor.h"

namespace tenrek {

class Interpreter;

// How deeply factors may nest (parentheses, unary operators, function
// arguments, subscripts, VAL). Programs never come near it; a deeper text
// is a "Syntax error" rather than an exhausted machine stack. One level
// costs up to about 1.5 KB of stack, and the interpreter runs on the
// host's thread, whose stack may be no more than 1 MB.
inline constexpr int32_t kMaxEvaluationDepth = 100;

Value EvaluateExpression(Interpreter& interp, StatementCursor& cursor);
Value EvaluateFactor(Interpreter& interp, StatementCursor& cursor);
// The rest of an expression whose first operand, read already, is `first`.
Value ContinueExpression(Interpreter& interp, StatementCursor& cursor, Value first);

// Typed forms: a value of the other type reports "Type mismatch error" and
// yields 0 or the empty string.
double NumericExpression(Interpreter& interp, StatementCursor& cursor);
std::string StringExpression(Interpreter& interp, StatementCursor& cursor);
int32_t IntegerExpression(Interpreter& interp, StatementCursor& cursor);
double NumericFactor(Interpreter& interp, StatementCursor& cursor);
std::string StringFactor(Interpreter& interp, StatementCursor& cursor);
int32_t IntegerFactor(Interpreter& interp, StatementCursor& cursor);

// A binary operator on two numbers (MOD by zero reports "Divide by zero").
double ApplyOperator(Interpreter& interp, TokenKind op, double a, double b);

// MOD: the operands rounded to whole numbers, "Divide by zero" for a zero
// divisor. Whole operands of 32 bits and a positive divisor, as MOD's
// operands nearly always are, take a plain remainder without a call.
double ModuloSlow(Interpreter& interp, double left, double right);
inline double Modulo(Interpreter& interp, double left, double right) {
  if (left >= -2147483648.0 && left <= 2147483647.0 && right >= 1.0 && right <= 2147483647.0) {
    const auto wholeLeft = static_cast<int32_t>(left);
    const auto wholeRight = static_cast<int32_t>(right);
    if (wholeLeft == left && wholeRight == right) return wholeLeft % wholeRight;
  }
  return ModuloSlow(interp, left, right);
}

// The string operand at the cursor read in place when it is a string
// variable standing alone (the whole expression, or the whole factor with
// or without parentheses): `text` then views the variable's value, valid
// until the variable is next assigned, and the operand is consumed. False,
// with nothing consumed or reported, for any other operand.
bool StringExpressionInPlace(Interpreter& interp, StatementCursor& cursor, std::string_view& text);
bool StringFactorInPlace(Interpreter& interp, StatementCursor& cursor, std::string_view& text);

// Reports "Syntax error" unless the current token is of `kind`; then steps
// past the current token, whatever it is, if there is one.
void ExpectToken(Interpreter& interp, StatementCursor& cursor, TokenKind kind);

// Steps over one subscript without evaluating it.
void SkipSubscript(Interpreter& interp, StatementCursor& cursor);

// The two integer conversions. Out-of-range results give -2147483648.
int32_t RoundToIntSlow(double value);
inline int32_t RoundToInt(double value) {  // floor(value + 0.5)
  // A whole number in range rounds to itself: no floor() call.
  if (value >= -2147483648.0 && value <= 2147483647.0) {
    const auto whole = static_cast<int32_t>(value);
    if (whole == value) return whole;
  }
  return RoundToIntSlow(value);
}
inline int32_t TruncateToInt(double value) {  // toward zero
  // In range exactly when the truncated value is: the conversion itself
  // truncates, so no trunc() call is needed. NaN is out of range.
  if (value > -2147483649.0 && value < 2147483648.0) return static_cast<int32_t>(value);
  return INT32_MIN;
}
// AND, OR and XOR work on their operands truncated to whole numbers.
inline double AndOf(double a, double b) {
  return static_cast<double>(TruncateToInt(a) & TruncateToInt(b));
}
inline double OrOf(double a, double b) {
  return static_cast<double>(TruncateToInt(a) | TruncateToInt(b));
}
inline double XorOf(double a, double b) {
  return static_cast<double>(TruncateToInt(a) ^ TruncateToInt(b));
}

// Appends `tail` to `head`, cutting at the 1023-character string limit.
void AppendLimited(std::string& head, std::string_view tail);

}  // namespace tenrek
