// GET, RETMMF and MMFTAG: the statements through which a program hands
// values and tags to the host application.
#include <string>
#include <utility>

#include "eval/evaluator.h"
#include "interp/interpreter.h"
#include "interp/limits.h"
#include "interp/statements.h"

namespace tenrek {
namespace {

// A number leaves returnText as it was and a string leaves returnNumber;
// returnIsText says which of the two the host should read.
void HandOver(Interpreter& interp, Value value) {
  interp.host.returnIsText = value.isString;
  if (value.isString) {
    interp.host.returnText = std::move(value.text);
  } else {
    interp.host.returnNumber = value.number;
  }
}

}  // namespace

// GET expression
Flow ExecGet(Interpreter& interp, StatementCursor& cursor) {
  HandOver(interp, EvaluateExpression(interp, cursor));
  return Flow::Next;
}

// RETMMF expression
// Ends the run after handing the value over, also inside a GOSUB or a
// loop; the control stack stays as it is.
Flow ExecRetmmf(Interpreter& interp, StatementCursor& cursor) {
  HandOver(interp, EvaluateExpression(interp, cursor));
  interp.LeaveProgram();
  cursor.ToLineEnd();
  return Flow::Next;
}

// MMFTAG ( string expression )
// Without "(" nothing is evaluated and no tag is raised; a number reports
// "Type mismatch error" and raises no tag either, so the host never sees a
// tag event for a statement that named none.
Flow ExecMmftag(Interpreter& interp, StatementCursor& cursor) {
  if (!cursor.Is(TokenKind::LeftParen)) {
    interp.Report(Error::SyntaxError);
    cursor.SkipToStatementEnd();
    return Flow::Next;
  }
  cursor.Advance();
  Value name = EvaluateExpression(interp, cursor);
  if (!name.isString) interp.Report(Error::TypeMismatch);
  ExpectToken(interp, cursor, TokenKind::RightParen);
  if (!name.isString) return Flow::Next;
  if (name.text.size() > kMaxFieldText) name.text.resize(kMaxFieldText);
  interp.host.tagText = std::move(name.text);
  interp.host.tagPending = true;
  interp.Notify(HostNotice::Tag);
  return Flow::Next;
}

}  // namespace tenrek
