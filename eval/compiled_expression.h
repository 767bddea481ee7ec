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

// Runs a translation: the same value and the same reports, in the same
// order, as the evaluator gives for its text.
double RunCompiled(Interpreter& interp, const CompiledExpression& expression);

}  // namespace tenrek
