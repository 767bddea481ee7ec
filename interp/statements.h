// Every statement handler, named after its keyword. The executor's
// dispatch table maps each statement token kind to one of these.
//
// On entry the cursor stands on the token after the keyword (for an
// implicit LET, on the identifier). A handler consumes its operands and
// says how the executor goes on.
#pragma once

#include "interp/cursor.h"

namespace tenrek {

class Interpreter;

enum class Flow {
  Next,     // apply the end-of-statement check, then go on
  NoCheck,  // go on without the end-of-statement check (END, DATA, ELSE)
  Stop,     // close the run with the stop report (STOP)
};

using StatementHandler = Flow (*)(Interpreter&, StatementCursor&);

// interp/executor.cpp
Flow ExecRem(Interpreter&, StatementCursor&);
Flow ExecGoto(Interpreter&, StatementCursor&);
Flow ExecIf(Interpreter&, StatementCursor&);
Flow ExecEnd(Interpreter&, StatementCursor&);
Flow ExecStop(Interpreter&, StatementCursor&);
Flow ExecData(Interpreter&, StatementCursor&);
Flow ExecRun(Interpreter&, StatementCursor&);
Flow ExecRerun(Interpreter&, StatementCursor&);
Flow ExecNew(Interpreter&, StatementCursor&);
Flow ExecClear(Interpreter&, StatementCursor&);
Flow ExecBye(Interpreter&, StatementCursor&);
Flow ExecElse(Interpreter&, StatementCursor&);
// interp/loops.cpp
Flow ExecFor(Interpreter&, StatementCursor&);
Flow ExecNext(Interpreter&, StatementCursor&);
Flow ExecWhile(Interpreter&, StatementCursor&);
Flow ExecWend(Interpreter&, StatementCursor&);
Flow ExecGosub(Interpreter&, StatementCursor&);
Flow ExecReturn(Interpreter&, StatementCursor&);
Flow ExecOn(Interpreter&, StatementCursor&);
// eval/variables.cpp
Flow ExecDim(Interpreter&, StatementCursor&);
// eval/data_statements.cpp
Flow ExecLet(Interpreter&, StatementCursor&);
Flow ExecPrint(Interpreter&, StatementCursor&);
Flow ExecInput(Interpreter&, StatementCursor&);
Flow ExecRead(Interpreter&, StatementCursor&);
Flow ExecRestore(Interpreter&, StatementCursor&);
Flow ExecPoke(Interpreter&, StatementCursor&);
Flow ExecGotoxy(Interpreter&, StatementCursor&);
Flow ExecMsgtit(Interpreter&, StatementCursor&);
Flow ExecMsgicon(Interpreter&, StatementCursor&);
// eval/exchange.cpp
Flow ExecGet(Interpreter&, StatementCursor&);
Flow ExecRetmmf(Interpreter&, StatementCursor&);
Flow ExecMmftag(Interpreter&, StatementCursor&);
// text/lister.cpp
Flow ExecList(Interpreter&, StatementCursor&);
Flow ExecIlxt(Interpreter&, StatementCursor&);
// text/files.cpp
Flow ExecLoad(Interpreter&, StatementCursor&);
Flow ExecMerge(Interpreter&, StatementCursor&);
Flow ExecSave(Interpreter&, StatementCursor&);
// text/editing.cpp
Flow ExecDel(Interpreter&, StatementCursor&);
Flow ExecRenum(Interpreter&, StatementCursor&);

// Shared by the handlers (interp/executor.cpp).
// Reports "Extra information on line in N" in a program line.
void CheckExtra(Interpreter& interp, StatementCursor& cursor);
// Evaluates a line number (rounded), finds it and jumps there; an
// undefined line ends the run.
void JumpToLine(Interpreter& interp, StatementCursor& cursor);
// Sends execution to the start of `line` (null ends the run).
void JumpTo(Interpreter& interp, StatementCursor& cursor, ProgramLine* line);

}  // namespace tenrek
