// Whole statements of stored lines, translated once into a form that runs
// without the token dispatch: assignments of numbers, IF, GOTO, GOSUB,
// RETURN, FOR, NEXT, WHILE and WEND. A statement whose text does not
// translate exactly (an error in it, an odd form, a string) keeps running
// through its handler, and so does one whose translated form does not fit
// the moment (a NEXT that is not of the innermost loop, say).
#pragma once

#include "eval/compiled_expression.h"
#include "eval/evaluator.h"
#include "interp/cursor.h"
#include "interp/interpreter.h"
#include "interp/line_code.h"
#include "interp/statements.h"

namespace tenrek {

// The translation of the statement at the cursor, made on first use and
// again when variables changed their shapes; null when the cursor reads no
// stored line or the statement does not translate.
const TranslatedStatement* TranslateStatementAt(Interpreter& interp, const StatementCursor& cursor);

// The statement at the cursor as translated already, for the common case
// (the next statement of the line, or the first one): true when it is
// known, `found` being null when it does not run translated. False when
// it still needs (re)translating.
inline bool FindTranslatedStatement(Interpreter& interp, const StatementCursor& cursor,
                                    const TranslatedStatement*& found) {
  ProgramLine* const line = interp.currentLine;
  if (line == nullptr || line->code == nullptr || cursor.list != &line->tokens) return false;
  LineCode& code = *line->code;
  const TranslatedStatement* const next =
      code.lastStatement != nullptr ? code.lastStatement->following : nullptr;
  for (const TranslatedStatement* guess :
       {next, static_cast<const TranslatedStatement*>(code.firstStatement)}) {
    if (guess == nullptr) continue;
    const TranslatedStatement& statement = *guess;
    if (statement.at != cursor.pos) continue;
    if (statement.shapeEpoch != interp.shapeEpoch) return false;
    code.lastStatement = guess;
    const bool runs = statement.form != TranslatedStatement::Form::Declined &&
                      NestsWithinLimit(interp, statement.depth);
    found = runs ? &statement : nullptr;
    return true;
  }
  return false;
}

// The same, with the common case (the next statement of the line, already
// translated, shapes unchanged) answered without a call.
inline const TranslatedStatement* TranslatedStatementAt(Interpreter& interp,
                                                        const StatementCursor& cursor) {
  const TranslatedStatement* found = nullptr;
  if (FindTranslatedStatement(interp, cursor, found)) return found;
  return TranslateStatementAt(interp, cursor);
}

// JumpToLine for a translated line number. A line named by a number goes
// where it went before, while the program stays as it is. Inlined by
// force: the inliner's budget for the statement chain runs out before it,
// and as a call it cost GOTO-heavy programs some 10%.
[[gnu::always_inline]] inline void JumpToTranslated(Interpreter& interp, StatementCursor& cursor,
                                                    CompiledExpression& target) {
  const JumpMemory* const memory = target.Jump();
  if (target.shape != ExpressionShape::Constant || memory == nullptr ||
      memory->generation != interp.program.Generation()) {
    JumpToComputedLine(interp, cursor, target);
    return;
  }
  JumpTo(interp, cursor, memory->line);
}

// Where a translated statement leaves the run.
enum class Step : uint8_t {
  Declined,  // the form does not fit the moment: nothing done, the handler runs
  Within,    // the next statement starts at the cursor (its one place for this statement) or
             // the line ended
  Moved,     // the cursor moved (a loop, a return): the statement loop's checks apply
  Jumped,    // the same, by a jump to a line
  Resumed,   // the same, the next statement starting at the cursor (a true IF's THEN)
};

// Runs a translated statement, the cursor on its first token: the same
// effects and reports, in the same order, as its handler.
Step RunTranslated(Interpreter& interp, StatementCursor& cursor,
                   const TranslatedStatement& statement);

}  // namespace tenrek
