// The expression evaluator. Seven levels, lowest first:
//   1 OR XOR   2 AND   3 = < > <= >= <>   4 + -   5 * / MOD   6 ^ (right)
//   7 factor: variable, literal, unary + -, NOT, ( expression ), function
//
// After a type mismatch an operation yields a value of its own result type:
// 0 for the numeric operators, comparisons and "-", and for "+" a value of
// the left operand's type (0 or the empty string). A number is never used
// as text, nor text as a number. A missing or unreadable operand is a
// "Syntax error" and counts as 0 or the empty string, whichever its reader
// wanted, so that one error does not bring a second.
#include "eval/evaluator.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "eval/functions.h"
#include "eval/variables.h"
#include "interp/interpreter.h"
#include "interp/limits.h"

namespace tenrek {
namespace {

Value Mismatch(Interpreter& interp, bool asString) {
  interp.Report(Error::TypeMismatch);
  return asString ? Value::Text(std::string()) : Value::Number(0.0);
}

// The kind of the current token when it is one of the two given, else
// StrayChar (which is never an operator).
TokenKind OperatorAt(const StatementCursor& cursor, TokenKind a, TokenKind b, TokenKind c) {
  const Token* t = cursor.Current();
  if (t != nullptr && (t->kind == a || t->kind == b || t->kind == c)) return t->kind;
  return TokenKind::StrayChar;
}

// Rounding to a signed 64-bit integer, for MOD.
int64_t RoundToInt64(double value) {
  const double r = std::floor(value + 0.5);
  constexpr double kLimit = 9223372036854775808.0;  // 2^63
  return (r >= -kLimit && r < kLimit) ? static_cast<int64_t>(r)
                                      : std::numeric_limits<int64_t>::min();
}

double Modulo(Interpreter& interp, double left, double right) {
  const int64_t dividend = RoundToInt64(left);
  const int64_t divisor = RoundToInt64(right);
  if (divisor == 0) {
    interp.Report(Error::DivideByZero);
    return 0.0;
  }
  if (divisor == -1) return 0.0;  // the one quotient that would overflow
  return static_cast<double>(dividend % divisor);
}

// b ^ e, defined as exp(e * ln b), with ln of the magnitude and the sign
// of an integral power for a negative base. Where that product is a number
// the exact library power is used, so 2 ^ 3 is exactly 8; where it is not
// (0 ^ 0, a NaN operand, 1 ^ infinity, infinity ^ 0) the result is NaN.
double Power(double base, double exponent) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  if (!(base >= 0.0)) {
    if (static_cast<double>(TruncateToInt(exponent)) != exponent) return nan;
  }
  if (std::isnan(exponent * std::log(std::fabs(base)))) return nan;
  return std::pow(base, exponent);
}

int32_t Bitwise(TokenKind op, int32_t a, int32_t b) {
  switch (op) {
    case TokenKind::And: return a & b;
    case TokenKind::Or: return a | b;
    default: return a ^ b;
  }
}

bool Compare(TokenKind op, int order, bool unordered) {
  if (unordered) return false;  // NaN: neither smaller, equal nor greater
  switch (op) {
    case TokenKind::Equal: return order == 0;
    case TokenKind::Less: return order < 0;
    case TokenKind::Greater: return order > 0;
    case TokenKind::LessEqual: return order <= 0;
    case TokenKind::GreaterEqual: return order >= 0;
    default: return order != 0;  // NotEqual
  }
}

Value Comparison(Interpreter& interp, TokenKind op, const Value& left, const Value& right) {
  if (left.isString != right.isString) return Mismatch(interp, false);
  int order = 0;
  bool unordered = false;
  if (left.isString) {
    // std::string_view compares as unsigned characters.
    const int c = std::string_view(left.text).compare(right.text);
    order = (c > 0) - (c < 0);
  } else {
    unordered = std::isnan(left.number) || std::isnan(right.number);
    order = (left.number > right.number) - (left.number < right.number);
  }
  return Value::Number(Compare(op, order, unordered) ? 1.0 : 0.0);
}

Value Sum(Interpreter& interp, TokenKind op, Value left, const Value& right) {
  if (left.isString != right.isString) return Mismatch(interp, op == TokenKind::Plus && left.isString);
  if (left.isString) {
    if (op == TokenKind::Minus) return Mismatch(interp, false);
    AppendLimited(left.text, right.text);
    return left;
  }
  return Value::Number(op == TokenKind::Plus ? left.number + right.number
                                             : left.number - right.number);
}

Value Product(Interpreter& interp, TokenKind op, const Value& left, const Value& right) {
  if (left.isString || right.isString) return Mismatch(interp, false);
  switch (op) {
    case TokenKind::Times: return Value::Number(left.number * right.number);
    case TokenKind::Divide: return Value::Number(left.number / right.number);
    default: return Value::Number(Modulo(interp, left.number, right.number));
  }
}

// The value of an operand that is missing or unreadable: of the type the
// reader asked for, so one syntax error does not bring a type mismatch.
Value Blank(bool wantString) {
  return wantString ? Value::Text(std::string()) : Value::Number(0.0);
}

Value Factor(Interpreter& interp, StatementCursor& cursor, bool wantString);

// One factor, refusing to nest deeper than kMaxEvaluationDepth.
Value GuardedFactor(Interpreter& interp, StatementCursor& cursor, bool wantString) {
  // Every nesting (parentheses, unary operators, arguments, subscripts,
  // VAL) passes through here; refusing to go deeper keeps the machine
  // stack safe from texts such as VAL(A$) where A$ holds "VAL(A$)".
  if (interp.evaluationDepth >= kMaxEvaluationDepth) {
    interp.Report(Error::SyntaxError);
    cursor.Advance();
    return Blank(wantString);
  }
  ++interp.evaluationDepth;
  Value value = Factor(interp, cursor, wantString);
  --interp.evaluationDepth;
  return value;
}

// Level 6: factor [ "^" level6 ].
Value PowerLevel(Interpreter& interp, StatementCursor& cursor, bool wantString) {
  Value base = GuardedFactor(interp, cursor, wantString);
  if (!cursor.Is(TokenKind::Power)) return base;
  cursor.Advance();
  const Value exponent = PowerLevel(interp, cursor, false);
  if (base.isString || exponent.isString) return Mismatch(interp, false);
  return Value::Number(Power(base.number, exponent.number));
}

// Level 5: level6 { ("*" | "/" | MOD) level6 }.
Value ProductLevel(Interpreter& interp, StatementCursor& cursor, bool wantString) {
  Value left = PowerLevel(interp, cursor, wantString);
  for (;;) {
    const TokenKind op = OperatorAt(cursor, TokenKind::Times, TokenKind::Divide, TokenKind::Mod);
    if (op == TokenKind::StrayChar) return left;
    cursor.Advance();
    const Value right = PowerLevel(interp, cursor, false);
    left = Product(interp, op, left, right);
  }
}

// Level 4: level5 { ("+" | "-") level5 }.
Value SumLevel(Interpreter& interp, StatementCursor& cursor, bool wantString) {
  Value left = ProductLevel(interp, cursor, wantString);
  for (;;) {
    const TokenKind op = OperatorAt(cursor, TokenKind::Plus, TokenKind::Minus, TokenKind::Minus);
    if (op == TokenKind::StrayChar) return left;
    cursor.Advance();
    const Value right = ProductLevel(interp, cursor, left.isString);
    left = Sum(interp, op, std::move(left), right);
  }
}

bool IsRelational(const Token* t) {
  return t != nullptr && t->kind >= TokenKind::Equal && t->kind <= TokenKind::NotEqual;
}

// Level 3: level4 { relation level4 }, chaining on the 0 or 1 results.
Value ComparisonLevel(Interpreter& interp, StatementCursor& cursor, bool wantString) {
  Value left = SumLevel(interp, cursor, wantString);
  while (IsRelational(cursor.Current())) {
    const TokenKind op = cursor.Current()->kind;
    cursor.Advance();
    const Value right = SumLevel(interp, cursor, left.isString);
    left = Comparison(interp, op, left, right);
  }
  return left;
}

Value BitwiseOperation(Interpreter& interp, TokenKind op, const Value& left, const Value& right) {
  if (left.isString || right.isString) return Mismatch(interp, false);
  const int32_t result = Bitwise(op, TruncateToInt(left.number), TruncateToInt(right.number));
  return Value::Number(static_cast<double>(result));
}

// Level 2: level3 { AND level3 }.
Value AndLevel(Interpreter& interp, StatementCursor& cursor, bool wantString) {
  Value left = ComparisonLevel(interp, cursor, wantString);
  while (cursor.Is(TokenKind::And)) {
    cursor.Advance();
    const Value right = ComparisonLevel(interp, cursor, false);
    left = BitwiseOperation(interp, TokenKind::And, left, right);
  }
  return left;
}

// Level 1: level2 { (OR | XOR) level2 }.
Value OrLevel(Interpreter& interp, StatementCursor& cursor, bool wantString) {
  Value left = AndLevel(interp, cursor, wantString);
  for (;;) {
    const TokenKind op = OperatorAt(cursor, TokenKind::Or, TokenKind::Xor, TokenKind::Xor);
    if (op == TokenKind::StrayChar) return left;
    cursor.Advance();
    const Value right = AndLevel(interp, cursor, false);
    left = BitwiseOperation(interp, op, left, right);
  }
}

Value ReadVariable(Interpreter& interp, StatementCursor& cursor) {
  const CellRef cell = ReferenceVariable(interp, cursor);
  if (!cell.IsString()) return Value::Number(cell.GetNumber());
  if (const StringCell* text = cell.GetString()) return Value::Text(text->text);
  // A failed reference has been reported already.
  if (cell.index != CellRef::kScratch) interp.Report(Error::VariableNotCreated);
  return Value::Text(std::string());
}

Value StringLiteral(const Token& token) {
  const std::string_view text(token.text);
  return Value::Text(std::string(text.substr(0, kMaxStringLength)));
}

// NOT factor: the complement of the factor rounded to an integer.
Value Complement(Interpreter& interp, StatementCursor& cursor) {
  const Value operand = GuardedFactor(interp, cursor, false);
  if (operand.isString) return Mismatch(interp, false);
  return Value::Number(static_cast<double>(~RoundToInt(operand.number)));
}

// Level 7, by the current token, which is always consumed.
Value Factor(Interpreter& interp, StatementCursor& cursor, bool wantString) {
  const Token* t = cursor.Current();
  if (t == nullptr) {
    interp.Report(Error::SyntaxError);
    return Blank(wantString);
  }
  const TokenKind kind = t->kind;
  if (kind == TokenKind::Identifier) return ReadVariable(interp, cursor);
  cursor.Advance();
  switch (kind) {
    case TokenKind::Number: return Value::Number(t->number);
    case TokenKind::String: return StringLiteral(*t);
    case TokenKind::Plus: return Value::Number(NumericFactor(interp, cursor));
    case TokenKind::Minus: return Value::Number(-NumericFactor(interp, cursor));
    case TokenKind::Not: return Complement(interp, cursor);
    case TokenKind::LeftParen: {
      Value inner = OrLevel(interp, cursor, wantString);
      ExpectToken(interp, cursor, TokenKind::RightParen);
      return inner;
    }
    default:
      if (IsFunctionKind(kind)) return EvaluateFunction(interp, cursor, kind);
      interp.Report(Error::SyntaxError);
      return Blank(wantString);
  }
}

}  // namespace

Value EvaluateExpression(Interpreter& interp, StatementCursor& cursor) {
  return OrLevel(interp, cursor, false);
}

Value EvaluateFactor(Interpreter& interp, StatementCursor& cursor) {
  return GuardedFactor(interp, cursor, false);
}

double NumericExpression(Interpreter& interp, StatementCursor& cursor) {
  const Value value = EvaluateExpression(interp, cursor);
  if (!value.isString) return value.number;
  interp.Report(Error::TypeMismatch);
  return 0.0;
}

std::string StringExpression(Interpreter& interp, StatementCursor& cursor) {
  Value value = OrLevel(interp, cursor, true);
  if (value.isString) return std::move(value.text);
  interp.Report(Error::TypeMismatch);
  return std::string();
}

int32_t IntegerExpression(Interpreter& interp, StatementCursor& cursor) {
  return RoundToInt(NumericExpression(interp, cursor));
}

double NumericFactor(Interpreter& interp, StatementCursor& cursor) {
  const Value value = EvaluateFactor(interp, cursor);
  if (!value.isString) return value.number;
  interp.Report(Error::TypeMismatch);
  return 0.0;
}

std::string StringFactor(Interpreter& interp, StatementCursor& cursor) {
  Value value = GuardedFactor(interp, cursor, true);
  if (value.isString) return std::move(value.text);
  interp.Report(Error::TypeMismatch);
  return std::string();
}

int32_t IntegerFactor(Interpreter& interp, StatementCursor& cursor) {
  return RoundToInt(NumericFactor(interp, cursor));
}

void ExpectToken(Interpreter& interp, StatementCursor& cursor, TokenKind kind) {
  if (!cursor.Is(kind)) interp.Report(Error::SyntaxError);
  cursor.Advance();
}

// Stops, without consuming it, at the first "," or ")" outside nested
// parentheses. A nested "(" is skipped with everything up to its own ")",
// commas included, so A(MIN(1, 2), 3) counts two subscripts. A statement
// end (no token, ":" or ELSE) inside the subscript is a syntax error.
void SkipSubscript(Interpreter& interp, StatementCursor& cursor) {
  int depth = 0;
  for (;;) {
    if (cursor.AtStatementEnd()) {
      interp.Report(Error::SyntaxError);
      return;
    }
    const TokenKind kind = cursor.Current()->kind;
    if (depth == 0 && (kind == TokenKind::Comma || kind == TokenKind::RightParen)) return;
    if (kind == TokenKind::LeftParen) ++depth;
    if (kind == TokenKind::RightParen) --depth;
    cursor.Advance();
  }
}

int32_t RoundToInt(double value) {
  const double r = std::floor(value + 0.5);
  return (r >= -2147483648.0 && r <= 2147483647.0) ? static_cast<int32_t>(r) : INT32_MIN;
}

int32_t TruncateToInt(double value) {
  const double r = std::trunc(value);
  return (r >= -2147483648.0 && r <= 2147483647.0) ? static_cast<int32_t>(r) : INT32_MIN;
}

void AppendLimited(std::string& head, std::string_view tail) {
  if (head.size() >= kMaxStringLength) {
    head.resize(kMaxStringLength);
    return;
  }
  head.append(tail.substr(0, kMaxStringLength - head.size()));
}

}  // namespace tenrek
