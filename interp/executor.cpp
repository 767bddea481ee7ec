#include "interp/executor.h"

#include <array>
#include <cassert>
#include <string>

#include "eval/compiled_expression.h"
#include "eval/evaluator.h"
#include "eval/variables.h"
#include "interp/interpreter.h"
#include "interp/statements.h"
#include "interp/translated_statements.h"
#include "text/files.h"

namespace tenrek {
namespace {

Flow ExecIllegal(Interpreter& interp, StatementCursor&) {
  interp.Report(Error::IllegalCommand);
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

// The end-of-statement check: nothing may follow a statement but ":" or
// ELSE, unless it left the next statement to start at the cursor.
void CheckStatementEnd(Interpreter& interp, StatementCursor& cursor) {
  if (!cursor.resumeAtCursor && !cursor.AtStatementEnd()) CheckExtra(interp, cursor);
}

// Runs the statement at the cursor through its handler. Returns false when
// the run must close with the stop report.
bool RunHandler(Interpreter& interp, StatementCursor& cursor) {
  const TokenKind kind = cursor.Current()->kind;
  // An implicit LET starts on its identifier.
  if (kind != TokenKind::Identifier) cursor.Advance();
  const Flow flow = HandlerFor(kind)(interp, cursor);
  if (flow == Flow::Stop) return false;
  if (flow == Flow::Next) CheckStatementEnd(interp, cursor);
  return true;
}

// Moves to the next line to run; false when the run ends.
bool ChangeLine(Interpreter& interp, StatementCursor& cursor) {
  if (interp.currentLine == nullptr) return false;
  if (!cursor.jumped) interp.StepToNextLine();
  if (interp.currentLine == nullptr) return false;
  cursor.Point(&interp.currentLine->tokens, 0);
  return true;
}

// A statement (MERGE, DEL, or a command handled inside a box) removed the
// line the run stands on: its successor is no longer known, so the run ends.
bool CurrentLineRemoved(const Interpreter& interp) {
  return interp.currentLine != nullptr && interp.currentLine->removed;
}

// What a statement leaves to the run: the run ends, or it goes on.
bool RunGoesOn(Interpreter& interp) {
  return !CurrentLineRemoved(interp) && !(interp.budget.Exhausted() && interp.TakeOutOfMemory());
}

// From the end of a statement to the start of the next one: past the ":"
// and from line to line. False when the run ends on the way.
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

// After a statement that went on within its line, the cursor standing
// where the next one starts or at the line's end: the start of the next
// statement, stepping to the next line when this one ended.
bool NextStatementWithin(Interpreter& interp, StatementCursor& cursor) {
  if (cursor.pos < cursor.list->size()) return true;
  ProgramLine* const line = interp.currentLine;
  if (line == nullptr || line->next == nullptr) return FindNextStatement(interp, cursor);
  interp.EnterLine(line->next);
  cursor.Point(&line->next->tokens, 0);
  return cursor.AtLineEnd() || cursor.Is(TokenKind::Colon) ? FindNextStatement(interp, cursor)
                                                           : true;
}

enum class Chain {
  RunOver,        // the run ended
  NextStatement,  // the cursor is on a statement not yet begun
  Handler,        // the statement at the cursor, begun, runs through its handler
};

// What a chain of statements relies on between two of them, read in full
// when it starts: nothing for BeginStatement to do, the program and the
// variables' shapes as they are, the outermost nesting of evaluations.
// After that only the interpreter's attention count and the budget need
// looking at; when something did not hold at the start, the snapshots
// are made so that nothing matches them, and the chain ends after its
// first statement, taking no link.
class ChainWatch {
 public:
  explicit ChainWatch(const Interpreter& interp)
      : interp_(interp),
        attention_(interp.StatementIsQuiet() ? interp.Attention() : kNever),
        codeVersion_(interp.evaluationDepth == 0 ? interp.CodeVersion() : kNever),
        generation_(interp.program.Generation()),
        shapeEpoch_(interp.shapeEpoch) {}

  // The next statement may follow at once.
  bool Holds() const { return !interp_.budget.Exhausted() && HoldsBudgetAside(); }
  // The same, the budget known to hold.
  bool HoldsBudgetAside() const {
    const bool holds = interp_.Attention() == attention_;
    assert(!holds ||
           (interp_.program.Generation() == generation_ && interp_.shapeEpoch == shapeEpoch_));
    return holds;
  }
  // A link made under the program and shapes of this chain. Its statement
  // fits the chain's nesting: the link was made only for a statement that
  // fitted, and the chain stands at the outermost nesting.
  bool Takes(const StatementLink& link) const { return link.codeVersion == codeVersion_; }

 private:
  static constexpr uint64_t kNever = ~uint64_t{0};

  const Interpreter& interp_;
  uint64_t attention_;
  uint64_t codeVersion_;
  // What the attention count stands for, checked in debug builds.
  uint64_t generation_;
  uint64_t shapeEpoch_;
};

// Where and how a statement left the cursor, as its link records it. The
// way it moved stands for the cursor's flags, which a jump or a THEN sets.
const MovedLink* MovedLinkFrom(const TranslatedStatement& ran, const Interpreter& interp,
                               const StatementCursor& cursor, Step step) {
  const MovedLink* link = ran.moved.get();
  const bool holds = link != nullptr && link->fromLine == interp.currentLine &&
                     link->fromList == cursor.list && link->fromPos == cursor.pos &&
                     link->fromStep == static_cast<uint8_t>(step);
  return holds ? link : nullptr;
}

// The statement a link names, when the chain takes the link; the cursor
// is then on it.
const TranslatedStatement* Follow(Interpreter& interp, StatementCursor& cursor,
                                  const ChainWatch& watch, const StatementLink& link) {
  if (!watch.Takes(link)) return nullptr;
  interp.EnterLine(link.line);
  cursor.Point(&link.line->tokens, link.at);
  cursor.jumped = false;
  cursor.resumeAtCursor = false;
  return link.statement;
}

// Records the way from `ran` to `next`, the statement now at the cursor.
void MakeLink(const Interpreter& interp, const TranslatedStatement& ran, const MovedLink& from,
              const TranslatedStatement& next) {
  StatementLink made;
  made.codeVersion = interp.CodeVersion();
  made.line = interp.currentLine;
  made.statement = &next;
  made.at = next.at;
  if (from.fromStep == static_cast<uint8_t>(Step::Within)) {
    ran.within = made;
    return;
  }
  if (ran.moved == nullptr) ran.moved = std::make_unique<MovedLink>();
  MovedLink& moved = *ran.moved;
  static_cast<StatementLink&>(moved) = made;
  moved.fromLine = from.fromLine;
  moved.fromList = from.fromList;
  moved.fromPos = from.fromPos;
  moved.fromStep = from.fromStep;
}

// The way from a statement to the next one when no link holds, made into
// a link when it was plain: no report on it, the next one translated.
Chain FindNext(Interpreter& interp, StatementCursor& cursor, const ChainWatch& watch,
               const TranslatedStatement& ran, Step step, const TranslatedStatement*& next) {
  MovedLink from;
  from.fromLine = interp.currentLine;
  from.fromList = cursor.list;
  from.fromPos = static_cast<uint32_t>(cursor.pos);
  from.fromStep = static_cast<uint8_t>(step);
  const bool plain = step == Step::Within || cursor.resumeAtCursor || cursor.AtStatementEnd();
  if (step == Step::Within) {
    if (interp.budget.Exhausted() && interp.TakeOutOfMemory()) return Chain::RunOver;
    if (!NextStatementWithin(interp, cursor)) return Chain::RunOver;
  } else {
    CheckStatementEnd(interp, cursor);
    if (!RunGoesOn(interp) || !FindNextStatement(interp, cursor)) return Chain::RunOver;
  }
  next = nullptr;
  const bool known = FindTranslatedStatement(interp, cursor, next);
  if (next != nullptr && plain) MakeLink(interp, ran, from, *next);
  if (!watch.Holds() || !known) {
    next = nullptr;
    return Chain::NextStatement;
  }
  return next != nullptr ? Chain::NextStatement : Chain::Handler;
}

// Runs `first`, begun already, and the translated statements after it,
// making between them the checks that the statement loop makes, in its
// order. The loop takes over again at the first statement that is not
// translated, or when a check has something to do.
Chain RunChain(Interpreter& interp, StatementCursor& cursor, const TranslatedStatement* next) {
  const ChainWatch watch(interp);
  for (;;) {
    const TranslatedStatement& ran = *next;
    const Step step = RunTranslated(interp, cursor, ran);
    if (step == Step::Declined) return Chain::Handler;
    // An exhausted budget is reported from the statement's own line: the
    // general way makes that check before it moves on.
    const StatementLink* link = nullptr;
    if (!interp.budget.Exhausted()) {
      link = step == Step::Within ? &ran.within : MovedLinkFrom(ran, interp, cursor, step);
    }
    next = link != nullptr ? Follow(interp, cursor, watch, *link) : nullptr;
    if (next != nullptr) {
      if (!watch.HoldsBudgetAside()) return Chain::NextStatement;
      continue;
    }
    const Chain found = FindNext(interp, cursor, watch, ran, step, next);
    if (found != Chain::NextStatement || next == nullptr) return found;
  }
}

// Runs the statement at the cursor, begun, and perhaps translated ones
// after it. False when the run ends.
bool RunStatements(Interpreter& interp, StatementCursor& cursor, std::string& messageBuffer) {
  interp.state = RunState::Running;
  if (const TranslatedStatement* translated = TranslatedStatementAt(interp, cursor)) {
    const Chain chain = RunChain(interp, cursor, translated);
    if (chain == Chain::RunOver) return false;
    if (chain == Chain::NextStatement) return true;
  }
  if (!RunHandler(interp, cursor)) {
    StopReport(interp, messageBuffer);
    return false;
  }
  return RunGoesOn(interp) && FindNextStatement(interp, cursor);
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
  if (interp.currentLine == nullptr) return;
  messageBuffer += " in " + std::to_string(interp.currentLine->number);
  interp.ReportError(kStopReportCode, messageBuffer);
}

void RunProgram(Interpreter& interp, const TokenList& commandTokens) {
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
  if (cursor.AtLineEnd() || interp.currentLine == nullptr) return;
  interp.ReportError(30, std::string(DescribeError(Error::ExtraInformation).message) + " in " +
                             std::to_string(interp.currentLine->number));
}

void JumpTo(Interpreter& interp, StatementCursor& cursor, ProgramLine* line) {
  interp.EnterLine(line);
  cursor.ToLineEnd();
  cursor.jumped = true;
}

namespace {

// The line numbered `number`, remembered by the translated expression that
// named it for as long as the program stays as it is.
ProgramLine* FindJumpTarget(Interpreter& interp, CompiledExpression& named, int32_t number) {
  const uint64_t generation = interp.program.Generation();
  JumpMemory* const memory = named.Jump();
  if (memory != nullptr && memory->generation == generation && named.jumpNumber == number) {
    return memory->line;
  }
  ProgramLine* line = interp.FindLine(number);
  if (line != nullptr && memory != nullptr) {
    *memory = JumpMemory{generation, line};
    named.jumpNumber = number;
  }
  return line;
}

}  // namespace

void JumpToTranslated(Interpreter& interp, StatementCursor& cursor, CompiledExpression& target) {
  // A line named by a number goes where it went before, while the
  // program stays as it is.
  const JumpMemory* const memory = target.Jump();
  if (target.shape == ExpressionShape::Constant && memory != nullptr &&
      memory->generation == interp.program.Generation()) {
    cursor.pos = target.end;
    JumpTo(interp, cursor, memory->line);
    return;
  }
  const int32_t number = RoundToInt(RunCompiled(interp, target));
  cursor.pos = target.end;
  JumpTo(interp, cursor, FindJumpTarget(interp, target, number));
}

void JumpToLine(Interpreter& interp, StatementCursor& cursor) {
  if (CompiledExpression* compiled = CompiledExpressionAt(interp, cursor)) {
    JumpToTranslated(interp, cursor, *compiled);
    return;
  }
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

namespace {

// Passes over the rest of a false IF: up to just after its own ELSE
// (nested IF ... ELSE pairs counted) or to the end of the line.
void SkipFalseBranch(StatementCursor& cursor) {
  int depth = 0;
  while (const Token* token = cursor.Current()) {
    if (token->kind == TokenKind::If) ++depth;
    if (token->kind == TokenKind::Else) --depth;
    cursor.Advance();
    if (depth < 0) return;
  }
}

}  // namespace

// IF expression THEN (statement | line) [ELSE (statement | line)]
Flow ExecIf(Interpreter& interp, StatementCursor& cursor) {
  const double condition = NumericExpression(interp, cursor);
  ExpectToken(interp, cursor, TokenKind::Then);
  if (condition == 0.0) SkipFalseBranch(cursor);
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
