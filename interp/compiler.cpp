// The compiler. Statements are compiled in the order the run meets them:
// from a start, each statement and then the one after it, until the end
// of the line or a statement already compiled; an IF's other way is
// compiled after. Every statement start is an entry of the line's code.
//
// A statement compiles only when every expression in it does and every
// keyword stands where its handler expects it; otherwise what was emitted
// for it is taken back and one Handler instruction stands in its place.
#include "interp/compiler.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

#include "eval/builtins.h"
#include "eval/evaluator.h"
#include "eval/grammar.h"
#include "eval/variables.h"
#include "interp/cursor.h"
#include "interp/limits.h"

namespace tenrek {
namespace {

// What the run goes on with after a statement: the token where the next
// one is looked for, or none when the statement never falls through.
using Following = std::optional<std::size_t>;

class LineCompiler {
 public:
  LineCompiler(const TokenList& tokens, LineCode& out) : tokens_(tokens), out_(out) {}

  // The statements from `start` on; answers where the first one starts.
  uint32_t Sequence(std::size_t start) {
    const uint32_t first = SequenceOnly(start, false);
    while (!pending_.empty()) {
      const Pending branch = pending_.back();
      pending_.pop_back();
      JumpFrom(branch.jump, BranchTo(branch));
    }
    return first;
  }

  // ---- as a reader of the grammar (eval/grammar.h): an operand read is
  // its type, its instructions emitted; none when it does not compile ----

  using Operand = std::optional<ValueType>;
  const Token* Current() const { return pos_ < tokens_.size() ? &tokens_[pos_] : nullptr; }
  void Skip() { ++pos_; }
  Operand Factor(bool /*wantText*/) {
    if (depth_ >= kMaxCompiledNesting) return std::nullopt;
    ++depth_;
    const Operand read = grammar::Factor(*this, false);
    --depth_;
    return read;
  }
  void EnterNesting() { ++depth_; }
  void LeaveNesting() { --depth_; }
  static bool Stopped(const Operand& operand) { return !operand.has_value(); }
  static bool IsText(const Operand& operand) { return operand == ValueType::Text; }
  static bool TakesPlainText(TokenKind, Operand&) { return false; }
  void Apply(TokenKind op, Operand& left, Operand right) {
    ValueType type = *left;
    if (Operation(op, type, *right)) {
      left = type;
    } else {
      left.reset();
    }
  }
  static Operand Missing(bool /*wantText*/) { return std::nullopt; }
  Operand Name() {
    ValueType type = ValueType::Number;
    if (!VariableRead(type)) return std::nullopt;
    return type;
  }
  Operand Number(const Token& token) {
    out_.code[Emit(Opcode::Number)].number = token.Number();
    return ValueType::Number;
  }
  Operand Literal(const Token& token) {
    EmitLiteral(token.Text().substr(0, kMaxStringLength));
    return ValueType::Text;
  }
  static Operand Numeric(const Operand& operand) {
    return operand == ValueType::Number ? operand : std::nullopt;
  }
  Operand Negated(const Operand& operand) { return Unary(operand, Opcode::Negate); }
  Operand Complemented(const Operand& operand) { return Unary(operand, Opcode::Not); }
  void Close(Operand& inner) {
    if (inner && !Take(TokenKind::RightParen)) inner.reset();
  }
  Operand Function(TokenKind kind, bool /*wantText*/) {
    ValueType type = ValueType::Number;
    if (!BuiltIn(kind, type)) return std::nullopt;
    return type;
  }

  // The expression at `start`, then Result: the token after it, or -1.
  int64_t LoneExpression(std::size_t start, bool& isText) {
    pos_ = start;
    ValueType type = ValueType::Number;
    if (!Binary(kOr, type) || !StacksFit()) return -1;
    isText = type == ValueType::Text;
    Emit(Opcode::Result);
    return static_cast<int64_t>(pos_);
  }

  // The condition of the WHILE just before `start`, asked again: -1 when
  // it does not compile.
  int64_t LoopHead(std::size_t start) {
    if (start == 0 || !KindAt(start - 1, TokenKind::While)) return -1;
    const std::size_t mark = out_.code.size();
    pos_ = start;
    if (!ExpressionOf(ValueType::Number) || !AtStatementEnd(pos_)) {
      out_.code.resize(mark);
      return -1;
    }
    if (!StacksFit()) {
      out_.code.resize(mark);
      return -1;
    }
    const std::size_t again = Emit(Opcode::WhileAgain);
    out_.code[again].at = Token16(pos_);
    out_.entries.push_back({Token16(start), true, static_cast<uint32_t>(mark)});
    pending_.push_back({again, pos_, false, HoldsChecked(mark)});
    Sequence(pos_);
    return static_cast<int64_t>(mark);
  }

 private:
  // A jump whose target is compiled once the current sequence ends: the
  // statements at `pos`, or the line number written there.
  struct Pending {
    std::size_t jump;
    std::size_t pos;
    bool lineNumber;
    bool check = false;  // the statement that jumps holds a checked instruction
  };

  // ---- tokens ----

  bool KindAt(std::size_t pos, TokenKind kind) const {
    return pos < tokens_.size() && tokens_[pos].kind == kind;
  }
  bool Is(TokenKind kind) const { return KindAt(pos_, kind); }
  bool Take(TokenKind kind) {
    if (!Is(kind)) return false;
    ++pos_;
    return true;
  }
  // The line ends, or a ":" or ELSE ends the statement.
  bool AtStatementEnd(std::size_t pos) const {
    return pos >= tokens_.size() || KindAt(pos, TokenKind::Colon) || KindAt(pos, TokenKind::Else);
  }
  std::size_t StatementEndFrom(std::size_t pos) const {
    while (!AtStatementEnd(pos)) ++pos;
    return pos;
  }
  static uint16_t Token16(std::size_t pos) { return static_cast<uint16_t>(pos); }

  // A numeric scalar named at `pos`, with no subscript after it.
  Variable* NumericScalarAt(std::size_t pos) const {
    if (!KindAt(pos, TokenKind::Identifier)) return nullptr;
    Variable* v = tokens_[pos].Var();
    const bool plain = v != nullptr && !v->isString && v->extentCount == 0;
    return plain && !KindAt(pos + 1, TokenKind::LeftParen) ? v : nullptr;
  }

  // ---- emitting ----

  // Appends an instruction, its stack effect counted.
  std::size_t Emit(Opcode op, uint8_t a = 0) {
    Instruction instruction;
    instruction.op = op;
    instruction.a = a;
    out_.Append(instruction);
    const StackEffect effect = EffectOf(op, a);
    numbers_ += effect.numbers;
    texts_ += effect.texts;
    deepestNumbers_ = std::max(deepestNumbers_, numbers_);
    deepestTexts_ = std::max(deepestTexts_, texts_);
    return out_.code.size() - 1;
  }
  Instruction& EmitWith(Opcode op, Variable* variable, uint8_t a = 0) {
    Instruction& made = out_.code[Emit(op, a)];
    made.variable = variable;
    return made;
  }
  bool StacksFit() const {
    return deepestNumbers_ <= kMaxCompiledNumbers && deepestTexts_ <= kMaxCompiledTexts;
  }
  // Whether the code from `from` on holds an instruction that may report
  // or charge the budget.
  bool HoldsChecked(std::size_t from) const {
    return std::any_of(out_.code.begin() + static_cast<std::ptrdiff_t>(from), out_.code.end(),
                       [](const Instruction& i) { return IsChecked(i.op); });
  }

  // The end of the line. The statement before it, when it ends in a
  // store, takes the form that goes straight on into the EndLine. (The
  // code before a sequence ends in a jump, so a store just before is this
  // sequence's own.)
  void EmitEndLine() {
    std::vector<Instruction>& code = out_.code;
    const std::size_t size = code.size();
    if (size >= 1 && code[size - 1].op == Opcode::Store) {
      code[size - 1].op = Opcode::StoreLast;
    } else if (size >= 2 && code[size - 2].op == Opcode::AddToScalar) {
      code[size - 2].op = Opcode::AddToScalarLast;
    } else if (size >= 2 && code[size - 2].op == Opcode::SetScalar) {
      code[size - 2].op = Opcode::SetScalarLast;
    } else if (size >= 3 && code[size - 3].op == Opcode::StoreElementOfScalar) {
      code[size - 3].op = Opcode::StoreElementOfScalarLast;
    }
    Emit(Opcode::EndLine);
  }

  // The two Target slots after a NEXT, RETURN or WEND.
  void EmitTargetSlots() {
    Emit(Opcode::Target);
    Emit(Opcode::Target);
  }

  // ---- statements ----

  // The statements from `start` on, the first with a Statement check when
  // `check` says that what comes before it may have reported.
  uint32_t SequenceOnly(std::size_t start, bool check) {
    check = check || out_.checkEvery;
    std::size_t pos = NextStatementStart(tokens_, start);
    const int64_t known = out_.EntryAt(pos);
    if (known >= 0 && !check) return static_cast<uint32_t>(known);
    const auto first = static_cast<uint32_t>(out_.code.size());
    for (;;) {
      const int64_t existing = out_.EntryAt(pos);
      if (existing >= 0) {
        if (check && pos < tokens_.size()) EmitCheck(pos);  // EndLine checks for itself
        JumpFrom(Emit(Opcode::Jump), static_cast<uint32_t>(existing));
        return first;
      }
      if (pos >= tokens_.size()) {
        out_.entries.push_back({Token16(pos), false, static_cast<uint32_t>(out_.code.size())});
        EmitEndLine();
        return first;
      }
      const Following next = Statement(pos, check);
      if (!next) return first;
      check = checked_ || out_.checkEvery;
      pos = NextStatementStart(tokens_, *next);
    }
  }

  // Points the jump at instruction `jump` to instruction `to`.
  void JumpFrom(std::size_t jump, uint32_t to) {
    out_.code[jump].b =
        static_cast<uint32_t>(static_cast<int64_t>(to) - static_cast<int64_t>(jump));
  }

  void EmitCheck(std::size_t at) { out_.code[Emit(Opcode::Statement)].at = Token16(at); }

  // Where an IF's way goes: its statements, or the line number there
  // (known to compile).
  uint32_t BranchTo(const Pending& branch) {
    if (!branch.lineNumber) return SequenceOnly(branch.pos, branch.check);
    const auto start = static_cast<uint32_t>(out_.code.size());
    LineJump(branch.pos, Opcode::Goto, 0);
    return start;
  }

  // One statement at `at`, an entry of the line, with a Statement check
  // first when `check`; `checked_` then says whether it holds a checked
  // instruction itself.
  Following Statement(std::size_t at, bool check) {
    const std::size_t entry = out_.code.size();
    out_.entries.push_back({Token16(at), false, static_cast<uint32_t>(entry)});
    if (check) EmitCheck(at);
    const std::size_t mark = out_.code.size();
    const std::size_t pendingMark = pending_.size();
    numbers_ = texts_ = deepestNumbers_ = deepestTexts_ = 0;
    depth_ = 0;
    noCompiledForm_ = false;
    std::optional<Following> compiled = Compiled(at);
    if (!compiled || !StacksFit()) {
      out_.code.resize(mark);
      pending_.resize(pendingMark);
      const HandlerReason reason =
          noCompiledForm_ ? HandlerReason::NoCompiledForm : HandlerReason::NotExact;
      out_.code[Emit(Opcode::Handler, static_cast<uint8_t>(reason))].at = Token16(at);
      compiled = HandlerFollowing(at);
    }
    checked_ = HoldsChecked(mark);
    for (std::size_t k = pendingMark; k < pending_.size(); ++k) pending_[k].check = checked_;
    return *compiled;
  }

  // Where a statement run by its handler is expected to end: at the next
  // ":" or ELSE (an IF, whose THEN goes on at its branch, is looked up
  // where it went).
  Following HandlerFollowing(std::size_t at) const {
    if (KindAt(at, TokenKind::If)) return std::nullopt;
    return StatementEndFrom(at + 1);
  }

  // The compiled form of the statement at `at`, or none.
  std::optional<Following> Compiled(std::size_t at) {
    switch (tokens_[at].kind) {
      case TokenKind::Identifier: return Assignment(at);
      case TokenKind::Let: return Assignment(at + 1);
      case TokenKind::If: return If(at + 1);
      case TokenKind::Goto: return LineJump(at + 1, Opcode::Goto, 0);
      case TokenKind::Gosub: return Gosub(at + 1);
      case TokenKind::Return: {
        out_.code[Emit(Opcode::Return)].at = Token16(at);
        EmitTargetSlots();
        return Following();
      }
      case TokenKind::Next: return Next(at + 1);
      case TokenKind::For: return For(at + 1);
      case TokenKind::While: return While(at + 1);
      case TokenKind::Wend: return Wend(at + 1);
      case TokenKind::Else: EmitEndLine(); return Following();
      case TokenKind::Rem:
      case TokenKind::Fmem:
      case TokenKind::Larray:
      case TokenKind::Sarray:
        if (AtStatementEnd(at + 1)) return Following(at + 1);
        return std::nullopt;
      default: noCompiledForm_ = true; return std::nullopt;
    }
  }

  // [LET] name = value | name(i, ...) = value
  std::optional<Following> Assignment(std::size_t at) {
    if (!KindAt(at, TokenKind::Identifier)) return std::nullopt;
    Variable* v = tokens_[at].Var();
    if (v == nullptr) return std::nullopt;
    if (KindAt(at + 1, TokenKind::Equal) && v->extentCount == 0) {
      pos_ = at + 2;
      if (v->isString) return TextAssignment(v);
      const std::size_t first = out_.code.size();
      if (!ExpressionOf(ValueType::Number) || !AtStatementEnd(pos_)) return std::nullopt;
      if (!AddsToItself(first, v) && !SetsPlainValue(first, v)) EmitWith(Opcode::Store, v);
      return Following(pos_);
    }
    if (v->isString || !KindAt(at + 1, TokenKind::LeftParen) || v->extentCount == 0) {
      return std::nullopt;
    }
    pos_ = at + 1;
    const std::size_t first = out_.code.size();
    if (!Subscripts(v) || !Take(TokenKind::Equal)) return std::nullopt;
    if (!ExpressionOf(ValueType::Number) || !AtStatementEnd(pos_)) return std::nullopt;
    if (v->extentCount == 1) {
      if (!StoresPlainValue(first, v)) EmitWith(Opcode::StoreElementAt, v);
    } else {
      EmitWith(Opcode::StoreElement, v, v->extentCount);
    }
    return Following(pos_);
  }

  // ---- specialised forms: the few shapes most statements take, each one
  // instruction where the general form takes three or four ----

  // name = name + number, its code from `first` on: AddToScalar.
  bool AddsToItself(std::size_t first, Variable* v) {
    std::vector<Instruction>& code = out_.code;
    if (code.size() != first + 2 || code[first].op != Opcode::AddScalarAndNumber ||
        code[first].variable != v) {
      return false;
    }
    code[first].op = Opcode::AddToScalar;
    numbers_ = 0;
    return true;
  }

  // A Number or Scalar push as the slot that gives its value to the
  // instruction before it.
  static Instruction AsOperandSlot(Instruction push) {
    push.op = push.op == Opcode::Number ? Opcode::OperandNumber : Opcode::OperandScalar;
    return push;
  }

  // name = number or scalar, its code from `first` on: SetScalar.
  bool SetsPlainValue(std::size_t first, Variable* v) {
    std::vector<Instruction>& code = out_.code;
    if (code.size() != first + 1 ||
        (code[first].op != Opcode::Number && code[first].op != Opcode::Scalar)) {
      return false;
    }
    const Instruction value = AsOperandSlot(code[first]);
    code[first] = Instruction();
    code[first].op = Opcode::SetScalar;
    code[first].variable = v;
    out_.Append(value);
    numbers_ = 0;
    return true;
  }

  // array(scalar) = number or scalar, its code from `first` on: the
  // subscript is checked before the value is read, which reports nothing,
  // as before. StoreElementOfScalar.
  bool StoresPlainValue(std::size_t first, Variable* array) {
    std::vector<Instruction>& code = out_.code;
    if (code.size() != first + 3 || code[first].op != Opcode::Scalar ||
        code[first + 1].op != Opcode::Subscript ||
        (code[first + 2].op != Opcode::Number && code[first + 2].op != Opcode::Scalar)) {
      return false;
    }
    Variable* const index = code[first].variable;
    const Instruction value = AsOperandSlot(code[first + 2]);
    code[first] = Instruction();
    code[first].op = Opcode::StoreElementOfScalar;
    code[first].variable = array;
    code[first + 1] = Instruction();
    code[first + 1].op = Opcode::OperandScalar;
    code[first + 1].variable = index;
    code[first + 2] = value;
    numbers_ = 0;
    return true;
  }

  // name$ = text. When the value starts with the target's own text and
  // reads it nowhere else, that text is built on where it lies.
  std::optional<Following> TextAssignment(Variable* target) {
    const std::size_t first = out_.code.size();
    if (!ExpressionOf(ValueType::Text) || !AtStatementEnd(pos_)) return std::nullopt;
    if (out_.code[first].op == Opcode::Text && out_.code[first].variable == target &&
        !ReadsAfter(first + 1, target)) {
      out_.code[first].op = Opcode::TakeText;
    }
    EmitWith(Opcode::StoreText, target);
    return Following(pos_);
  }

  bool ReadsAfter(std::size_t from, const Variable* v) const {
    return std::any_of(out_.code.begin() + static_cast<std::ptrdiff_t>(from), out_.code.end(),
                       [v](const Instruction& i) {
                         return OpcodePayload(i.op) == Payload::Variable && i.variable == v;
                       });
  }

  // "(" subscripts ")" of a dimensioned numeric array, each checked as
  // soon as it is read.
  bool Subscripts(Variable* v) {
    const int dimensions = v->extentCount;
    for (int k = 0; k < dimensions; ++k) {
      if (k > 0 && !Is(TokenKind::Comma)) return false;
      ++pos_;  // the "(" or ","
      if (!ExpressionOf(ValueType::Number)) return false;
      EmitWith(Opcode::Subscript, v, static_cast<uint8_t>(k));
    }
    return Take(TokenKind::RightParen);
  }

  // IF condition THEN (statement | line) [ELSE (statement | line)]
  std::optional<Following> If(std::size_t at) {
    pos_ = at;
    if (!ExpressionOf(ValueType::Number) || !Take(TokenKind::Then)) return std::nullopt;
    const std::size_t thenAt = pos_;
    const std::size_t elseAt = AfterFalseBranch(tokens_, thenAt);
    if (KindAt(elseAt, TokenKind::Number) && !LineNumberCompiles(elseAt)) return std::nullopt;
    const std::size_t unless = JumpUnlessCondition();
    pending_.push_back({unless, elseAt, KindAt(elseAt, TokenKind::Number)});
    if (KindAt(thenAt, TokenKind::Number)) return LineJump(thenAt, Opcode::Goto, 0);
    return Following(thenAt);
  }

  // The jump past an IF's true way: fused with the condition's last
  // relation when it reads a number or a scalar in.
  std::size_t JumpUnlessCondition() {
    std::vector<Instruction>& code = out_.code;
    std::size_t at = code.size() - 1;
    switch (code[at].op) {
      case Opcode::CompareNumber: code[at].op = Opcode::JumpUnlessNumber; break;
      case Opcode::CompareScalar: code[at].op = Opcode::JumpUnlessScalar; break;
      case Opcode::OperandNumber:
        if (code[--at].op != Opcode::CompareScalarAndNumber) return Emit(Opcode::JumpUnless);
        code[at].op = Opcode::JumpUnlessScalarAndNumber;
        break;
      default: return Emit(Opcode::JumpUnless);
    }
    --numbers_;
    return at;
  }

  bool LineNumberCompiles(std::size_t at) {
    LineCode scratch;
    LineCompiler trial(tokens_, scratch);
    trial.pos_ = at;
    return trial.ExpressionOf(ValueType::Number) && trial.StacksFit();
  }

  // A jump to the line number written at `at`: `fixed` with a number
  // written alone (the line found is kept), its computed form otherwise.
  std::optional<Following> LineJump(std::size_t at, Opcode fixed, uint16_t resume) {
    pos_ = at;
    const std::size_t first = out_.code.size();
    if (!ExpressionOf(ValueType::Number)) return std::nullopt;
    if (out_.code.size() == first + 1 && out_.code[first].op == Opcode::Number) {
      const int32_t number = RoundToInt(out_.code[first].number);
      out_.code[first] = Instruction();
      out_.code[first].op = fixed;
      out_.code[first].b = static_cast<uint32_t>(number);
      out_.code[first].target = nullptr;
      out_.code[first].at = resume;
      Emit(Opcode::Target);
      return Following();
    }
    const Opcode computed = fixed == Opcode::Goto ? Opcode::GotoComputed : Opcode::GosubComputed;
    out_.code[Emit(computed)].at = resume;
    return Following();
  }

  // GOSUB line: its frame resumes after the keyword; the statement after
  // it is where RETURN comes back to.
  std::optional<Following> Gosub(std::size_t at) {
    if (!LineJump(at, Opcode::Gosub, Token16(at))) return std::nullopt;
    return Following(StatementEndFrom(at));
  }

  // NEXT name
  std::optional<Following> Next(std::size_t at) {
    Variable* v = NumericScalarAt(at);
    if (v == nullptr || !AtStatementEnd(at + 1)) return std::nullopt;
    EmitWith(Opcode::Next, v).at = Token16(at - 1);
    EmitTargetSlots();
    return Following(at + 1);
  }

  // FOR name = start TO limit [STEP step]
  std::optional<Following> For(std::size_t at) {
    Variable* v = NumericScalarAt(at);
    if (v == nullptr || !KindAt(at + 1, TokenKind::Equal)) return std::nullopt;
    pos_ = at + 2;
    if (!ExpressionOf(ValueType::Number) || !Take(TokenKind::To)) return std::nullopt;
    EmitWith(Opcode::Store, v);
    if (!ExpressionOf(ValueType::Number)) return std::nullopt;
    const bool stepped = Take(TokenKind::Step);
    if (stepped && !ExpressionOf(ValueType::Number)) return std::nullopt;
    if (!AtStatementEnd(pos_)) return std::nullopt;
    EmitWith(Opcode::For, v, stepped ? 1 : 0).at = Token16(pos_);
    return Following(pos_);
  }

  // WHILE condition
  std::optional<Following> While(std::size_t at) {
    out_.code[Emit(Opcode::While)].at = Token16(at);
    pos_ = at;
    if (!ExpressionOf(ValueType::Number) || !AtStatementEnd(pos_)) return std::nullopt;
    out_.code[Emit(Opcode::WhileEnter)].at = Token16(pos_);
    return Following(pos_);
  }

  // WEND, without an exit condition.
  std::optional<Following> Wend(std::size_t at) {
    if (!AtStatementEnd(at)) return std::nullopt;
    out_.code[Emit(Opcode::Wend)].at = Token16(at - 1);
    EmitTargetSlots();
    return Following(at);
  }

  // ---- expressions: the evaluator's descent, typed ----

  bool ExpressionOf(ValueType want) {
    ValueType type = want;
    return Binary(kOr, type) && type == want;
  }
  bool FactorOf(ValueType want) { return Factor(false) == want; }

  // A factor, then operators of level `lowest` and above, by the grammar.
  bool Binary(int lowest, ValueType& type) {
    const Operand read = grammar::Binary(*this, lowest, false);
    if (!read) return false;
    type = *read;
    return true;
  }

  bool Operation(TokenKind op, ValueType& left, ValueType right) {
    const OperatorInfo& info = OperatorOf(op);
    if (left == ValueType::Number && right == ValueType::Number) return Arithmetic(op, info);
    if (left != ValueType::Text || right != ValueType::Text || !info.takesText) return false;
    if (op == TokenKind::Plus) {
      Emit(Opcode::Join);
      return true;
    }
    left = ValueType::Number;
    Emit(Opcode::CompareText, info.orders);
    return true;
  }

  // An operation on two numbers; one whose right operand is a number or a
  // scalar standing alone reads it in, and one whose left operand is a
  // scalar standing alone too reads both. (An operand whose code ends in
  // a Scalar is that scalar alone: any longer code ends in an operation.)
  bool Arithmetic(TokenKind op, const OperatorInfo& info) {
    const uint8_t a = info.orders != kUnordered ? info.orders : static_cast<uint8_t>(op);
    std::vector<Instruction>& code = out_.code;
    Instruction& right = code.back();
    const bool number = right.op == Opcode::Number && info.withNumber != Opcode::Binary;
    const bool scalar = right.op == Opcode::Scalar && info.withScalar != Opcode::Binary;
    if (!number && !scalar) {
      Emit(info.onNumbers, a);
      return true;
    }
    --numbers_;
    right.a = a;
    Instruction& left = code[code.size() - 2];
    const Opcode both = scalar ? info.ofScalars : info.ofScalarAndNumber;
    if (both != Opcode::Binary && left.op == Opcode::Scalar) {
      left.op = both;
      left.a = a;
      right.op = scalar ? Opcode::OperandScalar : Opcode::OperandNumber;
      return true;
    }
    if (scalar && info.commutes && left.op == Opcode::Number) {
      // number op scalar, read as scalar op number: the same value exactly.
      const double number = left.number;
      left.op = info.ofScalarAndNumber;
      left.a = a;
      left.variable = right.variable;
      right.op = Opcode::OperandNumber;
      right.number = number;
      return true;
    }
    right.op = number ? info.withNumber : info.withScalar;
    // MOD by a number that does not round to 0 never reports.
    if (right.op == Opcode::ModuloNumber && !(right.number >= -0.5 && right.number < 0.5)) {
      right.op = Opcode::RemainderNumber;
    }
    return true;
  }

  // "-" or NOT before a number factor.
  Operand Unary(const Operand& operand, Opcode op) {
    if (operand != ValueType::Number) return std::nullopt;
    Emit(op);
    return operand;
  }

  void EmitLiteral(std::string_view text) {
    Instruction& literal = out_.code[Emit(Opcode::Literal)];
    literal.text = text.data();
    literal.b = static_cast<uint32_t>(text.size());
  }

  // A built-in function, as its row in the table says.
  bool BuiltIn(TokenKind kind, ValueType& type) {
    const FunctionInfo& info = FunctionOf(kind);
    if (!info.isFunction || info.instruction == Opcode::Handler) return false;
    type = info.result;
    if (info.instruction == Opcode::Literal) {  // CRLF$
      EmitLiteral("\r\n");
      return true;
    }
    if (info.form == ArgumentForm::List) return ListFunction(info);
    if (!FactorOf(info.arguments[0])) return false;
    Emit(info.instruction, static_cast<uint8_t>(kind));
    return true;
  }

  // "(" full expressions "," ... ")": MID$, LEFT$, RIGHT$. The arguments
  // past the fewest are optional.
  bool ListFunction(const FunctionInfo& info) {
    if (!Take(TokenKind::LeftParen)) return false;
    int count = 0;
    for (;;) {
      if (!ExpressionOf(info.arguments[static_cast<std::size_t>(count)])) return false;
      ++count;
      if (count == info.most) break;
      if (!Take(TokenKind::Comma)) {
        if (count < info.fewest) return false;
        break;
      }
    }
    if (!Take(TokenKind::RightParen)) return false;
    Emit(info.instruction, static_cast<uint8_t>(count));
    return true;
  }

  // A scalar, or an element of a dimensioned numeric array in its present
  // shape; anything else (a name followed by "(" that is not yet
  // dimensioned, a string array) is left to the evaluator.
  bool VariableRead(ValueType& type) {
    Variable* v = tokens_[pos_].Var();
    ++pos_;
    if (v == nullptr) return false;
    type = v->isString ? ValueType::Text : ValueType::Number;
    if (!Is(TokenKind::LeftParen)) {
      if (v->extentCount != 0) return false;
      if (v->isString) {
        EmitWith(Opcode::Text, v);
      } else {
        EmitWith(Opcode::Scalar, v);
      }
      return true;
    }
    if (v->isString || v->extentCount == 0) return false;
    if (v->extentCount == 1) {
      ++pos_;  // the "("
      const std::size_t first = out_.code.size();
      if (!ExpressionOf(ValueType::Number) || !Take(TokenKind::RightParen)) return false;
      if (out_.code.size() == first + 1 && out_.code[first].op == Opcode::Scalar) {
        // array(scalar): ElementOfScalar, the subscript in the next slot.
        Variable* const index = out_.code[first].variable;
        out_.code[first].variable = v;
        out_.code[first].op = Opcode::ElementOfScalar;
        EmitWith(Opcode::OperandScalar, index);
        return true;
      }
      EmitWith(Opcode::ElementAt, v);
      return true;
    }
    if (!Subscripts(v)) return false;
    EmitWith(Opcode::Element, v, v->extentCount);
    return true;
  }

  const TokenList& tokens_;
  LineCode& out_;
  std::vector<Pending> pending_;
  std::size_t pos_ = 0;
  int depth_ = 0;
  int numbers_ = 0;
  int texts_ = 0;
  int deepestNumbers_ = 0;
  int deepestTexts_ = 0;
  bool checked_ = false;
  bool noCompiledForm_ = false;  // the statement just read has a keyword with no compiled form
};

}  // namespace

std::size_t NextStatementStart(const TokenList& tokens, std::size_t pos) {
  while (pos < tokens.size() && tokens[pos].kind == TokenKind::Colon) ++pos;
  return std::min(pos, tokens.size());
}

int64_t CompileExpression(const TokenList& tokens, LineCode& code, std::size_t start,
                          bool& isText) {
  return LineCompiler(tokens, code).LoneExpression(start, isText);
}

uint32_t CompileFrom(const TokenList& tokens, LineCode& code, std::size_t start, bool loopHead) {
  LineCompiler compiler(tokens, code);
  if (!loopHead) return compiler.Sequence(start);
  const int64_t head = compiler.LoopHead(start);
  return head < 0 ? UINT32_MAX : static_cast<uint32_t>(head);
}

}  // namespace tenrek
