// Translation of numeric expressions into operations on numbers, and the
// loop that runs them.
//
// The translator reads the tokens exactly as the evaluator's descent does
// (the same levels, the same nesting checks, the same end) and gives up at
// anything whose value or reports it cannot reproduce without the
// evaluator: strings, functions other than the numeric ones, a missing
// operand or parenthesis, an identifier without a variable, an array read
// in a shape other than its present one. Those expressions keep running
// through the evaluator, reports and all.
#include "eval/compiled_expression.h"
#include "eval/compiled_strings.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
#include <string_view>

#include "eval/evaluator.h"
#include "eval/functions.h"
#include "eval/operator_levels.h"
#include "eval/variables.h"
#include "interp/interpreter.h"
#include "interp/limits.h"

namespace tenrek {
namespace {

// Values one expression may hold at once while it runs. Real expressions
// stay far below; a deeper text keeps running through the evaluator.
constexpr std::size_t kMaxCompiledStack = 64;

OpCode BinaryCode(TokenKind kind) {
  switch (kind) {
    case TokenKind::Plus: return OpCode::Add;
    case TokenKind::Minus: return OpCode::Subtract;
    case TokenKind::Times: return OpCode::Multiply;
    case TokenKind::Divide: return OpCode::Divide;
    case TokenKind::Mod: return OpCode::Modulo;
    default: return LevelOf(kind) == kRelation ? OpCode::Compare : OpCode::Operator;
  }
}

bool IsFused(const Op& op) {
  return op.code >= OpCode::AddConstant && op.code <= OpCode::CompareScalar;
}

// ops[0..2] read an element of a one-dimensional array by a scalar.
bool ReadsElementOfScalar(const std::vector<Op>& ops) {
  return ops.size() >= 3 && ops[0].code == OpCode::Scalar && ops[1].code == OpCode::Index &&
         ops[1].count == 0 && ops[2].code == OpCode::Element && ops[2].count == 1 &&
         ops[1].variable == ops[2].variable;
}

ExpressionShape ShapeOf(const std::vector<Op>& ops) {
  using enum ExpressionShape;
  const std::size_t n = ops.size();
  if (n == 1 && ops[0].code == OpCode::Constant) return Constant;
  if (ops[0].code == OpCode::Scalar) {
    if (n == 1) return Scalar;
    if (n == 2 && IsFused(ops[1])) return ScalarFused;
    if (n == 3 && IsFused(ops[1]) && IsFused(ops[2])) return ScalarFused2;
  }
  if (ReadsElementOfScalar(ops)) {
    if (n == 3) return Element;
    if (n == 4 && IsFused(ops[3])) return ElementFused;
  }
  return General;
}

class Translator {
 public:
  Translator(const TokenList& tokens, std::size_t start, ExpressionDraft& out)
      : tokens_(tokens), pos_(start), out_(out) {}

  bool Translate() {
    if (!Binary(kOr) || stack_ != 1) return false;
    out_.end = static_cast<uint32_t>(pos_);
    out_.depth = deepestCheck_;
    out_.shape = ShapeOf(out_.ops);
    return true;
  }

 private:
  const Token* Current() const { return pos_ < tokens_.size() ? &tokens_[pos_] : nullptr; }
  const Token* Peek() const { return pos_ + 1 < tokens_.size() ? &tokens_[pos_ + 1] : nullptr; }
  bool Is(TokenKind kind) const {
    const Token* t = Current();
    return t != nullptr && t->kind == kind;
  }

  bool Emit(Op op, int stackChange) {
    out_.ops.push_back(op);
    stack_ += stackChange;
    deepestStack_ = std::max(deepestStack_, stack_);
    return static_cast<std::size_t>(deepestStack_) <= kMaxCompiledStack;
  }
  bool EmitCode(OpCode code, TokenKind kind, int stackChange) {
    Op op;
    op.code = code;
    op.kind = kind;
    return Emit(op, stackChange);
  }

  // The evaluator's Binary: a factor, then operators of level `lowest` and
  // above; "^" takes its right operand one level deeper.
  bool Binary(int lowest) {
    if (!GuardedFactor()) return false;
    for (;;) {
      const Token* t = Current();
      const Level level = t != nullptr ? LevelOf(t->kind) : kNone;
      if (level == kNone || level < lowest) return true;
      const TokenKind op = t->kind;
      ++pos_;
      if (level == kPower) {
        ++depth_;
        const bool read = Binary(kPower);
        --depth_;
        if (!read) return false;
      } else if (!Binary(level + 1)) {
        return false;
      }
      if (!EmitBinary(BinaryCode(op), op)) return false;
    }
  }

  // A binary operation; one whose right operand is a lone constant or
  // scalar takes it in, saving the push.
  bool EmitBinary(OpCode code, TokenKind kind) {
    Op& right = out_.ops.back();
    const int fused = FusedOffset(code);
    if (fused >= 0 && (right.code == OpCode::Constant || right.code == OpCode::Scalar)) {
      const int base = right.code == OpCode::Constant ? static_cast<int>(OpCode::AddConstant)
                                                      : static_cast<int>(OpCode::AddScalar);
      right.code = static_cast<OpCode>(base + fused);
      right.kind = kind;
      --stack_;
      return true;
    }
    return EmitCode(code, kind, -1);
  }

  // The place of `code` among the operations that take their right
  // operand in, or -1.
  static int FusedOffset(OpCode code) {
    switch (code) {
      case OpCode::Add: return 0;
      case OpCode::Subtract: return 1;
      case OpCode::Multiply: return 2;
      case OpCode::Divide: return 3;
      case OpCode::Modulo: return 4;
      case OpCode::Compare: return 5;
      default: return -1;
    }
  }

  bool GuardedFactor() {
    if (depth_ >= kMaxEvaluationDepth) return false;
    deepestCheck_ = std::max(deepestCheck_, depth_);
    ++depth_;
    const bool read = Factor();
    --depth_;
    return read;
  }

  bool Factor() {
    const Token* t = Current();
    if (t == nullptr) return false;
    if (t->kind == TokenKind::Identifier) return VariableRead();
    ++pos_;
    switch (t->kind) {
      case TokenKind::Number: {
        Op op;
        op.code = OpCode::Constant;
        op.number = t->Number();
        return Emit(op, 1);
      }
      case TokenKind::Plus: return GuardedFactor();
      case TokenKind::Minus:
        return GuardedFactor() && EmitCode(OpCode::Negate, TokenKind::Minus, 0);
      case TokenKind::Not:
        return GuardedFactor() && EmitCode(OpCode::Complement, TokenKind::Not, 0);
      case TokenKind::LeftParen:
        if (!Binary(kOr) || !Is(TokenKind::RightParen)) return false;
        ++pos_;
        return true;
      case TokenKind::Len: return StringVariableFunction(OpCode::Length);
      case TokenKind::Asc: return StringVariableFunction(OpCode::Code);
      default:
        if (!IsNumericFunctionKind(t->kind)) return false;
        return GuardedFactor() && EmitCode(OpCode::Function, t->kind, 0);
    }
  }

  // A string scalar that is not subscripted, at `at`.
  Variable* PlainString(std::size_t at) const {
    if (at >= tokens_.size() || tokens_[at].kind != TokenKind::Identifier) return nullptr;
    Variable* v = tokens_[at].Var();
    const bool subscripted =
        at + 1 < tokens_.size() && tokens_[at + 1].kind == TokenKind::LeftParen;
    return v != nullptr && v->isString && v->extentCount == 0 && !subscripted ? v : nullptr;
  }

  // LEN or ASC of a string variable, "name" or "(name)": the string factor
  // with its nesting checks, read in place when it runs.
  bool StringVariableFunction(OpCode code) {
    const bool parenthesized = Is(TokenKind::LeftParen);
    const int32_t deepest = parenthesized ? depth_ + 1 : depth_;
    if (deepest >= kMaxEvaluationDepth) return false;
    Variable* v = PlainString(parenthesized ? pos_ + 1 : pos_);
    if (v == nullptr) return false;
    if (parenthesized) {
      if (pos_ + 2 >= tokens_.size() || tokens_[pos_ + 2].kind != TokenKind::RightParen)
        return false;
      pos_ += 3;
    } else {
      pos_ += 1;
    }
    deepestCheck_ = std::max(deepestCheck_, deepest);
    Op op;
    op.code = code;
    op.variable = v;
    return Emit(op, 1);
  }

  bool VariableRead() {
    Variable* v = Current()->Var();
    if (v == nullptr || v->isString) return false;
    ++pos_;
    if (!Is(TokenKind::LeftParen)) {
      if (v->extentCount != 0) return false;  // an array needs its subscripts
      Op op;
      op.code = OpCode::Scalar;
      op.variable = v;
      return Emit(op, 1);
    }
    if (v->extentCount == 0) return false;  // dimensioned on first use
    const int dimensions = v->extentCount;
    for (int k = 0; k < dimensions; ++k) {
      if (k > 0 && !Is(TokenKind::Comma)) return false;
      ++pos_;  // the "(" or ","
      if (!Binary(kOr)) return false;
      Op index;
      index.code = OpCode::Index;
      index.count = static_cast<uint8_t>(k);
      index.variable = v;
      if (!Emit(index, 0)) return false;
    }
    if (!Is(TokenKind::RightParen)) return false;
    ++pos_;
    Op element;
    element.code = OpCode::Element;
    element.count = static_cast<uint8_t>(dimensions);
    element.variable = v;
    return Emit(element, 1 - dimensions);
  }

  const TokenList& tokens_;
  std::size_t pos_;
  ExpressionDraft& out_;
  int32_t depth_ = 0;
  int32_t deepestCheck_ = 0;
  int stack_ = 0;
  int deepestStack_ = 0;
};

ExpressionDraft Translate(const TokenList& tokens, std::size_t start) {
  ExpressionDraft expression;
  if (!Translator(tokens, start, expression).Translate()) {
    ExpressionDraft refused;
    refused.refused = true;
    TranslateWithStrings(tokens, start, refused);
    if (refused.strings != nullptr && refused.ops.empty()) {
      // A string expression: its operation only holds its string parts.
      Op op;
      op.code = OpCode::Mixed;
      op.strings = refused.strings.get();
      refused.ops.push_back(op);
    }
    return refused;
  }
  return expression;
}

// Puts a translation made under `epoch` in the place of the one kept, in
// the same record (statements hold it), with fresh jump memory.
void Keep(LineCode& code, CompiledExpression& kept, ExpressionDraft draft, uint64_t epoch) {
  kept.DropStrings();
  if (!kept.HasOpRoom(draft.ops.size())) code.GrowOpRoom(kept, draft.ops.size());
  kept.SetOps(draft.ops);
  if (draft.strings != nullptr) kept.TakeStrings(std::move(draft.strings));
  kept.shapeEpoch = epoch;
  kept.end = static_cast<TokenIndex>(draft.end);
  static_assert(kMaxEvaluationDepth <= INT8_MAX);
  assert(draft.depth >= 0 && draft.depth < kMaxEvaluationDepth);
  kept.depth = static_cast<int8_t>(draft.depth);
  kept.shape = draft.shape;
  kept.refused = draft.refused;
  if (JumpMemory* jump = kept.Jump()) *jump = JumpMemory();
  kept.jumpNumber = 0;
}

// Every variable still has the shape its operations were translated for.
bool ShapesHold(const CompiledExpression& expression) {
  for (const Op& op : expression.ops) {
    switch (op.code) {
      case OpCode::Scalar:
      case OpCode::Length:
      case OpCode::Code:
      case OpCode::AddScalar:
      case OpCode::SubtractScalar:
      case OpCode::MultiplyScalar:
      case OpCode::DivideScalar:
      case OpCode::ModuloScalar:
      case OpCode::CompareScalar:
        if (op.variable->extentCount != 0) return false;
        break;
      case OpCode::Element:
        if (op.variable->extentCount != op.count) return false;
        break;
      case OpCode::Mixed:
        if (!StringShapesHold(*op.strings)) return false;
        break;
      default: break;
    }
  }
  return true;
}

double ReadElement(const Variable& variable, const double* indexes, int count) {
  int64_t offset = 0;
  for (int k = 0; k < count; ++k) {
    if (indexes[k] < 0) return 0.0;
    offset = offset * variable.extents[k] + static_cast<int64_t>(indexes[k]);
  }
  const auto at = static_cast<std::size_t>(offset);
  return at < variable.numbers.size() ? variable.numbers[at] : 0.0;
}

// A string scalar's value in place; one without a value reads as empty
// after "Variable not created".
std::string_view StringOf(Interpreter& interp, const Variable& variable) {
  if (variable.text.hasValue) return variable.text.text;
  interp.Report(Error::VariableNotCreated, variable.name);
  return std::string_view();
}

// A token after which a line number may stand (GOTO n, THEN n, ON ...
// GOTO a, b): what follows it gets room to remember the line it names.
bool LeadsToLineNumber(TokenKind kind) {
  switch (kind) {
    case TokenKind::Goto:
    case TokenKind::Gosub:
    case TokenKind::Then:
    case TokenKind::Else:
    case TokenKind::Comma: return true;
    default: return false;
  }
}

}  // namespace

// A subscript rounded and checked against its extent, or -1 after "Bad
// subscript" (the element read is then the scratch cell's 0).
double CheckedIndex(Interpreter& interp, const Variable& variable, int k, double value) {
  int32_t index = 0;
  if (!SubscriptInRange(value, variable.extents[k], index)) {
    interp.Report(Error::BadSubscript, ElementName(variable, k, value));
    return -1.0;
  }
  return index;
}

// MOD: whole operands of 32 bits and a positive divisor take a plain
// remainder; everything else goes the general way.
double Remainder(Interpreter& interp, double a, double b) {
  if (a >= -2147483648.0 && a <= 2147483647.0 && b >= 1.0 && b <= 2147483647.0) {
    const auto wholeA = static_cast<int32_t>(a);
    const auto wholeB = static_cast<int32_t>(b);
    if (wholeA == a && wholeB == b) return wholeA % wholeB;
  }
  return ApplyOperator(interp, TokenKind::Mod, a, b);
}

LineCode& CodeOf(ProgramLine& line) {
  if (line.code == nullptr) line.code = LineCode::Make(line.tokens);
  return *line.code;
}

CompiledExpression* TranslateExpressionAt(Interpreter& interp, const StatementCursor& cursor) {
  ProgramLine* const line = interp.currentLine;
  if (line == nullptr || cursor.list != &line->tokens || cursor.pos >= line->tokens.size() ||
      !interp.translateLines) {
    return nullptr;
  }
  LineCode& code = CodeOf(*line);
  CompiledExpression* expression = code.FindExpression(cursor.pos);
  if (expression == nullptr) {
    ExpressionDraft draft = Translate(line->tokens, cursor.pos);
    const bool jumpTarget = cursor.pos > 0 && LeadsToLineNumber(line->tokens[cursor.pos - 1].kind);
    expression = &code.AddExpression(cursor.pos, draft.ops.size(), jumpTarget);
    Keep(code, *expression, std::move(draft), interp.shapeEpoch);
  }
  if (expression->shapeEpoch != interp.shapeEpoch) {
    if (expression->refused || !ShapesHold(*expression)) {
      Keep(code, *expression, Translate(line->tokens, cursor.pos), interp.shapeEpoch);
    }
    expression->shapeEpoch = interp.shapeEpoch;
  }
  if (expression->refused) return nullptr;
  // Nested this deep already (inside VAL), a nesting check would fail.
  if (!NestsWithinLimit(interp, expression->depth)) return nullptr;
  return expression;
}

namespace {

// The shapes that need no stack; false for the others.
bool RunShaped(Interpreter& interp, const CompiledExpression& expression, double& value) {
  const Op* ops = expression.ops.data();
  switch (expression.shape) {
    case ExpressionShape::ScalarFused2:
      value = ApplyFused(interp, ops[2], ApplyFused(interp, ops[1], ops[0].variable->number));
      return true;
    case ExpressionShape::Element: value = ReadElementOfScalar(interp, ops); return true;
    case ExpressionShape::ElementFused:
      value = ApplyFused(interp, ops[3], ReadElementOfScalar(interp, ops));
      return true;
    default: return false;
  }
}

}  // namespace

// The top of the stack is kept in `top`, out of memory: most operations
// take it and one operand of their own, and never touch the stack.
double RunCompiledOps(Interpreter& interp, const CompiledExpression& expression) {
  double shaped = 0.0;
  if (RunShaped(interp, expression, shaped)) return shaped;
  std::array<double, kMaxCompiledStack + 1> below;  // under the top; [0] is a dummy
  std::size_t depth = 0;                            // values in `below`
  double top = 0.0;
  const auto push = [&](double value) {
    below[depth++] = top;
    top = value;
  };
  const auto pop = [&]() { return below[--depth]; };
  for (const Op& op : expression.ops) {
    switch (op.code) {
      case OpCode::Constant: push(op.number); break;
      case OpCode::Scalar: push(op.variable->number); break;
      case OpCode::Index: top = CheckedIndex(interp, *op.variable, op.count, top); break;
      case OpCode::Element:
        // The subscripts in order: the lower ones, then the top.
        below[depth] = top;
        depth -= op.count - 1u;
        top = ReadElement(*op.variable, &below[depth], op.count);
        break;
      case OpCode::Negate: top = -top; break;
      case OpCode::Complement: top = static_cast<double>(~RoundToInt(top)); break;
      case OpCode::Add: top = pop() + top; break;
      case OpCode::Subtract: top = pop() - top; break;
      case OpCode::Multiply: top = pop() * top; break;
      case OpCode::Divide: top = pop() / top; break;
      case OpCode::Modulo: {
        const double left = pop();
        top = Remainder(interp, left, top);
        break;
      }
      case OpCode::Compare: {
        const double left = pop();
        top = Relation(op.kind, left, top) ? 1.0 : 0.0;
        break;
      }
      case OpCode::Operator: {
        const double left = pop();
        top = ApplyOperator(interp, op.kind, left, top);
        break;
      }
      case OpCode::Function: top = NumericFunction(op.kind, top); break;
      case OpCode::Length: push(static_cast<double>(StringOf(interp, *op.variable).size())); break;
      case OpCode::Code: {
        const std::string_view text = StringOf(interp, *op.variable);
        push(text.empty() ? 0.0 : static_cast<signed char>(text[0]));
        break;
      }
      case OpCode::Mixed: push(RunStringCodeForNumber(interp, *op.strings)); break;
      case OpCode::AddConstant: top += op.number; break;
      case OpCode::SubtractConstant: top -= op.number; break;
      case OpCode::MultiplyConstant: top *= op.number; break;
      case OpCode::DivideConstant: top /= op.number; break;
      case OpCode::ModuloConstant: top = Remainder(interp, top, op.number); break;
      case OpCode::CompareConstant: top = Relation(op.kind, top, op.number) ? 1.0 : 0.0; break;
      case OpCode::AddScalar: top += op.variable->number; break;
      case OpCode::SubtractScalar: top -= op.variable->number; break;
      case OpCode::MultiplyScalar: top *= op.variable->number; break;
      case OpCode::DivideScalar: top /= op.variable->number; break;
      case OpCode::ModuloScalar: top = Remainder(interp, top, op.variable->number); break;
      case OpCode::CompareScalar:
        top = Relation(op.kind, top, op.variable->number) ? 1.0 : 0.0;
        break;
    }
  }
  return top;
}

}  // namespace tenrek
