// Numeric expressions of stored lines, translated once into operations on
// numbers and run from there. An expression that does not translate
// exactly (strings, string functions, an error in its text, an array used
// in a shape it does not have yet) runs through the evaluator as before.
#pragma once

#include "interp/cursor.h"
#include "interp/line_code.h"

namespace tenrek {

class Interpreter;

// The translation of the expression at the cursor, or null when the cursor
// reads no stored line or the expression there does not translate. Builds
// it on first use, and again when a variable it reads changed its shape.
CompiledExpression* CompiledExpressionAt(Interpreter& interp, const StatementCursor& cursor);

// Runs a translation: the same value and the same reports, in the same
// order, as the evaluator gives for its text.
double RunCompiled(Interpreter& interp, const CompiledExpression& expression);

}  // namespace tenrek
