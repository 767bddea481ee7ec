// The statement loop.
#pragma once

#include <string>

#include "interp/cursor.h"
#include "interp/token.h"

namespace tenrek {

class Interpreter;

// Runs the command line `commandTokens`, and the program when a statement
// jumps into it, until the run ends.
void RunProgram(Interpreter& interp, const TokenList& commandTokens);

// Closes a run after STOP, an illegal command or a quit request.
void StopReport(Interpreter& interp, std::string& messageBuffer);

// ---- between two statements, shared with the run loop of compiled code ----

// The end-of-statement check: nothing may follow a statement but ":" or
// ELSE, unless it left the next statement to start at the cursor.
void CheckStatementEnd(Interpreter& interp, StatementCursor& cursor);

// What a statement leaves to the run: the run ends, or it goes on.
bool RunGoesOn(Interpreter& interp);

// From the end of a statement to the start of the next one: past the ":"
// and from line to line. False when the run ends on the way.
bool FindNextStatement(Interpreter& interp, StatementCursor& cursor);

// Runs the statement at the cursor, begun, through its handler, then
// finds the next one. False when the run ends.
bool RunHandledStatement(Interpreter& interp, StatementCursor& cursor, std::string& messageBuffer);

}  // namespace tenrek
