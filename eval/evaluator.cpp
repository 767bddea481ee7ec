// Placeholder: replaced by the evaluator implementation.
#include "eval/evaluator.h"

#include <cmath>

#include "interp/interpreter.h"

namespace tenrek {

Value EvaluateExpression(Interpreter& interp, StatementCursor& cursor) {
  return EvaluateFactor(interp, cursor);
}
Value EvaluateFactor(Interpreter&, StatementCursor& cursor) {
  const Token* t = cursor.Current();
  Value v;
  if (t != nullptr && t->kind == TokenKind::Number) v.number = t->number;
  if (t != nullptr && t->kind == TokenKind::String) v = Value::Text(t->text);
  cursor.Advance();
  return v;
}
double NumericExpression(Interpreter& i, StatementCursor& c) { return EvaluateExpression(i, c).number; }
std::string StringExpression(Interpreter& i, StatementCursor& c) { return EvaluateExpression(i, c).text; }
int32_t IntegerExpression(Interpreter& i, StatementCursor& c) { return RoundToInt(NumericExpression(i, c)); }
double NumericFactor(Interpreter& i, StatementCursor& c) { return EvaluateFactor(i, c).number; }
std::string StringFactor(Interpreter& i, StatementCursor& c) { return EvaluateFactor(i, c).text; }
int32_t IntegerFactor(Interpreter& i, StatementCursor& c) { return RoundToInt(NumericFactor(i, c)); }
void ExpectToken(Interpreter& interp, StatementCursor& cursor, TokenKind kind) {
  if (!cursor.Is(kind)) interp.Report(Error::SyntaxError);
  cursor.Advance();
}
void SkipSubscript(Interpreter&, StatementCursor&) {}
int32_t RoundToInt(double value) {
  double r = std::floor(value + 0.5);
  return (r >= -2147483648.0 && r <= 2147483647.0) ? static_cast<int32_t>(r) : INT32_MIN;
}
int32_t TruncateToInt(double value) {
  double r = std::trunc(value);
  return (r >= -2147483648.0 && r <= 2147483647.0) ? static_cast<int32_t>(r) : INT32_MIN;
}
void AppendLimited(std::string& head, std::string_view tail) { head.append(tail); }

}  // namespace tenrek
