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

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

#include "eval/builtins.h"
#include "eval/functions.h"
#include "eval/grammar.h"
#include "eval/variables.h"
#include "interp/interpreter.h"
#include "interp/limits.h"

namespace tenrek {
namespace {

Value Mismatch(Interpreter& interp, bool asString) {
  interp.Report(Error::TypeMismatch);
  return asString ? Value::Text(std::string()) : Value::Number(0.0);
}

// Rounding to a signed 64-bit integer, for MOD.
int64_t RoundToInt64(double value) {
  const double r = std::floor(value + 0.5);
  constexpr double kLimit = 9223372036854775808.0;  // 2^63
  return (r >= -kLimit && r < kLimit) ? static_cast<int64_t>(r)
                                      : std::numeric_limits<int64_t>::min();
}

}  // namespace

double ModuloSlow(Interpreter& interp, double left, double right) {
  const int64_t dividend = RoundToInt64(left);
  const int64_t divisor = RoundToInt64(right);
  if (divisor == 0) {
    interp.Report(Error::DivideByZero);
    return 0.0;
  }
  if (divisor == -1) return 0.0;  // the one quotient that would overflow
  return static_cast<double>(dividend % divisor);
}

namespace {

// b ^ e, defined as exp(e * ln b), with ln of the magnitude and the sign
// of an integral power for a negative base. Where that product is a number
// the exact library power is used, so 2 ^ 3 is exactly 8; where it is not
// (0 ^ 0, a NaN operand, 1 ^ infinity, infinity ^ 0) the result is NaN.
double Power(double base, double exponent) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  if (std::isnan(base) || std::isnan(exponent)) return nan;
  if (base < 0.0 && static_cast<double>(TruncateToInt(exponent)) != exponent) return nan;
  const double magnitude = std::fabs(base);
  // ln |b| is infinite for 0 and infinity, 0 for 1: products 0 * infinity.
  if (exponent == 0.0 && (magnitude == 0.0 || std::isinf(magnitude))) return nan;
  if (magnitude == 1.0 && std::isinf(exponent)) return nan;
  return std::pow(base, exponent);
}

}  // namespace

double ApplyOperator(Interpreter& interp, TokenKind op, double a, double b) {
  switch (op) {
    case TokenKind::Plus: return a + b;
    case TokenKind::Minus: return a - b;
    case TokenKind::Times: return a * b;
    case TokenKind::Divide: return a / b;  // IEEE: a zero divisor is no error
    case TokenKind::Mod: return Modulo(interp, a, b);
    case TokenKind::Power: return Power(a, b);
    case TokenKind::And: return AndOf(a, b);
    case TokenKind::Or: return OrOf(a, b);
    case TokenKind::Xor: return XorOf(a, b);
    default: return Relation(op, a, b) ? 1.0 : 0.0;
  }
}

namespace {

// A binary operator with at least one string operand: "+" joins two
// strings, a comparison compares them; anything else is a mismatch.
Value TextOperation(Interpreter& interp, TokenKind op, Value left, const Value& right) {
  const bool isComparison = IsRelation(op);
  if (left.isString && right.isString) {
    if (op == TokenKind::Plus) {
      AppendLimited(left.text, right.text);
      return left;
    }
    if (isComparison) {
      // std::string_view compares as unsigned characters.
      const int c = std::string_view(left.text).compare(right.text);
      return Value::Number(Holds(OperatorOf(op).orders, OrderOf(c)) ? 1.0 : 0.0);
    }
  }
  return Mismatch(interp, op == TokenKind::Plus && left.isString);
}

// The value of an operand that is missing or unreadable: of the type the
// reader asked for, so one syntax error does not bring a type mismatch.
Value Blank(bool wantString) {
  return wantString ? Value::Text(std::string()) : Value::Number(0.0);
}

Value Factor(Interpreter& interp, StatementCursor& cursor, bool wantString);
Value ReadVariable(Interpreter& interp, StatementCursor& cursor);
double AsNumber(Interpreter& interp, const Value& value);

// One factor, refusing to nest deeper than kMaxEvaluationDepth.
Value GuardedFactor(Interpreter& interp, StatementCursor& cursor, bool wantString) {
  // Every nesting (parentheses, unary operators, arguments, subscripts,
  // VAL) passes through here; refusing to go deeper keeps the machine
  // stack safe from texts such as VAL(A$) where A$ holds "VAL(A$)".
  if (interp.NestingDepth() >= kMaxEvaluationDepth) {
    interp.Report(Error::SyntaxError);
    cursor.Advance();
    return Blank(wantString);
  }
  interp.EnterNesting();
  Value value = Factor(interp, cursor, wantString);
  interp.LeaveNesting();
  return value;
}

// The string variable standing alone at the cursor as an operand read at
// level `lowest`: a string scalar, not subscripted, followed by nothing
// that level would take as an operator. Such an operand is read in place
// instead of copied; reading it reports "Variable not created" as a copy
// does when the variable has no value. False, with nothing consumed,
// for any other operand.
bool PlainStringOperand(Interpreter& interp, StatementCursor& cursor, int lowest,
                        std::string_view& text) {
  const Token* t = cursor.Current();
  if (t == nullptr || t->kind != TokenKind::Identifier) return false;
  const Variable* v = t->Var();
  if (v == nullptr || !v->isString || v->extentCount != 0) return false;
  const Token* next = cursor.Peek();
  if (next != nullptr && (next->kind == TokenKind::LeftParen || LevelOf(next) >= lowest)) {
    return false;
  }
  // The factor's nesting check.
  if (interp.NestingDepth() >= kMaxEvaluationDepth) return false;
  cursor.Advance();
  text = std::string_view();
  if (v->text.hasValue) {
    text = v->text.text;
  } else {
    interp.Report(Error::VariableNotCreated, v->name);
  }
  return true;
}

// The evaluator as a reader of the grammar (eval/grammar.h): every operand
// is read to its value at once. Operators of one level combine left to
// right, by precedence climbing: the same as one routine per level, but
// without passing every operand through all six.
class ValueReader {
 public:
  using Operand = Value;

  ValueReader(Interpreter& interp, StatementCursor& cursor) : interp_(interp), cursor_(cursor) {}

  TokenKind Next() const {
    const Token* t = cursor_.Current();
    return t != nullptr ? t->kind : TokenKind::Colon;
  }
  void Skip() { cursor_.Advance(); }
  Value Factor(bool wantString) { return GuardedFactor(interp_, cursor_, wantString); }
  void EnterNesting() { interp_.EnterNesting(); }
  void LeaveNesting() { interp_.LeaveNesting(); }
  static bool Stopped(const Value&) { return false; }
  static bool IsText(const Value& value) { return value.isString; }
  // Joining a string variable: appended straight from the variable.
  bool TakesPlainText(TokenKind op, Value& left) {
    std::string_view tail;
    if (op != TokenKind::Plus || !left.isString ||
        !PlainStringOperand(interp_, cursor_, kProduct, tail)) {
      return false;
    }
    AppendLimited(left.text, tail);
    return true;
  }
  void Apply(TokenKind op, Value& left, Value right) {
    if (!left.isString && !right.isString) {
      left.number = ApplyOperator(interp_, op, left.number, right.number);
    } else {
      left = TextOperation(interp_, op, std::move(left), right);
    }
  }

  // ---- factors ----
  const Token* Current() const { return cursor_.Current(); }
  Value Missing(bool wantString) {
    interp_.Report(Error::SyntaxError);
    return Blank(wantString);
  }
  Value Name();
  static Value Number(const Token& token) { return Value::Number(token.Number()); }
  static Value Literal(const Token& token) {
    return Value::Text(std::string(token.Text().substr(0, kMaxStringLength)));
  }
  Value Numeric(const Value& operand) { return Value::Number(AsNumber(interp_, operand)); }
  Value Negated(const Value& operand) { return Value::Number(-AsNumber(interp_, operand)); }
  // NOT: the complement of the operand rounded to a whole number.
  Value Complemented(const Value& operand) {
    if (operand.isString) return Mismatch(interp_, false);
    return Value::Number(static_cast<double>(~RoundToInt(operand.number)));
  }
  void Close(const Value&) { ExpectToken(interp_, cursor_, TokenKind::RightParen); }
  Value Function(TokenKind kind, bool wantString) {
    if (IsFunctionKind(kind)) return EvaluateFunction(interp_, cursor_, kind);
    interp_.Report(Error::SyntaxError);
    return Blank(wantString);
  }

 private:
  Interpreter& interp_;
  StatementCursor& cursor_;
};

// The operators of level `lowest` and above, the first operand read already.
Value BinaryFrom(Interpreter& interp, StatementCursor& cursor, int lowest, Value left) {
  ValueReader reader(interp, cursor);
  return grammar::Operations(reader, lowest, std::move(left));
}

Value Binary(Interpreter& interp, StatementCursor& cursor, int lowest, bool wantString) {
  ValueReader reader(interp, cursor);
  return grammar::Binary(reader, lowest, wantString);
}

Value OrLevel(Interpreter& interp, StatementCursor& cursor, bool wantString) {
  return Binary(interp, cursor, kOr, wantString);
}

Value ReadVariable(Interpreter& interp, StatementCursor& cursor) {
  const CellRef cell = ReferenceVariable(interp, cursor);
  if (!cell.IsString()) return Value::Number(cell.GetNumber());
  if (const StringCell* text = cell.GetString()) return Value::Text(text->text);
  // A failed reference has been reported already.
  if (cell.index != CellRef::kScratch) {
    interp.Report(Error::VariableNotCreated, CellName(*cell.variable, cell.index));
  }
  return Value::Text(std::string());
}

// A name: the common case, a numeric scalar, is read without a reference.
Value ValueReader::Name() {
  const Token* t = cursor_.Current();
  const auto* v = t->Var();
  const Token* next = cursor_.Peek();
  if (v != nullptr && !v->isString && v->extentCount == 0 &&
      (next == nullptr || next->kind != TokenKind::LeftParen)) {
    cursor_.Advance();
    return Value::Number(v->number);
  }
  return ReadVariable(interp_, cursor_);
}

// Level 7, by the current token, which is always consumed.
Value Factor(Interpreter& interp, StatementCursor& cursor, bool wantString) {
  ValueReader reader(interp, cursor);
  return grammar::Factor(reader, wantString);
}

}  // namespace

Value EvaluateExpression(Interpreter& interp, StatementCursor& cursor) {
  return OrLevel(interp, cursor, false);
}

Value ContinueExpression(Interpreter& interp, StatementCursor& cursor, Value first) {
  return BinaryFrom(interp, cursor, kOr, std::move(first));
}

Value EvaluateFactor(Interpreter& interp, StatementCursor& cursor) {
  return GuardedFactor(interp, cursor, false);
}

namespace {

// The typed readers: a value of the other type is a mismatch and gives 0
// or the empty string.
double AsNumber(Interpreter& interp, const Value& value) {
  if (!value.isString) return value.number;
  interp.Report(Error::TypeMismatch);
  return 0.0;
}

std::string AsString(Interpreter& interp, Value&& value) {
  if (value.isString) return std::move(value.text);
  interp.Report(Error::TypeMismatch);
  return std::string();
}

}  // namespace

double NumericExpression(Interpreter& interp, StatementCursor& cursor) {
  return AsNumber(interp, OrLevel(interp, cursor, false));
}

std::string StringExpression(Interpreter& interp, StatementCursor& cursor) {
  return AsString(interp, OrLevel(interp, cursor, true));
}

int32_t IntegerExpression(Interpreter& interp, StatementCursor& cursor) {
  return RoundToInt(NumericExpression(interp, cursor));
}

double NumericFactor(Interpreter& interp, StatementCursor& cursor) {
  return AsNumber(interp, EvaluateFactor(interp, cursor));
}

std::string StringFactor(Interpreter& interp, StatementCursor& cursor) {
  return AsString(interp, GuardedFactor(interp, cursor, true));
}

int32_t IntegerFactor(Interpreter& interp, StatementCursor& cursor) {
  return RoundToInt(NumericFactor(interp, cursor));
}

bool StringExpressionInPlace(Interpreter& interp, StatementCursor& cursor, std::string_view& text) {
  return PlainStringOperand(interp, cursor, kOr, text);
}

bool StringFactorInPlace(Interpreter& interp, StatementCursor& cursor, std::string_view& text) {
  if (!cursor.Is(TokenKind::LeftParen)) {
    return PlainStringOperand(interp, cursor, kPower + 1, text);
  }
  // "(" name ")": the parenthesis nests one level deeper.
  const std::size_t open = cursor.pos;
  if (open + 2 >= cursor.list->size() || (*cursor.list)[open + 2].kind != TokenKind::RightParen ||
      interp.NestingDepth() + 1 >= kMaxEvaluationDepth) {
    return false;
  }
  cursor.Advance();
  interp.EnterNesting();
  const bool plain = PlainStringOperand(interp, cursor, kOr, text);
  interp.LeaveNesting();
  if (!plain) {
    cursor.pos = open;
    return false;
  }
  cursor.Advance();  // the ")"
  return true;
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

int32_t RoundToIntSlow(double value) {
  const double r = std::floor(value + 0.5);
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
