// Translation of whole statements, and the runner of their translated
// forms. Each form does what its handler does, step for step; the
// translator only accepts texts where the handler would take exactly that
// path (every expression translated, every keyword in its place, nothing
// after the statement), so the reports and their order stay the same.
#include "interp/translated_statements.h"

#include <algorithm>

#include "eval/compiled_expression.h"
#include "eval/variables.h"
#include "interp/loop_frames.h"
#include "interp/statements.h"

namespace tenrek {
namespace {

using Form = TranslatedStatement::Form;

class StatementTranslator {
 public:
  StatementTranslator(Interpreter& interp, const TokenList& tokens, TranslatedStatement& out)
      : interp_(interp), tokens_(tokens), out_(out) {}

  // The form of the statement at `at`, its operands filled in.
  Form Translate(std::size_t at) {
    const Form form = FormAt(at);
    if (form == Form::If) {
      out_.branches.thenAt = static_cast<TokenIndex>(PastColons(out_.branches.thenAt));
      out_.branches.elseAt = static_cast<TokenIndex>(PastColons(out_.branches.elseAt));
    }
    out_.nextAt = static_cast<TokenIndex>(PastColons(out_.nextAt));
    return form;
  }

 private:
  std::size_t PastColons(std::size_t pos) const {
    while (KindAt(pos, TokenKind::Colon)) ++pos;
    return std::min(pos, tokens_.size());
  }

  Form FormAt(std::size_t at) {
    switch (tokens_[at].kind) {
      case TokenKind::Identifier: return Assignment(at);
      case TokenKind::Let: return Assignment(at + 1);
      case TokenKind::If: return If(at + 1);
      case TokenKind::Goto: return Jump(Form::Goto, at + 1);
      case TokenKind::Gosub: return Jump(Form::Gosub, at + 1);
      case TokenKind::Return: return Form::Return;
      case TokenKind::Next: return Next(at + 1);
      case TokenKind::For: return For(at + 1);
      case TokenKind::While: return While(at + 1);
      case TokenKind::Wend: return EndsAt(at + 1) ? Form::Wend : Form::Declined;
      default: return Form::Declined;
    }
  }

  bool KindAt(std::size_t pos, TokenKind kind) const {
    return pos < tokens_.size() && tokens_[pos].kind == kind;
  }
  // Nothing follows: the line ends, or a ":" or ELSE ends the statement.
  // Where it ends is where the next statement is looked for.
  bool EndsAt(std::size_t pos) {
    out_.nextAt = static_cast<TokenIndex>(pos);
    return pos >= tokens_.size() || KindAt(pos, TokenKind::Colon) || KindAt(pos, TokenKind::Else);
  }
  // A numeric scalar named at `pos`, with no subscript after it.
  Variable* NumericScalarAt(std::size_t pos) const {
    if (!KindAt(pos, TokenKind::Identifier)) return nullptr;
    Variable* v = tokens_[pos].Var();
    const bool plain = v != nullptr && !v->isString && v->extentCount == 0;
    return plain && !KindAt(pos + 1, TokenKind::LeftParen) ? v : nullptr;
  }

  // The translated expression at `pos`, taken as operand `slot`; null
  // when it does not translate or the statement has no room for it.
  CompiledExpression* Operand(std::size_t slot, std::size_t pos) {
    if (slot >= out_.operandRoom) return nullptr;
    CompiledExpression* expression = Expression(pos);
    if (expression != nullptr) out_.Operand(slot).expression = expression;
    return expression;
  }
  // The translated expression at `pos`, its nesting counted.
  CompiledExpression* Expression(std::size_t pos) {
    StatementCursor cursor;
    cursor.Point(&tokens_, pos);
    CompiledExpression* expression = TranslateExpressionAt(interp_, cursor);
    if (expression != nullptr) {
      out_.depth = std::max(out_.depth, static_cast<int8_t>(expression->depth));
    }
    return expression;
  }

  // [LET] name = expression | name(i, ...) = expression, numeric.
  Form Assignment(std::size_t at) {
    if (!KindAt(at, TokenKind::Identifier)) return Form::Declined;
    Variable* v = tokens_[at].Var();
    if (v == nullptr || v->isString) return Form::Declined;
    out_.variable = v;
    if (KindAt(at + 1, TokenKind::Equal) && v->extentCount == 0) {
      const CompiledExpression* value = Operand(0, at + 2);
      return value != nullptr && EndsAt(value->end) ? Form::Assign : Form::Declined;
    }
    if (!KindAt(at + 1, TokenKind::LeftParen) || v->extentCount == 0) return Form::Declined;
    std::size_t pos = at + 1;
    const int dimensions = v->extentCount;
    for (int k = 0; k < dimensions; ++k) {
      const CompiledExpression* subscript = Operand(static_cast<std::size_t>(k), pos + 1);
      if (subscript == nullptr) return Form::Declined;
      pos = subscript->end;
      if (!KindAt(pos, k + 1 == dimensions ? TokenKind::RightParen : TokenKind::Comma))
        return Form::Declined;
    }
    if (!KindAt(pos + 1, TokenKind::Equal)) return Form::Declined;
    const CompiledExpression* value = Operand(static_cast<std::size_t>(dimensions), pos + 2);
    if (value == nullptr || !EndsAt(value->end)) return Form::Declined;
    out_.count = static_cast<uint8_t>(dimensions);
    return Form::AssignElement;
  }

  // IF condition THEN (statement | line) [ELSE (statement | line)]
  Form If(std::size_t at) {
    const CompiledExpression* condition = Operand(0, at);
    if (condition == nullptr || !KindAt(condition->end, TokenKind::Then)) return Form::Declined;
    out_.branches.thenAt = static_cast<TokenIndex>(condition->end + 1);
    TranslatedStatement::Branches& branches = out_.branches;
    branches.elseAt = static_cast<TokenIndex>(AfterFalseBranch(branches.thenAt));
    const bool thenJumps = KindAt(branches.thenAt, TokenKind::Number);
    const bool elseJumps = KindAt(branches.elseAt, TokenKind::Number);
    if (thenJumps && Operand(1, branches.thenAt) == nullptr) return Form::Declined;
    if (elseJumps && Operand(2, branches.elseAt) == nullptr) return Form::Declined;
    return Form::If;
  }

  // Where a false IF goes on: just after its own ELSE (nested IF ... ELSE
  // pairs counted), or the end of the line.
  std::size_t AfterFalseBranch(std::size_t pos) const {
    int depth = 0;
    for (; pos < tokens_.size(); ++pos) {
      if (tokens_[pos].kind == TokenKind::If) ++depth;
      if (tokens_[pos].kind == TokenKind::Else && --depth < 0) return pos + 1;
    }
    return pos;
  }

  // GOTO line | GOSUB line
  Form Jump(Form form, std::size_t at) {
    out_.target = Expression(at);
    return out_.target != nullptr ? form : Form::Declined;
  }

  // NEXT name
  Form Next(std::size_t at) {
    out_.variable = NumericScalarAt(at);
    return out_.variable != nullptr && EndsAt(at + 1) ? Form::Next : Form::Declined;
  }

  // FOR name = start TO limit [STEP step]
  Form For(std::size_t at) {
    out_.variable = NumericScalarAt(at);
    if (out_.variable == nullptr || !KindAt(at + 1, TokenKind::Equal)) return Form::Declined;
    const CompiledExpression* start = Operand(0, at + 2);
    if (start == nullptr || !KindAt(start->end, TokenKind::To)) return Form::Declined;
    const CompiledExpression* last = Operand(1, start->end + 1);
    if (last == nullptr) return Form::Declined;
    out_.count = 2;
    if (KindAt(last->end, TokenKind::Step)) {
      last = Operand(2, last->end + 1);
      if (last == nullptr) return Form::Declined;
      out_.count = 3;
    }
    return EndsAt(last->end) ? Form::For : Form::Declined;
  }

  // WHILE condition
  Form While(std::size_t at) {
    const CompiledExpression* condition = Operand(0, at);
    return condition != nullptr && EndsAt(condition->end) ? Form::While : Form::Declined;
  }

  Interpreter& interp_;
  const TokenList& tokens_;
  TranslatedStatement& out_;
};

// The value of expression `k` of `s`. Inlined by force: left to itself the
// compiler calls it from the statement loop, and bm7 pays 2-3% for that.
[[gnu::always_inline]] inline double Operand(Interpreter& interp, const TranslatedStatement& s,
                                             std::size_t k) {
  const StatementOperand& operand = s.Operand(k);
  if (operand.quick.value != nullptr) return RunQuick(interp, operand.quick);
  return RunCompiled(interp, *operand.expression);
}

// Translates `statement` in place, under the current shapes: it keeps
// its place in the line, its room and nothing else.
void Translate(Interpreter& interp, const TokenList& tokens, TranslatedStatement& statement) {
  static_assert(kMaxEvaluationDepth <= INT8_MAX);
  statement.form = TranslatedStatement::Form::Declined;
  statement.count = 0;
  statement.depth = 0;
  statement.nextAt = 0;
  statement.variable = nullptr;
  if (statement.withinRoom) statement.Within() = StatementLink();
  if (statement.movedRoom) statement.Moved().reset();
  for (std::size_t k = 0; k < statement.operandRoom; ++k) statement.Operand(k) = StatementOperand();
  statement.shapeEpoch = interp.shapeEpoch;
  statement.form = StatementTranslator(interp, tokens, statement).Translate(statement.at);
  // The statement is translated again whenever its expressions may be,
  // so the pointers copied here hold while it does.
  for (std::size_t k = 0; k < statement.operandRoom; ++k) {
    StatementOperand& operand = statement.Operand(k);
    if (operand.expression != nullptr) operand.quick = QuickOperandOf(*operand.expression);
  }
}

// The statement of `code` that starts at token `at`, made (empty) when
// there is none yet; `lastStatement` then names it.
TranslatedStatement& StatementSlot(LineCode& code, const TokenList& tokens, std::size_t at) {
  TranslatedStatement** place = nullptr;
  TranslatedStatement* found = code.FindStatement(at, place);
  if (found == nullptr) found = &code.AddStatement(place, at, StatementRoomAt(tokens, at));
  code.lastStatement = found;
  return *found;
}

// name(i, ...) = value: the subscripts checked in order as a reference
// checks them, and a value for a bad element computed and dropped.
void AssignElement(Interpreter& interp, const TranslatedStatement& s) {
  Variable& variable = *s.variable;
  int64_t offset = 0;
  bool inRange = true;
  for (int k = 0; k < s.count; ++k) {
    const int32_t extent = variable.extents[k];
    int32_t index = 0;
    const double value = Operand(interp, s, static_cast<std::size_t>(k));
    if (!SubscriptInRange(value, extent, index)) {
      interp.Report(Error::BadSubscript, ElementName(variable, k, value));
      inRange = false;
    } else {
      offset = offset * extent + index;
    }
  }
  const double number = Operand(interp, s, s.count);
  const auto cell = static_cast<std::size_t>(offset);
  if (inRange && cell < variable.numbers.size()) variable.numbers[cell] = number;
}

// Goes on at `pos` of the same line, a statement start or the line's end.
Step GoOnAt(StatementCursor& cursor, uint32_t pos) {
  cursor.pos = pos;
  return Step::Within;
}

// A false condition going on within the line is the one way that counts
// as Within; a true one resumes at its THEN statement as a move, so that
// the two ways are remembered apart.
Step If(Interpreter& interp, StatementCursor& cursor, const TranslatedStatement& s) {
  const bool holds = Operand(interp, s, 0) != 0.0;
  cursor.pos = holds ? s.branches.thenAt : s.branches.elseAt;
  if (CompiledExpression* target = s.Expression(holds ? 1 : 2)) {
    JumpToTranslated(interp, cursor, *target);
    return Step::Jumped;
  }
  if (!holds) return Step::Within;
  cursor.resumeAtCursor = true;
  return Step::Resumed;
}

// NEXT of the innermost loop, when it is the named variable's.
Step Next(Interpreter& interp, StatementCursor& cursor, const TranslatedStatement& s) {
  if (interp.controlStack.empty()) return Step::Declined;
  ControlFrame& frame = interp.controlStack.back();
  Variable* const named = s.variable;
  if (frame.kind != FrameKind::For || frame.variable != named ||
      frame.cellIndex != CellRef::kScalar) {
    return Step::Declined;
  }
  const double value = named->number + frame.step;
  named->number = value;
  if (LoopContinues(value, frame.limit, frame.step)) {
    ResumeAt(interp, cursor, frame);
    return Step::Moved;
  }
  interp.controlStack.pop_back();
  return GoOnAt(cursor, s.nextAt);
}

Step For(Interpreter& interp, StatementCursor& cursor, const TranslatedStatement& s) {
  const double start = Operand(interp, s, 0);
  s.variable->number = start;
  const double limit = Operand(interp, s, 1);
  const CompiledExpression* last = s.Operand(1).expression;
  double step = 1.0;
  if (s.count == 3) {
    last = s.Operand(2).expression;
    step = RunCompiled(interp, *last);
  }
  cursor.pos = last->end;
  const bool entered = LoopContinues(start, limit, step);
  EnterForLoop(interp, cursor, CellRef{s.variable, CellRef::kScalar}, start, limit, step);
  return entered ? GoOnAt(cursor, s.nextAt) : Step::Moved;
}

Step While(Interpreter& interp, StatementCursor& cursor, const TranslatedStatement& s) {
  cursor.pos = s.at + 1;
  PushFrame(interp, cursor, FrameKind::While);
  const CompiledExpression& condition = *s.Operand(0).expression;
  if (Operand(interp, s, 0) != 0.0) return GoOnAt(cursor, s.nextAt);
  cursor.pos = condition.end;
  interp.controlStack.pop_back();
  SkipWhileBody(interp, cursor);
  return Step::Moved;
}

bool InnermostFrameIs(const Interpreter& interp, FrameKind kind) {
  return !interp.controlStack.empty() && interp.controlStack.back().kind == kind;
}

}  // namespace

const TranslatedStatement* TranslateStatementAt(Interpreter& interp,
                                                const StatementCursor& cursor) {
  ProgramLine* const line = interp.currentLine;
  if (line == nullptr || cursor.list != &line->tokens || cursor.pos >= line->tokens.size() ||
      !interp.translateLines) {
    return nullptr;
  }
  TranslatedStatement& statement = StatementSlot(CodeOf(*line), line->tokens, cursor.pos);
  if (statement.shapeEpoch != interp.shapeEpoch) Translate(interp, line->tokens, statement);
  if (statement.form == Form::Declined || !NestsWithinLimit(interp, statement.depth)) {
    return nullptr;
  }
  return &statement;
}

Step RunTranslated(Interpreter& interp, StatementCursor& cursor, const TranslatedStatement& s) {
  switch (s.form) {
    case Form::Assign: s.variable->number = Operand(interp, s, 0); return GoOnAt(cursor, s.nextAt);
    case Form::AssignElement: AssignElement(interp, s); return GoOnAt(cursor, s.nextAt);
    case Form::If: return If(interp, cursor, s);
    case Form::Goto: JumpToTranslated(interp, cursor, *s.target); return Step::Jumped;
    case Form::Gosub:
      cursor.pos = s.at + 1;
      PushFrame(interp, cursor, FrameKind::Gosub);
      JumpToTranslated(interp, cursor, *s.target);
      return Step::Jumped;
    case Form::Return:
      if (!InnermostFrameIs(interp, FrameKind::Gosub)) return Step::Declined;
      ReturnFromGosub(interp, cursor);
      return Step::Moved;
    case Form::Next: return Next(interp, cursor, s);
    case Form::For: return For(interp, cursor, s);
    case Form::While: return While(interp, cursor, s);
    case Form::Wend:
      if (!InnermostFrameIs(interp, FrameKind::While)) return Step::Declined;
      cursor.pos = s.at + 1;
      RepeatWhileLoop(interp, cursor);
      return Step::Moved;
    case Form::Declined: return Step::Declined;
  }
  return Step::Declined;
}

}  // namespace tenrek
