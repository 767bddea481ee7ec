// FOR/NEXT, WHILE/WEND, GOSUB/RETURN and ON: the statements that keep
// state on the control stack.
#include "eval/evaluator.h"
#include "eval/variables.h"
#include "interp/interpreter.h"
#include "interp/loop_frames.h"
#include "interp/statements.h"

namespace tenrek {

namespace {

// At the end of a line, moves the cursor to the start of the next program
// line. False when there is none.
bool AdvanceToNextLine(Interpreter& interp, StatementCursor& cursor) {
  if (interp.CurrentLine() == nullptr || interp.CurrentLine()->next == nullptr) return false;
  interp.StepToNextLine();
  cursor.Point(&interp.CurrentLine()->tokens, 0);
  return true;
}

// A FOR or NEXT token followed by the identifier of `control`.
bool NamesVariable(const StatementCursor& cursor, const Variable* control) {
  const Token* after = cursor.Peek();
  return after != nullptr && after->kind == TokenKind::Identifier && after->Var() == control;
}

// Passes over the body of a FOR loop that is not entered: forward, across
// lines, to just after the NEXT that closes it. False when there is none.
bool SkipForBody(Interpreter& interp, StatementCursor& cursor, const Variable* control) {
  ProgramLine* const forLine = interp.CurrentLine();
  int own = 0;
  int other = 0;
  for (;;) {
    const Token* token = cursor.Current();
    if (token == nullptr) {
      if (AdvanceToNextLine(interp, cursor)) continue;
      interp.EnterLine(forLine);
      interp.Report(Error::ForWithoutNext);
      cursor.ToLineEnd();
      return false;
    }
    if (token->kind == TokenKind::For || token->kind == TokenKind::Next) {
      int& counter = NamesVariable(cursor, control) ? own : other;
      counter += token->kind == TokenKind::For ? 1 : -1;
    }
    cursor.Advance();
    if (own < 0 || other < 0) {
      cursor.SkipToStatementEnd();
      return true;
    }
  }
}

// Pops frames until the top is one `accept` takes. Stops with false, and
// the frames popped so far stay popped, at an empty stack or at a Gosub
// frame (unless Gosub frames are what is looked for).
template <typename Accept>
bool UnwindTo(Interpreter& interp, Accept accept, bool stopAtGosub) {
  auto& stack = interp.controlStack;
  for (;;) {
    if (stack.empty()) return false;
    if (accept(stack.back())) return true;
    if (stopAtGosub && stack.back().kind == FrameKind::Gosub) return false;
    stack.pop_back();
  }
}

// The forward search for the statement that closes a loop. On success the
// cursor stands after the closing keyword, in the line that holds it.
bool FindClosing(Interpreter& interp, StatementCursor& cursor, TokenKind opening,
                 TokenKind closing) {
  ProgramLine* const remembered = interp.CurrentLine();
  int depth = 0;
  for (;;) {
    if (cursor.AtLineEnd()) {
      if (AdvanceToNextLine(interp, cursor)) continue;
      interp.EnterLine(remembered);
      return false;
    }
    const TokenKind kind = cursor.Current()->kind;
    if (kind == opening) ++depth;
    if (kind == closing) --depth;
    cursor.Advance();
    if (depth < 0) return true;
  }
}

}  // namespace

// FOR variable = start TO limit [STEP step]
Flow ExecFor(Interpreter& interp, StatementCursor& cursor) {
  const CellRef control = ReferenceVariable(interp, cursor);
  if (control.variable == nullptr) return Flow::Next;
  if (control.IsString()) {
    interp.Report(Error::SyntaxError);
    return Flow::Next;
  }
  ExpectToken(interp, cursor, TokenKind::Equal);
  const double start = NumericExpression(interp, cursor);
  control.SetNumber(start);
  ExpectToken(interp, cursor, TokenKind::To);
  const double limit = NumericExpression(interp, cursor);
  double step = 1.0;
  if (cursor.Is(TokenKind::Step)) {
    cursor.Advance();
    step = NumericExpression(interp, cursor);
  }
  EnterForLoop(interp, cursor, control, start, limit, step);
  return Flow::Next;
}

void SkipUnenteredForBody(Interpreter& interp, StatementCursor& cursor, Variable* control) {
  SkipForBody(interp, cursor, control);
}

bool NextOfInnermostLoop(Interpreter& interp, StatementCursor& cursor) {
  const Token* token = cursor.Current();
  if (token == nullptr || token->kind != TokenKind::Identifier || interp.controlStack.empty()) {
    return false;
  }
  Variable* const named = token->Var();
  ControlFrame& frame = interp.controlStack.back();
  const Token* after = cursor.Peek();
  if (named == nullptr || frame.kind != FrameKind::For || frame.variable != named ||
      frame.cellIndex != CellRef::kScalar || named->isString || named->extentCount != 0 ||
      (after != nullptr && after->kind == TokenKind::LeftParen)) {
    return false;
  }
  cursor.Advance();
  const double value = named->number + frame.step;
  named->number = value;
  if (LoopContinues(value, frame.limit, frame.step)) {
    ResumeAt(interp, cursor, frame);
  } else {
    interp.controlStack.pop_back();
  }
  return true;
}

// NEXT [variable]
Flow ExecNext(Interpreter& interp, StatementCursor& cursor) {
  if (NextOfInnermostLoop(interp, cursor)) return Flow::Next;
  const Variable* named = nullptr;
  if (!cursor.AtStatementEnd()) {
    named = ReferenceVariable(interp, cursor).variable;
    if (named == nullptr) return Flow::Next;
  }
  const auto isLoop = [named](const ControlFrame& f) {
    return f.kind == FrameKind::For && (named == nullptr || f.variable == named);
  };
  if (!UnwindTo(interp, isLoop, true)) {
    interp.Report(Error::NextWithoutFor);
    return Flow::Next;
  }
  const ControlFrame frame = interp.controlStack.back();
  const CellRef cell{frame.variable, frame.cellIndex};
  const double value = cell.GetNumber() + frame.step;
  cell.SetNumber(value);
  if (LoopContinues(value, frame.limit, frame.step)) {
    ResumeAt(interp, cursor, frame);
  } else {
    interp.controlStack.pop_back();
  }
  return Flow::Next;
}

// WHILE [condition]
Flow ExecWhile(Interpreter& interp, StatementCursor& cursor) {
  PushFrame(interp, cursor, FrameKind::While);
  if (cursor.AtStatementEnd() || NumericExpression(interp, cursor) != 0.0) return Flow::Next;
  interp.controlStack.pop_back();
  SkipWhileBody(interp, cursor);
  return Flow::Next;
}

void SkipWhileBody(Interpreter& interp, StatementCursor& cursor) {
  if (!FindClosing(interp, cursor, TokenKind::While, TokenKind::Wend)) {
    interp.Report(Error::WhileWithoutWend);
  }
  cursor.SkipToStatementEnd();
}

// WEND [exit condition]
Flow ExecWend(Interpreter& interp, StatementCursor& cursor) {
  const auto isWhile = [](const ControlFrame& f) { return f.kind == FrameKind::While; };
  if (!UnwindTo(interp, isWhile, true)) {
    interp.Report(Error::WendWithoutWhile);
    return Flow::Next;
  }
  const bool exitNow = !cursor.AtStatementEnd() && NumericExpression(interp, cursor) != 0.0;
  if (exitNow) {
    interp.controlStack.pop_back();
  } else {
    RepeatWhileLoop(interp, cursor);
  }
  return Flow::Next;
}

void RepeatWhileLoop(Interpreter& interp, StatementCursor& cursor) {
  ProgramLine* const afterLine = interp.CurrentLine();
  const StatementCursor after = cursor;
  ResumeAt(interp, cursor, interp.controlStack.back());
  if (cursor.AtStatementEnd() || NumericExpression(interp, cursor) != 0.0) return;
  interp.EnterLine(afterLine);
  cursor.Point(after.list, after.pos);
  interp.controlStack.pop_back();
}

// GOSUB line
Flow ExecGosub(Interpreter& interp, StatementCursor& cursor) {
  PushFrame(interp, cursor, FrameKind::Gosub);
  JumpToLine(interp, cursor);
  return Flow::Next;
}

// RETURN
Flow ExecReturn(Interpreter& interp, StatementCursor& cursor) {
  const auto isGosub = [](const ControlFrame& f) { return f.kind == FrameKind::Gosub; };
  if (!UnwindTo(interp, isGosub, false)) {
    interp.Report(Error::ReturnWithoutGosub);
    return Flow::Next;
  }
  ReturnFromGosub(interp, cursor);
  return Flow::Next;
}

void ReturnFromGosub(Interpreter& interp, StatementCursor& cursor) {
  // The frame is read in place, before it is popped: a copy of the whole
  // frame, read wider than GOSUB wrote it, waits for those stores to
  // reach the cache.
  ResumeAt(interp, cursor, interp.controlStack.back());
  interp.controlStack.pop_back();
  cursor.SkipToStatementEnd();
}

// ON selector (GOTO | GOSUB) line [, line] ...
Flow ExecOn(Interpreter& interp, StatementCursor& cursor) {
  int32_t n = RoundToInt(NumericExpression(interp, cursor));
  if (cursor.Is(TokenKind::Gosub)) {
    PushFrame(interp, cursor, FrameKind::Gosub);
    cursor.Advance();
  } else {
    ExpectToken(interp, cursor, TokenKind::Goto);
  }
  if (n < 1) {
    cursor.SkipToStatementEnd();
    return Flow::Next;
  }
  for (; n > 1 && !cursor.AtStatementEnd(); --n) {
    if (!cursor.Is(TokenKind::Number)) interp.Report(Error::SyntaxError);
    cursor.Advance();
    if (cursor.AtStatementEnd()) break;
    if (!cursor.Is(TokenKind::Comma)) interp.Report(Error::SyntaxError);
    cursor.Advance();
  }
  if (n == 1 && !cursor.AtStatementEnd()) JumpToLine(interp, cursor);
  return Flow::Next;
}

}  // namespace tenrek
