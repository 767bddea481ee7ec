// Numeric expressions of stored lines, translated once into operations on
// numbers and run from there. An expression that does not translate
// exactly (strings, string functions, an error in its text, an array used
// in a shape it does not have yet) runs through the evaluator as before.
#pragma once

#include "eval/evaluator.h"
#include "interp/cursor.h"
#include "interp/interpreter.h"
#include "interp/line_code.h"

namespace tenrek {

class Interpreter;

// The translated form of a line, made empty on first use.
LineCode& CodeOf(ProgramLine& line);

// The translation of the expression at the cursor, or null when the cursor
// reads no stored line or the expression there does not translate. Builds
// it on first use, and again when a variable it reads changed its shape.
CompiledExpression* TranslateExpressionAt(Interpreter& interp, const StatementCursor& cursor);

// The same, with the common case (translated already, shapes unchanged)
// answered without a call.
inline CompiledExpression* CompiledExpressionAt(Interpreter& interp,
                                                const StatementCursor& cursor) {
  ProgramLine* const line = interp.currentLine;
  if (line != nullptr && line->code != nullptr && cursor.list == &line->tokens &&
      cursor.pos < line->code->expressionAt.size()) {
    const int32_t slot = line->code->expressionAt[cursor.pos];
    if (slot != LineCode::kNone) {
      CompiledExpression& expression = *line->code->expressions[static_cast<std::size_t>(slot)];
      if (expression.shapeEpoch == interp.shapeEpoch) {
        if (expression.refused) return nullptr;
        if (interp.evaluationDepth + expression.depth < kMaxEvaluationDepth) return &expression;
      }
    }
  }
  return TranslateExpressionAt(interp, cursor);
}

// The relations, NaN making every one of them false.
inline bool Relation(TokenKind kind, double a, double b) {
  switch (kind) {
    case TokenKind::Equal: return a == b;
    case TokenKind::Less: return a < b;
    case TokenKind::Greater: return a > b;
    case TokenKind::LessEqual: return a <= b;
    case TokenKind::GreaterEqual: return a >= b;
    default: return a < b || a > b;  // NotEqual
  }
}

// Runs a translation on its stack of values.
double RunCompiledOps(Interpreter& interp, const CompiledExpression& expression);

// A lone number or scalar, or a scalar with one operation that takes its
// right operand in (a counter stepped, a limit compared): most expressions
// of a program, answered without setting up the stack. Only operations
// that never report are taken here.
inline bool RunShort(const CompiledExpression& expression, double& value) {
  const Op* ops = expression.ops.data();
  const std::size_t count = expression.ops.size();
  if (count == 1) {
    if (ops[0].code == OpCode::Constant) return value = ops[0].number, true;
    if (ops[0].code == OpCode::Scalar) return value = ops[0].variable->number, true;
    return false;
  }
  if (count != 2 || ops[0].code != OpCode::Scalar) return false;
  const double a = ops[0].variable->number;
  const Op& op = ops[1];
  switch (op.code) {
    case OpCode::AddConstant: value = a + op.number; return true;
    case OpCode::SubtractConstant: value = a - op.number; return true;
    case OpCode::MultiplyConstant: value = a * op.number; return true;
    case OpCode::CompareConstant: value = Relation(op.kind, a, op.number) ? 1.0 : 0.0; return true;
    case OpCode::AddScalar: value = a + op.variable->number; return true;
    case OpCode::SubtractScalar: value = a - op.variable->number; return true;
    case OpCode::MultiplyScalar: value = a * op.variable->number; return true;
    case OpCode::CompareScalar:
      value = Relation(op.kind, a, op.variable->number) ? 1.0 : 0.0;
      return true;
    default: return false;
  }
}

// Runs a translation: the same value and the same reports, in the same
// order, as the evaluator gives for its text.
inline double RunCompiled(Interpreter& interp, const CompiledExpression& expression) {
  double value = 0.0;
  if (RunShort(expression, value)) return value;
  return RunCompiledOps(interp, expression);
}

}  // namespace tenrek
