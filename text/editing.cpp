// DEL and RENUM: the statements that change the stored program as a whole.
#include <algorithm>
#include <cstdint>
#include <optional>
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
    if (line == interp.CurrentLine()) LeaveCurrentLine(interp, cursor);
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

// The numbers RENUM gives: the nth line (from 0) becomes first + n *
// increment. The old numbers are kept in order to look references up in.
class Renumbering {
 public:
  Renumbering(const ProgramStore& program, const RenumOperands& operands) : operands_(operands) {
    oldNumbers_.reserve(program.Size());
    for (const ProgramLine* line = program.First(); line != nullptr; line = line->next) {
      oldNumbers_.push_back(line->number);
    }
  }

  // Checked by NumbersFit.
  int32_t NewNumberAt(std::size_t ordinal) const {
    return static_cast<int32_t>(int64_t{operands_.first} +
                                int64_t{operands_.increment} * static_cast<int64_t>(ordinal));
  }

  // The new number of the line numbered `old`, or nothing without one.
  std::optional<int32_t> NewNumberOf(int32_t old) const {
    const auto found = std::lower_bound(oldNumbers_.begin(), oldNumbers_.end(), old);
    if (found == oldNumbers_.end() || *found != old) return std::nullopt;
    return NewNumberAt(static_cast<std::size_t>(found - oldNumbers_.begin()));
  }

 private:
  RenumOperands operands_;
  std::vector<int32_t> oldNumbers_;
};

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

// Rewrites the reference `tokens[at]`; `lineNumber` is the new number of
// the line holding it. A reference to no line is named on `warnings`, when
// given, and left as it is.
void RewriteReference(Platform* warnings, const Renumbering& renumbering, int32_t lineNumber,
                      TokenList& tokens, std::size_t at) {
  const int32_t old = RoundToInt(tokens[at].Number());
  if (const std::optional<int32_t> target = renumbering.NewNumberOf(old)) {
    tokens.SetNumber(at, *target);
    return;
  }
  if (warnings == nullptr) return;
  warnings->WriteOutput("Undefined line " + std::to_string(old) + " in line " +
                        std::to_string(lineNumber) + "\n");
}

// Rewrites the Number tokens chained after the keyword at `index`
// (directly, or through commas as in ON ... GOTO); returns the index of
// the last token it consumed.
std::size_t RewriteReferenceList(Platform* warnings, const Renumbering& renumbering,
                                 int32_t lineNumber, TokenList& tokens, std::size_t index) {
  while (index + 1 < tokens.size() && tokens[index + 1].kind == TokenKind::Number) {
    ++index;
    RewriteReference(warnings, renumbering, lineNumber, tokens, index);
    if (index + 1 < tokens.size() && tokens[index + 1].kind == TokenKind::Comma) ++index;
  }
  return index;
}

void RewriteLineReferences(Platform* warnings, const Renumbering& renumbering, int32_t lineNumber,
                           TokenList& tokens) {
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (TakesLineNumbers(tokens[i].kind)) {
      i = RewriteReferenceList(warnings, renumbering, lineNumber, tokens, i);
    }
  }
}

// Longer numbers can make a line longer than a line may be: each line is
// tried on a copy first, and if one would not fit, nothing changes.
bool RenumberedLinesFit(const ProgramStore& program, const Renumbering& renumbering) {
  std::size_t ordinal = 0;
  for (const ProgramLine* line = program.First(); line != nullptr; line = line->next) {
    const int32_t lineNumber = renumbering.NewNumberAt(ordinal++);
    TokenList tokens = line->tokens;
    RewriteLineReferences(nullptr, renumbering, lineNumber, tokens);
    if (!ListingFits(lineNumber, tokens)) return false;
  }
  return true;
}

void RewriteReferences(Interpreter& interp, const Renumbering& renumbering) {
  std::size_t ordinal = 0;
  for (ProgramLine* line = interp.program.First(); line != nullptr; line = line->next) {
    const int32_t lineNumber = renumbering.NewNumberAt(ordinal++);
    RewriteLineReferences(&interp.platform, renumbering, lineNumber, line->tokens);
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
// beyond 2147483647, or a line longer than a line may be, are refused with
// "Syntax error"; nothing changes.
Flow ExecRenum(Interpreter& interp, StatementCursor& cursor) {
  const RenumOperands operands = ReadRenumOperands(interp, cursor);
  if (!NumbersFit(operands, interp.program.Size())) {
    interp.Report(Error::SyntaxError);
    return Flow::Next;
  }
  if (interp.program.Empty()) return Flow::Next;
  const Renumbering renumbering(interp.program, operands);
  if (!RenumberedLinesFit(interp.program, renumbering)) {
    interp.Report(Error::SyntaxError);
    return Flow::Next;
  }
  RewriteReferences(interp, renumbering);
  interp.RenumberLines(operands.first, operands.increment);
  return Flow::Next;
}

}  // namespace tenrek
