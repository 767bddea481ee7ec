#include "interp/executor.h"

#include <array>
#include <string>

#include "eval/evaluator.h"
#include "eval/variables.h"
#include "interp/interpreter.h"
#include "interp/statements.h"
#include "interp/vm.h"
#include "text/files.h"
#include "text/keywords.h"

namespace tenrek {
namespace {

// Names the word that cannot begin a statement (the cursor is past it),
// when it has a fixed text: THEN, "+", ...
Flow ExecIllegal(Interpreter& interp, StatementCursor& cursor) {
  std::string_view word;
  if (cursor.list != nullptr && cursor.pos > 0 && cursor.pos <= cursor.list->size()) {
    word = ListingText((*cursor.list)[cursor.pos - 1].kind);
  }
  while (word.starts_with(' ')) word.remove_prefix(1);
  while (word.ends_with(' ')) word.remove_suffix(1);
  interp.Report(Error::IllegalCommand, word);
  return Flow::Stop;
}

using DispatchTable = std::array<StatementHandler, kTokenKindCount>;

constexpr void Set(DispatchTable& table, TokenKind kind, StatementHandler handler) {
  table[static_cast<std::size_t>(kind)] = handler;
}

// Statement keyword -> handler. Every other kind is an illegal command.
constexpr DispatchTable BuildDispatchTable() {
  DispatchTable table{};
  for (StatementHandler& entry : table) entry = ExecIllegal;
#define TENREK_DISPATCH_ROW(kind, handler) Set(table, TokenKind::kind, handler);
  TENREK_STATEMENTS(TENREK_DISPATCH_ROW)
#undef TENREK_DISPATCH_ROW
  return table;
}

constexpr DispatchTable kDispatch = BuildDispatchTable();

StatementHandler HandlerFor(TokenKind kind) {
  const auto code = static_cast<std::size_t>(kind);
  return code < kDispatch.size() ? kDispatch[code] : ExecIllegal;
}

// Runs the statement at the cursor through its handler. Returns false when
// the run must close with the stop report.
bool RunHandler(Interpreter& interp, StatementCursor& cursor) {
  const TokenKind kind = cursor.Current()->kind;
  // An implicit LET starts on its identifier.
  if (kind != TokenKind::Identifier) cursor.Advance();
  if (interp.CurrentLine() != nullptr) ++interp.statementsByHandler;
  const Flow flow = HandlerFor(kind)(interp, cursor);
  if (flow == Flow::Stop) return false;
  if (flow == Flow::Next) CheckStatementEnd(interp, cursor);
  return true;
}

// Moves to the next line to run; false when the run ends.
bool ChangeLine(Interpreter& interp, StatementCursor& cursor) {
  if (interp.CurrentLine() == nullptr) return false;
  if (!cursor.jumped) interp.StepToNextLine();
  if (interp.CurrentLine() == nullptr) return false;
  cursor.Point(&interp.CurrentLine()->tokens, 0);
  return true;
}

// A statement (MERGE, DEL, or a command handled inside a box) removed the
// line the run stands on: its successor is no longer known, so the run ends.
bool CurrentLineRemoved(const Interpreter& interp) {
  return interp.CurrentLine() != nullptr && interp.CurrentLine()->removed;
}

}  // namespace

void CheckStatementEnd(Interpreter& interp, StatementCursor& cursor) {
  if (!cursor.resumeAtCursor && !cursor.AtStatementEnd()) CheckExtra(interp, cursor);
}

bool RunGoesOn(Interpreter& interp) {
  return !CurrentLineRemoved(interp) && !(interp.budget.Exhausted() && interp.TakeOutOfMemory());
}

bool FindNextStatement(Interpreter& interp, StatementCursor& cursor) {
  if (cursor.AtLineEnd() && !ChangeLine(interp, cursor)) return false;
  for (;;) {
    cursor.jumped = false;
    cursor.resumeAtCursor = false;
    while (cursor.Is(TokenKind::Colon)) cursor.Advance();
    if (!cursor.AtLineEnd()) return true;
    if (!ChangeLine(interp, cursor)) return false;
  }
}

bool RunHandledStatement(Interpreter& interp, StatementCursor& cursor, std::string& messageBuffer) {
  if (!RunHandler(interp, cursor)) {
    StopReport(interp, messageBuffer);
    return false;
  }
  return RunGoesOn(interp) && FindNextStatement(interp, cursor);
}

namespace {

// Runs the statement at the cursor, begun, compiled or through its
// handler. False when the run ends.
bool RunStatements(Interpreter& interp, StatementCursor& cursor, std::string& messageBuffer) {
  interp.state = RunState::Running;
  if (RunsCompiled(interp, cursor)) return RunCompiled(interp, cursor, messageBuffer);
  return RunHandledStatement(interp, cursor, messageBuffer);
}

void ReportStopCode(Interpreter& interp, int16_t code) {
  switch (code) {
    case -4: interp.ReportError(code, "Integer overflow"); return;
    case -5: interp.ReportError(code, "Divide by zero"); return;
    case -6: interp.ReportError(code, "Real math overflow"); return;
    case -7: interp.ReportError(code, "Real math underflow"); return;
    case -8:
    case -15:
    case -16:
    case -17:
    case -18:
    case -19: interp.ReportError(code, "Value range error"); return;
    case -10: interp.ReportError(code, "I/O Error " + std::to_string(interp.ioResult)); return;
    default:
      // Stored without a message and without a notification.
      interp.errorNumber = code;
      interp.errorText = FormatSystemError(code, 0, "");
      return;
  }
}

}  // namespace

void StopReport(Interpreter& interp, std::string& messageBuffer) {
  if (interp.stopCode == kBreakCode) {
    messageBuffer = "Break";
  } else if (interp.stopCode < kNoStopCode) {
    ReportStopCode(interp, interp.stopCode);
  }
  if (interp.CurrentLine() == nullptr) return;
  messageBuffer += " in " + std::to_string(interp.CurrentLine()->number);
  interp.ReportError(kStopReportCode, messageBuffer);
}

// Kept a function of its own: inlined into ExecuteCommand, the statement
// loop shares its registers with the command code, and bm7 runs 4% slower.
[[gnu::noinline]] void RunProgram(Interpreter& interp, const TokenList& commandTokens) {
  StatementCursor cursor;
  cursor.Point(&commandTokens, 0);
  std::string messageBuffer;
  interp.LeaveProgram();
  if (interp.quitRequested) return StopReport(interp, messageBuffer);
  if (!FindNextStatement(interp, cursor)) return;
  do {
    if (!interp.BeginStatement(commandTokens)) return;
    if (interp.TakeBreakRequest()) {
      interp.stopCode = kBreakCode;
      return StopReport(interp, messageBuffer);
    }
  } while (RunStatements(interp, cursor, messageBuffer));
}

void CheckExtra(Interpreter& interp, StatementCursor& cursor) {
  if (cursor.AtLineEnd() || interp.CurrentLine() == nullptr) return;
  interp.ReportError(30, std::string(DescribeError(Error::ExtraInformation).message) + " in " +
                             std::to_string(interp.CurrentLine()->number));
}

void JumpTo(Interpreter& interp, StatementCursor& cursor, ProgramLine* line) {
  interp.EnterLine(line);
  cursor.ToLineEnd();
  cursor.jumped = true;
}

void JumpToLine(Interpreter& interp, StatementCursor& cursor) {
  const int32_t number = RoundToInt(NumericExpression(interp, cursor));
  JumpTo(interp, cursor, interp.FindLine(number));
}

// REM text  (also FMEM, LARRAY, SARRAY: no effect)
Flow ExecRem(Interpreter&, StatementCursor&) { return Flow::Next; }

// GOTO line
Flow ExecGoto(Interpreter& interp, StatementCursor& cursor) {
  JumpToLine(interp, cursor);
  return Flow::Next;
}

// IF expression THEN (statement | line) [ELSE (statement | line)]
Flow ExecIf(Interpreter& interp, StatementCursor& cursor) {
  const double condition = NumericExpression(interp, cursor);
  ExpectToken(interp, cursor, TokenKind::Then);
  if (condition == 0.0 && cursor.list != nullptr) {
    cursor.pos = AfterFalseBranch(*cursor.list, cursor.pos);
  }
  if (cursor.Is(TokenKind::Number)) {
    JumpToLine(interp, cursor);
  } else {
    cursor.resumeAtCursor = true;
  }
  return Flow::Next;
}

// END
Flow ExecEnd(Interpreter& interp, StatementCursor& cursor) {
  interp.LeaveProgram();
  cursor.ToLineEnd();
  return Flow::NoCheck;
}

// STOP
Flow ExecStop(Interpreter& interp, StatementCursor&) {
  interp.stopCode = kBreakCode;
  return Flow::Stop;
}

// DATA item [, item] ...   (held for READ; passed over when run)
Flow ExecData(Interpreter&, StatementCursor& cursor) {
  cursor.SkipToStatementEnd();
  return Flow::NoCheck;
}

// ELSE ...   (reached after a THEN branch ran: the rest of the line is skipped)
Flow ExecElse(Interpreter&, StatementCursor& cursor) {
  cursor.ToLineEnd();
  return Flow::NoCheck;
}

// NEW
Flow ExecNew(Interpreter& interp, StatementCursor& cursor) {
  interp.NewProgram(cursor);
  return Flow::Next;
}

// CLEAR
Flow ExecClear(Interpreter& interp, StatementCursor& cursor) {
  interp.ClearProgramState(cursor);
  return Flow::Next;
}

// BYE   (also QUIT)
Flow ExecBye(Interpreter& interp, StatementCursor&) {
  interp.quitRequested = true;
  return Flow::Next;
}

namespace {

// RUN "file" [, line]: loads the file, then picks the start line.
ProgramLine* LoadForRun(Interpreter& interp, StatementCursor& cursor) {
  const std::string name = EvaluateFileName(interp, cursor);
  int32_t number = 0;
  if (!cursor.AtStatementEnd()) {
    ExpectToken(interp, cursor, TokenKind::Comma);
    number = IntegerExpression(interp, cursor);
  }
  CheckExtra(interp, cursor);
  LoadProgramFile(interp, false, name, cursor);
  return number == 0 ? interp.program.First() : interp.FindLine(number);
}

ProgramLine* ChooseStartLine(Interpreter& interp, StatementCursor& cursor) {
  if (cursor.AtStatementEnd()) return interp.program.First();
  if (cursor.Is(TokenKind::Number)) {
    return interp.FindLine(RoundToInt(NumericExpression(interp, cursor)));
  }
  return LoadForRun(interp, cursor);
}

// Statements after RUN or RERUN on the same line are skipped, as after a
// GOTO: the program starts at once.
Flow StartRun(Interpreter& interp, StatementCursor& cursor, bool keepVariables) {
  ProgramLine* start = ChooseStartLine(interp, cursor);
  if (!cursor.AtStatementEnd()) CheckExtra(interp, cursor);
  if (!keepVariables) ClearVariables(interp);
  interp.FreeControlStack();
  interp.ResetReadPosition();
  JumpTo(interp, cursor, start);
  return Flow::NoCheck;
}

}  // namespace

// RUN [line | "file" [, line]]
Flow ExecRun(Interpreter& interp, StatementCursor& cursor) {
  return StartRun(interp, cursor, false);
}

// RERUN [line | "file" [, line]]   (keeps the variables)
Flow ExecRerun(Interpreter& interp, StatementCursor& cursor) {
  return StartRun(interp, cursor, true);
}

}  // namespace tenrek
