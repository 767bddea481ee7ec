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

// ---- between two statements, shared with runs of translated ones ----

// The end-of-statement check: nothing may follow a statement but ":" or
// ELSE, unless it left the next statement to start at the cursor.
void CheckStatementEnd(Interpreter& interp, StatementCursor& cursor);

// What a statement leaves to the run: the run ends, or it goes on.
bool RunGoesOn(Interpreter& interp);

// From the end of a statement to the start of the next one: past the ":"
// and from line to line. False when the run ends on the way.
bool FindNextStatement(Interpreter& interp, StatementCursor& cursor);

// After a statement that went on within its line, the cursor standing
// where the next one starts or at the line's end: the start of the next
// statement, stepping to the next line when this one ended.
bool NextStatementWithin(Interpreter& interp, StatementCursor& cursor);

}  // namespace tenrek
