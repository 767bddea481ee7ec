// The list of statements: each statement token kind with its handler,
// named after its keyword. It declares the handlers and builds the
// executor's dispatch table.
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

// STATEMENT(kind, handler): the statement token kinds and their handlers.
// Every kind not listed is an illegal command. An implicit LET starts on
// its identifier; FMEM, LARRAY and SARRAY are handled as REM is.
#define TENREK_STATEMENTS(STATEMENT) \
  STATEMENT(Identifier, ExecLet) \
  STATEMENT(Rem, ExecRem) \
  STATEMENT(Let, ExecLet) \
  STATEMENT(Print, ExecPrint) \
  STATEMENT(Input, ExecInput) \
  STATEMENT(Goto, ExecGoto) \
  STATEMENT(If, ExecIf) \
  STATEMENT(End, ExecEnd) \
  STATEMENT(Stop, ExecStop) \
  STATEMENT(For, ExecFor) \
  STATEMENT(Next, ExecNext) \
  STATEMENT(While, ExecWhile) \
  STATEMENT(Wend, ExecWend) \
  STATEMENT(Gosub, ExecGosub) \
  STATEMENT(Return, ExecReturn) \
  STATEMENT(Read, ExecRead) \
  STATEMENT(Data, ExecData) \
  STATEMENT(Restore, ExecRestore) \
  STATEMENT(Gotoxy, ExecGotoxy) \
  STATEMENT(On, ExecOn) \
  STATEMENT(Dim, ExecDim) \
  STATEMENT(Poke, ExecPoke) \
  STATEMENT(List, ExecList) \
  STATEMENT(Run, ExecRun) \
  STATEMENT(New, ExecNew) \
  STATEMENT(Load, ExecLoad) \
  STATEMENT(Merge, ExecMerge) \
  STATEMENT(Save, ExecSave) \
  STATEMENT(Bye, ExecBye) \
  STATEMENT(Del, ExecDel) \
  STATEMENT(Renum, ExecRenum) \
  STATEMENT(Else, ExecElse) \
  STATEMENT(Fmem, ExecRem) \
  STATEMENT(Get, ExecGet) \
  STATEMENT(Msgtit, ExecMsgtit) \
  STATEMENT(Msgicon, ExecMsgicon) \
  STATEMENT(Clear, ExecClear) \
  STATEMENT(Rerun, ExecRerun) \
  STATEMENT(Mmftag, ExecMmftag) \
  STATEMENT(Retmmf, ExecRetmmf) \
  STATEMENT(Larray, ExecRem) \
  STATEMENT(Sarray, ExecRem) \
  STATEMENT(Ilxt, ExecIlxt)

// The handlers, one declaration per row (a handler serving several kinds
// is declared again, which is harmless).
#define TENREK_DECLARE_HANDLER(kind, handler) Flow handler(Interpreter&, StatementCursor&);
TENREK_STATEMENTS(TENREK_DECLARE_HANDLER)
#undef TENREK_DECLARE_HANDLER

// Shared by the handlers (interp/executor.cpp).
// Reports "Extra information on line in N" in a program line.
void CheckExtra(Interpreter& interp, StatementCursor& cursor);
// Evaluates a line number (rounded), finds it and jumps there; an
// undefined line ends the run.
void JumpToLine(Interpreter& interp, StatementCursor& cursor);
// Sends execution to the start of `line` (null ends the run).
void JumpTo(Interpreter& interp, StatementCursor& cursor, ProgramLine* line);
}  // namespace tenrek
