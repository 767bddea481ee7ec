// The statement loop.
#pragma once

#include <string>

#include "interp/token.h"

namespace tenrek {

class Interpreter;

// Runs the command line `commandTokens`, and the program when a statement
// jumps into it, until the run ends.
void RunProgram(Interpreter& interp, const TokenList& commandTokens);

// Closes a run after STOP, an illegal command or a quit request.
void StopReport(Interpreter& interp, std::string& messageBuffer);

}  // namespace tenrek
