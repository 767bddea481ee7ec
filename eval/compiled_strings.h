// Expressions with string parts, translated once like the numeric ones:
// string operands are read in place from their variables, slices (MID$,
// LEFT$, RIGHT$) are views of their operand, and what has to be built
// (joins, STR$, LTRIM$ ...) is built in buffers kept with the translation.
// An expression whose value or reports this cannot reproduce exactly
// (a type mismatch, a syntax error, arrays, VAL, the clock) keeps running
// through the evaluator.
#pragma once

#include <cstddef>
#include <string_view>

#include "interp/cursor.h"
#include "interp/line_code.h"

namespace tenrek {

class Interpreter;
struct Variable;

// Called with a translation that the numeric translator refused: when the
// expression at `start` translates with its string parts, `out` gets it.
// A numeric expression then runs as a Mixed operation; a string one
// stays refused for the numeric readers, with `strings` set.
void TranslateWithStrings(const TokenList& tokens, std::size_t start, ExpressionDraft& out);

// Every variable it reads is still a scalar.
bool StringShapesHold(const StringCode& code);

// Runs a numeric expression with string parts.
double RunStringCodeForNumber(Interpreter& interp, const StringCode& code);

// The translated string expression at the cursor, or null when there is
// none (a numeric one, or one that does not translate).
const CompiledExpression* CompiledStringAt(Interpreter& interp, const StatementCursor& cursor);

// Runs a string expression: the same value and reports as the evaluator.
// The text stays valid until the code runs again or a variable changes.
std::string_view RunStringCode(Interpreter& interp, const StringCode& code);

// Runs a string expression and stores its value into the string scalar
// `target`, reusing the target's storage.
void RunStringCodeInto(Interpreter& interp, const StringCode& code, Variable& target);

}  // namespace tenrek
