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

// Whether a translation whose deepest nesting check is `depth` levels
// deep runs within the evaluator's limit from where it is now (inside
// VAL, say); beyond it the evaluator runs the text and reports.
inline bool NestsWithinLimit(const Interpreter& interp, int depth) {
  return interp.evaluationDepth + depth < kMaxEvaluationDepth;
}

// The same, with the common case (translated already, shapes unchanged)
// answered without a call.
inline CompiledExpression* CompiledExpressionAt(Interpreter& interp,
                                                const StatementCursor& cursor) {
  ProgramLine* const line = interp.currentLine;
  if (line != nullptr && line->code != nullptr && cursor.list == &line->tokens) {
    if (CompiledExpression* expression = line->code->FindExpression(cursor.pos)) {
      if (expression->shapeEpoch == interp.shapeEpoch) {
        if (expression->refused) return nullptr;
        if (NestsWithinLimit(interp, expression->depth)) return expression;
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

// A subscript in range: floor(value + 0.5) in [0, extent), found without
// testing the value for a whole number first (for a shifted value of zero
// or more, truncation is the floor). False for NaN.
inline bool SubscriptInRange(double value, int32_t extent, int32_t& index) {
  const double shifted = value + 0.5;
  if (!(shifted >= 0.0 && shifted < 2147483648.0)) return false;
  index = static_cast<int32_t>(shifted);
  return index < extent;
}

// MOD, with its reports.
double Remainder(Interpreter& interp, double a, double b);

// A subscript checked against dimension `k` of `variable`: its value, or
// -1 after "Bad subscript".
double CheckedIndex(Interpreter& interp, const Variable& variable, int k, double value);

// An operation that takes its right operand in, applied to `left`.
inline double ApplyFused(Interpreter& interp, const Op& op, double left) {
  switch (op.code) {
    case OpCode::AddConstant: return left + op.number;
    case OpCode::SubtractConstant: return left - op.number;
    case OpCode::MultiplyConstant: return left * op.number;
    case OpCode::DivideConstant: return left / op.number;
    case OpCode::CompareConstant: return Relation(op.kind, left, op.number) ? 1.0 : 0.0;
    case OpCode::AddScalar: return left + op.variable->number;
    case OpCode::SubtractScalar: return left - op.variable->number;
    case OpCode::MultiplyScalar: return left * op.variable->number;
    case OpCode::DivideScalar: return left / op.variable->number;
    case OpCode::CompareScalar: return Relation(op.kind, left, op.variable->number) ? 1.0 : 0.0;
    case OpCode::ModuloConstant: return Remainder(interp, left, op.number);
    default: return Remainder(interp, left, op.variable->number);  // ModuloScalar
  }
}

// The element that ops[0..2] read: a scalar subscript, checked, of a
// one-dimensional array.
inline double ReadElementOfScalar(Interpreter& interp, const Op* ops) {
  const Variable& array = *ops[1].variable;
  int32_t index = 0;
  if (!SubscriptInRange(ops[0].variable->number, array.extents[0], index)) {
    CheckedIndex(interp, array, 0, ops[0].variable->number);
    return 0.0;
  }
  const auto cell = static_cast<std::size_t>(index);
  return cell < array.numbers.size() ? array.numbers[cell] : 0.0;
}

// The expression as a quick operand, or one whose `value` is null. The
// pointers hold while the translation does.
inline QuickOperand QuickOperandOf(const CompiledExpression& expression) {
  switch (expression.shape) {
    case ExpressionShape::Constant: return {&expression.ops[0].number, nullptr};
    case ExpressionShape::Scalar: return {&expression.ops[0].variable->number, nullptr};
    case ExpressionShape::ScalarFused:
      return {&expression.ops[0].variable->number, &expression.ops[1]};
    default: return {};
  }
}

// The value of a quick operand.
inline double RunQuick(Interpreter& interp, const QuickOperand& quick) {
  return quick.fused == nullptr ? *quick.value : ApplyFused(interp, *quick.fused, *quick.value);
}

// Runs a translation: the same value and the same reports, in the same
// order, as the evaluator gives for its text. A quick one is answered
// without a call.
inline double RunCompiled(Interpreter& interp, const CompiledExpression& expression) {
  const QuickOperand quick = QuickOperandOf(expression);
  return quick.value != nullptr ? RunQuick(interp, quick) : RunCompiledOps(interp, expression);
}

}  // namespace tenrek
