// Shared by the statements that store values into variables (LET, READ,
// INPUT).
#pragma once

#include "eval/variables.h"
#include "interp/cursor.h"

namespace tenrek {

class Interpreter;

// Evaluates one expression at `cursor` and stores it in `cell`. A value of
// the wrong type reports "Type mismatch error" and leaves the cell as it
// was; a failed reference (no variable) only consumes the expression.
void AssignExpression(Interpreter& interp, StatementCursor& cursor, const CellRef& cell);

// True when the cursor stands on an identifier. Otherwise reports "Syntax
// error", moves the cursor to the end of the statement and answers false,
// so a statement never asks for or reads a value it could not store.
bool ExpectTarget(Interpreter& interp, StatementCursor& cursor);

// Steps past the "," between two targets. Anything else reports "Syntax
// error" and ends the statement (answers false).
bool ExpectTargetSeparator(Interpreter& interp, StatementCursor& cursor);

}  // namespace tenrek
