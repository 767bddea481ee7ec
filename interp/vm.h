// The run loop of compiled lines.
//
// Within a line the next instruction is the program counter. Between
// lines only targets are kept: the code of the next line, of the line a
// GOTO or GOSUB names, and where a NEXT, RETURN or WEND went back to last. Whatever compiled code
// does not cover goes the general way: the statement's handler, the checks between statements, the
// search for the next statement; the run comes back into compiled code at the next statement of a
// stored line.
#pragma once

#include <cstddef>
#include <string>

#include "eval/value.h"
#include "interp/cursor.h"
#include "interp/instructions.h"
#include "interp/interpreter.h"

namespace tenrek {

class Interpreter;
struct ProgramLine;

// The code of `line` compiled under the current stamp, replacing any.
LineCode& CompileLine(Interpreter& interp, ProgramLine& line);

// The code of `line`, compiled when it has none under the current stamp.
inline LineCode& CodeOf(Interpreter& interp, ProgramLine& line) {
  if (line.code != nullptr && line.code->stamp == interp.CodeStamp()) return *line.code;
  return CompileLine(interp, line);
}

// Whether the statement at the cursor runs compiled: a statement of a
// stored line, at the outermost nesting, with nothing for the checks
// between statements to do.
bool RunsCompiled(const Interpreter& interp, const StatementCursor& cursor);

// Runs the statement at the cursor, begun, and those after it while they
// are compiled and nothing calls for the general checks. False when the
// run ends; true with the cursor on the next statement, found.
bool RunCompiled(Interpreter& interp, StatementCursor& cursor, std::string& messageBuffer);

// The expression at token `pos` of `tokens` compiled alone and run: its
// value, `pos` moved past it. False, with nothing done, when it does not
// compile or compiled code does not run here (nested inside VAL).
bool EvaluateCompiled(Interpreter& interp, const TokenList& tokens, std::size_t& pos, Value& value);

}  // namespace tenrek
