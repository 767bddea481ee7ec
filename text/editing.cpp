// DEL and RENUM: the statements that change the stored program as a whole.
#include <cstdint>
#include <string>
#include <vector>

#include "eval/evaluator.h"
#include "interp/interpreter.h"
#include "interp/statements.h"
#include "text/lister.h"

namespace tenrek {

namespace {

// ---- DEL ----

// The line being run is deleted: the run ends after this statement and
// nothing it set up (loops, returns, the READ position) survives it.
void LeaveCurrentLine(Interpreter& interp, StatementCursor& cursor) {
  interp.LeaveProgram();
  cursor.ToLineEnd();
  interp.FreeControlStack();
  interp.ResetReadPosition();
}

void DeleteLineRange(Interpreter& interp, StatementCursor& cursor, LineRange range) {
  ProgramLine* line = interp.program.FirstFrom(range.lower);
  while (line != nullptr && line->number <= range.upper) {
    ProgramLine* next = line->next;
    if (line == interp.currentLine) LeaveCurrentLine(interp, cursor);
    interp.RemoveLine(line);
    line = next;
  }
}

// ---- RENUM ----

struct RenumOperands {
  int32_t first = 10;
  int32_t increment = 10;
};

RenumOperands ReadRenumOperands(Interpreter& interp, StatementCursor& cursor) {
  RenumOperands operands;
  if (cursor.AtStatementEnd()) return operands;
  operands.first = IntegerExpression(interp, cursor);
  if (cursor.AtStatementEnd()) return operands;
  ExpectToken(interp, cursor, TokenKind::Comma);
  operands.increment = IntegerExpression(interp, cursor);
  return operands;
}

// New numbers must stay positive and strictly ascending.
bool NumbersFit(const RenumOperands& operands, std::size_t lineCount) {
  if (operands.first < 1 || operands.increment < 1) return false;
  if (lineCount == 0) return true;
  const int64_t last =
      int64_t{operands.first} + int64_t{operands.increment} * static_cast<int64_t>(lineCount - 1);
  return last <= kMaxLineNumber;
}

void AssignNewNumbers(ProgramStore& program, const RenumOperands& operands) {
  int32_t number = operands.first;
  for (ProgramLine* line = program.First(); line != nullptr; line = line->next) {
    line->newNumber = number;
    if (line->next != nullptr) number += operands.increment;  // checked by NumbersFit
  }
}

// The keywords whose Number operands name lines.
bool TakesLineNumbers(TokenKind kind) {
  switch (kind) {
    case TokenKind::Goto:
    case TokenKind::Gosub:
    case TokenKind::Restore:
    case TokenKind::List:
    case TokenKind::Run:
    case TokenKind::Del:
    case TokenKind::Then:
    case TokenKind::Else:
    case TokenKind::Rerun: return true;
    default: return false;
  }
}

void RewriteReference(Interpreter& interp, const ProgramLine& line, Token& reference) {
  const int32_t old = RoundToInt(reference.number);
  const ProgramLine* target = interp.program.Find(old);
  if (target != nullptr) {
    reference.number = target->newNumber;
    return;
  }
  interp.platform.WriteOutput("Undefined line " + std::to_string(old) + " in line " +
                              std::to_string(line.newNumber) + "\n");
}

// Rewrites the Number tokens chained after the keyword at `index`
// (directly, or through commas as in ON ... GOTO); returns the index of
// the last token it consumed.
std::size_t RewriteReferenceList(Interpreter& interp, ProgramLine& line, std::size_t index) {
  TokenList& tokens = line.tokens;
  while (index + 1 < tokens.size() && tokens[index + 1].kind == TokenKind::Number) {
    ++index;
    RewriteReference(interp, line, tokens[index]);
    if (index + 1 < tokens.size() && tokens[index + 1].kind == TokenKind::Comma) ++index;
  }
  return index;
}

void RewriteReferences(Interpreter& interp) {
  for (ProgramLine* line = interp.program.First(); line != nullptr; line = line->next) {
    for (std::size_t i = 0; i < line->tokens.size(); ++i) {
      if (TakesLineNumbers(line->tokens[i].kind)) i = RewriteReferenceList(interp, *line, i);
    }
  }
}

}  // namespace

// DEL range [, range] ...
// A range must name a bound: an operand such as DEL X would otherwise mean
// the whole program, so it is refused and deletes nothing.
Flow ExecDel(Interpreter& interp, StatementCursor& cursor) {
  if (cursor.AtStatementEnd()) {
    interp.Report(Error::SyntaxError);
    return Flow::Next;
  }
  do {
    if (StartsLineRange(cursor)) {
      DeleteLineRange(interp, cursor, ReadLineRange(cursor));
    } else {
      interp.Report(Error::SyntaxError);
      while (!cursor.AtStatementEnd() && !cursor.Is(TokenKind::Comma)) cursor.Advance();
    }
  } while (MoreLineRanges(interp, cursor));
  // Loops and returns may point at deleted lines other than the current
  // one; they must never be followed again. (RemoveLine already resets a
  // READ position standing on a deleted line.)
  interp.DiscardFramesOfRemovedLines();
  return Flow::Next;
}

// RENUM [first [, increment]]
// Operands that would give numbers below 1, repeated numbers or numbers
// beyond 2147483647 are refused with "Syntax error"; nothing changes.
Flow ExecRenum(Interpreter& interp, StatementCursor& cursor) {
  const RenumOperands operands = ReadRenumOperands(interp, cursor);
  if (!NumbersFit(operands, interp.program.Size())) {
    interp.Report(Error::SyntaxError);
    return Flow::Next;
  }
  if (interp.program.Empty()) return Flow::Next;
  AssignNewNumbers(interp.program, operands);
  RewriteReferences(interp);
  interp.program.ApplyNewNumbers();
  return Flow::Next;
}

}  // namespace tenrek
