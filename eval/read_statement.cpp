// READ and RESTORE: walking the DATA items of the stored program.
//
// The READ position is (dataLine, dataToken): the token after the last item
// read. dataLine null means "before the first program line". When the data
// run out, the position stays at the end of the last line, so a later READ
// reports again without walking the program. Storing or removing a line
// resets the position, so dataLine always names a stored line.
#include "eval/assignment.h"
#include "eval/evaluator.h"
#include "interp/interpreter.h"
#include "interp/statements.h"

namespace tenrek {
namespace {

bool EndsStatement(const Token& token) {
  return token.kind == TokenKind::Colon || token.kind == TokenKind::Else;
}

// Moves the READ position onto the next DATA item. False, with the position
// left at the end of the last line, when there is none.
bool FindNextDataItem(Interpreter& interp) {
  ProgramLine* line = interp.dataLine;
  std::size_t index = interp.dataToken;
  if (line == nullptr) {
    line = interp.program.First();
    index = 0;
    if (line == nullptr) return false;
  }
  if (index < line->tokens.size() && line->tokens[index].kind == TokenKind::Comma) {
    interp.dataLine = line;
    interp.dataToken = index + 1;
    return true;
  }
  for (;;) {
    const TokenList& tokens = line->tokens;
    while (index < tokens.size()) {
      const bool isData = tokens[index++].kind == TokenKind::Data;
      if (isData && index < tokens.size() && !EndsStatement(tokens[index])) {
        interp.dataLine = line;
        interp.dataToken = index;
        return true;
      }
    }
    if (line->next == nullptr) {
      interp.dataLine = line;
      interp.dataToken = tokens.size();
      return false;
    }
    line = line->next;
    index = 0;
  }
}

// Reads the next DATA item into `cell`. False after "Out of Data".
bool ReadDataItem(Interpreter& interp, const CellRef& cell) {
  if (!FindNextDataItem(interp)) {
    interp.Report(Error::OutOfData);
    return false;
  }
  StatementCursor item;
  item.Point(&interp.dataLine->tokens, interp.dataToken);
  AssignExpression(interp, item, cell);
  interp.dataToken = item.pos;
  return true;
}

}  // namespace

// READ target [, target] ...
// After "Out of Data" the target keeps its value and the statement ends.
Flow ExecRead(Interpreter& interp, StatementCursor& cursor) {
  for (;;) {
    if (!ExpectTarget(interp, cursor)) return Flow::Next;
    const CellRef cell = ReferenceVariable(interp, cursor);
    if (!ReadDataItem(interp, cell)) {
      cursor.SkipToStatementEnd();
      return Flow::Next;
    }
    if (cursor.AtStatementEnd() || !ExpectTargetSeparator(interp, cursor)) return Flow::Next;
  }
}

// RESTORE [line]
// Without a line the next READ starts at the first program line. An
// undefined line is reported and leaves the position as it was.
Flow ExecRestore(Interpreter& interp, StatementCursor& cursor) {
  if (cursor.AtStatementEnd()) {
    interp.ResetReadPosition();
    return Flow::Next;
  }
  const int32_t number = RoundToInt(NumericExpression(interp, cursor));
  if (ProgramLine* line = interp.FindLine(number)) {
    interp.dataLine = line;
    interp.dataToken = 0;
  }
  return Flow::Next;
}

}  // namespace tenrek
