// The control-stack work of FOR/NEXT, WHILE/WEND and GOSUB/RETURN, shared
// by their handlers and by their translated forms.
#pragma once

#include "eval/variables.h"
#include "interp/cursor.h"
#include "interp/interpreter.h"

namespace tenrek {

inline bool LoopContinues(double value, double limit, double step) {
  return (step > 0 && value <= limit) || (step < 0 && value >= limit) ||
         (step == 0 && value == limit);
}

// Pushes a frame that resumes at the cursor, counted against the budget.
inline void PushFrame(Interpreter& interp, const StatementCursor& cursor, FrameKind kind) {
  ControlFrame frame;
  frame.kind = kind;
  frame.line = interp.CurrentLine();
  frame.list = cursor.list;
  frame.resume = cursor.pos;
  interp.PushFrame(frame);
  interp.CheckControlStackBudget();
}

// Sends execution to where a frame resumes. `jumped` stays clear: at the
// end of the frame's line the executor moves on to the line after it.
inline void ResumeAt(Interpreter& interp, StatementCursor& cursor, const ControlFrame& frame) {
  interp.EnterLine(frame.line);
  cursor.Point(frame.list, frame.resume);
}

// FOR whose body is not entered: passes over it to its NEXT.
void SkipUnenteredForBody(Interpreter& interp, StatementCursor& cursor, Variable* control);

// FOR once its start (already stored), limit and step are known: pushes
// the loop's frame, or passes over a body that is not entered.
inline void EnterForLoop(Interpreter& interp, StatementCursor& cursor, const CellRef& control,
                         double start, double limit, double step) {
  if (!LoopContinues(start, limit, step)) {
    SkipUnenteredForBody(interp, cursor, control.variable);
    return;
  }
  PushFrame(interp, cursor, FrameKind::For);
  ControlFrame& frame = interp.controlStack.back();
  frame.variable = control.variable;
  frame.cellIndex = control.index;
  frame.limit = limit;
  frame.step = step;
}

// NEXT name, where name is a numeric scalar and the innermost frame is its
// FOR loop: the step taken without looking the frame up. False, with
// nothing done, for every other form, which then goes the general way.
bool NextOfInnermostLoop(Interpreter& interp, StatementCursor& cursor);

// WHILE whose condition is false, its frame popped: passes over the body.
void SkipWhileBody(Interpreter& interp, StatementCursor& cursor);

// WEND without an exit condition, the innermost frame being its WHILE:
// the condition is asked again where the loop began.
void RepeatWhileLoop(Interpreter& interp, StatementCursor& cursor);

// RETURN, the innermost frame being a GOSUB.
void ReturnFromGosub(Interpreter& interp, StatementCursor& cursor);

}  // namespace tenrek
