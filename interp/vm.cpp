// The run loop. A Machine runs from one statement to the next while they
// are compiled; each instruction does what the handler and the evaluator
// do for its part of the text, the same reports in the same order.
//
// The code a machine runs is always that of the current stamp: code is
// looked up through CodeOf when a line is entered, kept targets were made
// under the same stamp as the code that keeps them, and the stamp changes
// only inside a handler, after which the machine looks again.
#include "interp/vm.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "eval/builtins.h"
#include "eval/evaluator.h"
#include "eval/functions.h"
#include "eval/number_format.h"
#include "eval/variables.h"
#include "interp/compiler.h"
#include "interp/executor.h"
#include "interp/interpreter.h"
#include "interp/limits.h"
#include "interp/loop_frames.h"
#include "interp/memory_budget.h"
#include "interp/statements.h"

namespace tenrek {
namespace {

// ---- texts ----

// Every character as a text of its own, for CHR$.
constexpr std::array<char, 256> kCharacters = [] {
  std::array<char, 256> all{};
  for (int c = 0; c < 256; ++c) all[static_cast<std::size_t>(c)] = static_cast<char>(c);
  return all;
}();

// A text on the stack: a view, left unset until pushed.
struct TextSlot {
  const char* data;
  std::size_t size;

  TextSlot() = default;
  TextSlot(std::string_view view) : data(view.data()), size(view.size()) {}  // NOLINT
  operator std::string_view() const { return {data, size}; }                 // NOLINT
};

bool Within(std::string_view view, const std::string& buffer) {
  const std::less_equal<const char*> notAfter;
  return view.data() != nullptr && notAfter(buffer.data(), view.data()) &&
         notAfter(view.data() + view.size(), buffer.data() + buffer.size());
}

// Makes `buffer` hold exactly the text `view` shows (which may lie inside
// it).
void Own(std::string& buffer, std::string_view view) {
  if (view.data() == buffer.data() && view.size() == buffer.size()) return;
  if (Within(view, buffer)) {
    const auto from = static_cast<std::size_t>(view.data() - buffer.data());
    buffer.resize(from + view.size());
    buffer.erase(0, from);
  } else {
    buffer.assign(view);
  }
}

// The join of `head`, held by `buffer` or not, and `tail`, in `buffer`.
std::string_view Join(std::string& buffer, std::string_view head, std::string_view tail) {
  Own(buffer, head);
  AppendLimited(buffer, tail);
  return buffer;
}

std::string_view Transformed(std::string& buffer, std::string_view text, TokenKind kind) {
  Own(buffer, text);
  TransformText(kind, buffer);
  return buffer;
}

double TextRelation(uint8_t orders, std::string_view a, std::string_view b) {
  return Holds(orders, OrderOf(a.compare(b))) ? 1.0 : 0.0;
}

// ---- numbers ----

// A subscript checked against dimension `k` of `variable`: its index, or
// -1 after "Bad subscript" (the element read is then 0).
double CheckedIndex(Interpreter& interp, const Variable& variable, int k, double value) {
  int32_t index = 0;
  if (!SubscriptInRange(value, variable.extents[static_cast<std::size_t>(k)], index)) {
    interp.Report(Error::BadSubscript, ElementName(variable, k, value));
    return -1.0;
  }
  return index;
}

// The cell of the checked subscripts `indexes`, or -1 when one was bad.
inline int64_t CellOf(const Variable& variable, const double* indexes, int count) {
  if (count == 1) {
    const double index = indexes[0];
    return index >= 0 && index < static_cast<double>(variable.numbers.size())
               ? static_cast<int64_t>(index)
               : -1;
  }
  int64_t offset = 0;
  for (int k = 0; k < count; ++k) {
    if (indexes[k] < 0) return -1;
    offset =
        offset * variable.extents[static_cast<std::size_t>(k)] + static_cast<int64_t>(indexes[k]);
  }
  return static_cast<std::size_t>(offset) < variable.numbers.size() ? offset : -1;
}

// ---- the machine ----

// The value an OperandNumber or OperandScalar slot gives.
inline double OperandValue(const Instruction& slot) {
  return slot.op == Opcode::OperandNumber ? slot.number : slot.variable->number;
}

// Where a jump goes: its distance is counted from the jump, so that code in
// a buffer its line outgrew jumps within that buffer.
inline Instruction* JumpTarget(Instruction* jump) { return jump + static_cast<int32_t>(jump->b); }

class Machine {
 public:
  Machine(Interpreter& interp, StatementCursor& cursor, std::string& messageBuffer)
      : interp_(interp),
        cursor_(cursor),
        messageBuffer_(messageBuffer),
        // Under a statement limit every Statement check leaves, so that
        // the general loop counts each statement.
        attention_(interp.StatementLimited() ? ~interp.Attention() : interp.Attention()) {}

  // From the statement at the cursor: false when the run ends.
  bool RunStatements() {
    Instruction* ip = EnterAt(interp_.CurrentLine(), cursor_.pos);
    return Run(ip) == Exit::General;
  }

  // The compiled expression `code`: its value.
  Value RunExpression(LineCode& code, bool isText) {
    Run(code.code.data());
    if (isText) return Value::Text(std::string(resultText_));
    return Value::Number(resultNumber_);
  }

 private:
  enum class Exit { RunOver, General, Result };

  Exit Run(Instruction* ip);

  // ---- where the run goes ----

  // The code of `line` from its statement at token `pos` (a statement
  // start, or the line's end).
  Instruction* EnterAt(ProgramLine* line, std::size_t pos) {
    line_ = line;
    LineCode& code = CodeOf(interp_, *line);
    int64_t pc = code.EntryAt(pos);
    if (pc < 0) pc = CompileFrom(line->tokens, code, pos);
    Instruction* const entry = code.code.data() + pc;
    // The statement is begun already: its check is passed.
    return entry->op == Opcode::Statement ? entry + 1 : entry;
  }
  // The kept target `to`, an instruction of the current code of `line`.
  [[gnu::always_inline]] Instruction* Enter(Instruction* to, ProgramLine* line) {
    interp_.EnterLine(line);
    line_ = line;
    return to;
  }
  // Leaves for the general loop at the statement at token `at`.
  Instruction* Leave(std::size_t at) {
    cursor_.Point(&line_->tokens, at);
    cursor_.jumped = false;
    cursor_.resumeAtCursor = false;
    exit_ = Exit::General;
    return nullptr;
  }
  Instruction* Over() {
    exit_ = Exit::RunOver;
    return nullptr;
  }

  // The general way on after a statement that left the cursor where its
  // handler would have: the end-of-statement check (with `checkEnd`), the
  // run's checks, the next statement found; compiled again from there.
  [[gnu::noinline]] Instruction* GoOnGenerally(bool checkEnd) {
    if (checkEnd) CheckStatementEnd(interp_, cursor_);
    if (!RunGoesOn(interp_) || !FindNextStatement(interp_, cursor_)) return Over();
    return ContinueAtCursor();
  }
  // Compiled code at the cursor, a statement found, when nothing calls
  // for the general loop's checks first.
  Instruction* ContinueAtCursor() {
    ProgramLine* const line = interp_.CurrentLine();
    if (interp_.Attention() != attention_ || interp_.budget.Exhausted() || line == nullptr ||
        cursor_.list != &line->tokens) {
      exit_ = Exit::General;
      return nullptr;
    }
    interp_.state = RunState::Running;
    return EnterAt(line, cursor_.pos);
  }
  // The statement at token `at` of this line through its handler.
  [[gnu::noinline]] Instruction* Handler(std::size_t at) {
    cursor_.Point(&line_->tokens, at);
    cursor_.jumped = false;
    cursor_.resumeAtCursor = false;
    interp_.state = RunState::Running;
    if (!RunHandledStatement(interp_, cursor_, messageBuffer_)) return Over();
    return ContinueAtCursor();
  }

  // GOTO and GOSUB: line `number`, kept in the instruction once found.
  [[gnu::always_inline]] Instruction* JumpToNumber(Instruction& jump, int32_t number) {
    // Only a line written as a number is kept: a computed one may change.
    const bool kept = jump.op == Opcode::Goto || jump.op == Opcode::Gosub;
    if (kept && jump.target != nullptr && interp_.Attention() == attention_) [[likely]] {
      return Enter(jump.target, (&jump)[1].line);
    }
    ProgramLine* const line = interp_.FindLine(number);
    if (line == nullptr || interp_.Attention() != attention_) {
      // No such line, or the statement reported or charged the budget: the
      // general way on.
      cursor_.Point(&line_->tokens, line_->tokens.size());
      JumpTo(interp_, cursor_, line);
      return GoOnGenerally(true);
    }
    Instruction* const start = CodeOf(interp_, *line).code.data();
    if (kept) {
      jump.target = start;
      (&jump)[1].line = line;
      ++interp_.targetsFound;
    }
    return Enter(start, line);
  }
  Instruction* Gosub(Instruction& jump, int32_t number) {
    PushFrameHere(FrameKind::Gosub, jump.at);
    return JumpToNumber(jump, number);
  }
  // Pushes a frame that resumes at token `resume` of this line, counted
  // against the budget; its FOR fields are the caller's to fill.
  ControlFrame& PushFrameHere(FrameKind kind, std::size_t resume) {
    ControlFrame frame;
    frame.kind = kind;
    frame.line = line_;
    frame.list = &line_->tokens;
    frame.resume = resume;
    interp_.PushFrame(frame);
    interp_.CheckControlStackBudget();
    WatchBudget();
    return interp_.controlStack.back();
  }

  // How a kept target is found from its frame's place: the next statement
  // from there (NEXT), from the end of the statement there (RETURN), or
  // the WHILE condition there (WEND).
  enum class Way : uint8_t { AtStatement, PastStatement, LoopHead };

  // Where the run goes on from token `pos` of `from`, the way `way`, kept
  // in the two Target slots after instruction `owner` of this line; null,
  // with nothing done, when compiled code cannot take it there (a frame of
  // a command line, a removed line, the end of the program). A kept
  // target is current: it was found under the stamp of the code that
  // keeps it, which is the current one while that code runs.
  [[gnu::always_inline]] Instruction* Arrive(Instruction* owner, ProgramLine* from, std::size_t pos,
                                             Way way) {
    if (owner[1].target == nullptr || owner[2].line != from || owner[2].b != pos) [[unlikely]] {
      if (!Find(owner, from, pos, way)) return nullptr;
    }
    return Enter(owner[1].target, owner[1].b != 0 ? from->next : from);
  }
  // Finds and keeps the target; false when there is none to keep.
  [[gnu::noinline]] bool Find(Instruction* owner, ProgramLine* from, std::size_t pos, Way way) {
    ++interp_.targetsFound;
    if (from == nullptr || from->removed) return false;
    const TokenList& tokens = from->tokens;
    std::size_t start = pos;
    if (way == Way::PastStatement) {
      while (start < tokens.size() && tokens[start].kind != TokenKind::Colon &&
             tokens[start].kind != TokenKind::Else) {
        ++start;
      }
    }
    // A frame left by a statement with something after it (FOR I=1 TO 2 X)
    // resumes where the end-of-statement check reports: the general way.
    const bool atEnd = start >= tokens.size() || tokens[start].kind == TokenKind::Colon ||
                       tokens[start].kind == TokenKind::Else;
    if (way != Way::LoopHead && !atEnd) return false;
    ProgramLine* line = from;
    if (way != Way::LoopHead) {
      start = NextStatementStart(tokens, start);
      if (start >= tokens.size()) {
        line = from->next;
        start = 0;
        if (line == nullptr) return false;
      }
    }
    const bool loopHead = way == Way::LoopHead;
    LineCode& code = CodeOf(interp_, *line);
    int64_t pc = code.EntryAt(start, loopHead);
    if (pc < 0) pc = CompileFrom(line->tokens, code, start, loopHead);
    if (pc == UINT32_MAX) return false;
    // Compiling may have moved this line's code on to a larger buffer;
    // `owner` stays where it was, in the buffer kept.
    owner[1].target = code.code.data() + pc;
    owner[1].b = line != from ? 1 : 0;
    owner[2].line = from;
    owner[2].b = static_cast<uint32_t>(pos);
    return true;
  }

  // ---- statements ----

  Instruction* Return(Instruction& ret) {
    auto& stack = interp_.controlStack;
    if (stack.empty() || stack.back().kind != FrameKind::Gosub) return Handler(ret.at);
    const ControlFrame& frame = stack.back();
    const std::size_t at = ret.at;
    Instruction* back = Arrive(&ret, frame.line, frame.resume, Way::PastStatement);
    if (back == nullptr) return Handler(at);
    stack.pop_back();
    return back;
  }

  [[gnu::always_inline]] Instruction* Next(Instruction& next, Instruction* following) {
    auto& stack = interp_.controlStack;
    Variable* const named = next.variable;
    if (stack.empty() || stack.back().kind != FrameKind::For || stack.back().variable != named ||
        stack.back().cellIndex != CellRef::kScalar) [[unlikely]] {
      return Handler(next.at);
    }
    ControlFrame& frame = stack.back();
    const double value = named->number + frame.step;
    named->number = value;
    if (!LoopContinues(value, frame.limit, frame.step)) [[unlikely]] {
      stack.pop_back();
      return following + 2;
    }
    if (Instruction* loop = Arrive(&next, frame.line, frame.resume, Way::AtStatement)) [[likely]] {
      return loop;
    }
    return LoopGenerally(frame);
  }
  // The loop goes on where compiled code cannot take it: the general way.
  [[gnu::noinline]] Instruction* LoopGenerally(const ControlFrame& frame) {
    ResumeAt(interp_, cursor_, frame);
    return GoOnGenerally(true);
  }

  Instruction* For(const Instruction& loop, double limit, double step, Instruction* following) {
    Variable* const control = loop.variable;
    if (!LoopContinues(control->number, limit, step)) [[unlikely]] {
      cursor_.Point(&line_->tokens, loop.at);
      SkipUnenteredForBody(interp_, cursor_, control);
      return GoOnGenerally(true);
    }
    ControlFrame& frame = PushFrameHere(FrameKind::For, loop.at);
    frame.variable = control;
    frame.cellIndex = CellRef::kScalar;
    frame.limit = limit;
    frame.step = step;
    return following;
  }

  Instruction* Wend(Instruction& wend, Instruction* following) {
    auto& stack = interp_.controlStack;
    if (stack.empty() || stack.back().kind != FrameKind::While) return Handler(wend.at);
    const ControlFrame& frame = stack.back();
    wendLine_ = line_;
    wendResume_ = following + 2;
    wendAt_ = wend.at;
    Instruction* head = Arrive(&wend, frame.line, frame.resume, Way::LoopHead);
    return head != nullptr ? head : Handler(wendAt_);
  }
  // Back after the WEND whose loop ended.
  Instruction* AfterWend() {
    interp_.controlStack.pop_back();
    Instruction* const after = Enter(wendResume_, wendLine_);
    if (interp_.Attention() != attention_) {
      // The condition reported: the general way goes on after the WEND.
      cursor_.Point(&line_->tokens, wendAt_ + 1);
      return GoOnGenerally(true);
    }
    return after;
  }

  Instruction* WhileFalse(const Instruction& test) {
    interp_.controlStack.pop_back();
    cursor_.Point(&line_->tokens, test.at);
    SkipWhileBody(interp_, cursor_);
    return GoOnGenerally(true);
  }

  // Where the next line's code starts, when it is kept and nothing calls
  // for the general checks.
  Instruction* NextLineKept(const Instruction& end) const {
    return interp_.Attention() == attention_ ? end.target : nullptr;
  }
  [[gnu::noinline]] Instruction* FindNextLine(Instruction& end) {
    if (interp_.Attention() != attention_) {
      cursor_.Point(&line_->tokens, line_->tokens.size());
      return GoOnGenerally(false);
    }
    if (line_->next == nullptr) {
      interp_.StepToNextLine();
      return Over();
    }
    end.target = CodeOf(interp_, *line_->next).code.data();
    ++interp_.targetsFound;
    return Enter(end.target, line_->next);
  }

  void PushWhile(const Instruction& loop) { PushFrameHere(FrameKind::While, loop.at); }

  // array(scalar) = value, the scalar and the value in the two slots from
  // `operands`.
  [[gnu::always_inline]] void StoreElementOfScalar(Variable& array, const Instruction* operands) {
    const double subscript = operands[0].variable->number;
    const double value = OperandValue(operands[1]);
    int32_t index = 0;
    if (SubscriptInRange(subscript, array.extents[0], index)) [[likely]] {
      const auto cell = static_cast<std::size_t>(index);
      if (cell < array.numbers.size()) array.numbers[cell] = value;
    } else {
      CheckedIndex(interp_, array, 0, subscript);
    }
  }

  // ---- texts ----

  std::string_view TextOf(const Variable& variable) {
    if (variable.text.hasValue) return variable.text.text;
    interp_.Report(Error::VariableNotCreated, variable.name);
    return std::string_view();
  }
  // The target's own text moved into the first slot's buffer.
  std::string_view Take(Variable& target) {
    if (!target.text.hasValue) return TextOf(target);
    takenBytes_ = HeapBytes(target.text.text);
    taken_ = true;
    target.text.text.swap(buffers_[0]);
    return buffers_[0];
  }
  void StoreText(Variable& target, std::string_view result) {
    std::string& text = target.text.text;
    std::string& buffer = buffers_[0];
    const std::size_t before = taken_ ? takenBytes_ : HeapBytes(text);
    result = result.substr(0, kMaxStringLength);
    if (taken_ || Within(result, buffer)) {
      Own(buffer, result);
      text.swap(buffer);
    } else if (Within(result, text)) {
      Own(text, result);
    } else {
      text.assign(result);
    }
    taken_ = false;
    target.text.hasValue = true;
    if (target.budget == nullptr) return;
    target.budget->Release(before);
    target.budget->Grow(HeapBytes(text));
  }

  // An allocation that exhausted the budget: the next statement's check
  // sends the run the general way, which reports it.
  void WatchBudget() {
    if (interp_.budget.Exhausted()) attention_ = ~interp_.Attention();
  }

  Interpreter& interp_;
  StatementCursor& cursor_;
  std::string& messageBuffer_;
  uint32_t attention_;
  ProgramLine* line_ = nullptr;
  Exit exit_ = Exit::RunOver;
  // The WEND that asked its loop's condition again.
  ProgramLine* wendLine_ = nullptr;
  Instruction* wendResume_ = nullptr;
  std::size_t wendAt_ = 0;
  // A text assignment building on its target's own text.
  bool taken_ = false;
  std::size_t takenBytes_ = 0;
  double resultNumber_ = 0.0;
  std::string_view resultText_;
  std::array<std::string, kMaxCompiledTexts> buffers_;
};

// Threaded: each instruction jumps straight to the next one's code, so
// that every instruction has a jump of its own to predict.
#define TENREK_LABEL(name, payload, numbers, texts, checked, doc) &&op_##name,
#define NEXT_INSTRUCTION() \
  do { \
    i = ip++; \
    goto* kLabels[static_cast<std::size_t>(i->op)]; \
  } while (false)
// Straight on through the EndLine in the next slot, without a dispatch;
// its fast way is repeated here so that each instruction that ends a line
// has a jump of its own to predict.
#define END_OF_LINE() \
  do { \
    i = ip++; \
    if (Instruction* const next = NextLineKept(*i)) [[likely]] { \
      ip = Enter(next, line_->next); \
      NEXT_INSTRUCTION(); \
    } \
    goto find_next_line; \
  } while (false)
// After a slow path: null leaves the loop.
#define GO_ON(next) \
  do { \
    ip = (next); \
    if (ip == nullptr) return exit_; \
    NEXT_INSTRUCTION(); \
  } while (false)

Machine::Exit Machine::Run(Instruction* ip) {
  static constexpr void* kLabels[] = {TENREK_INSTRUCTIONS(TENREK_LABEL)};
  // The top of the number stack lives in `top`, the values below it from
  // numbers[1] up to `n` (exclusive); numbers[0] stands below them all, so
  // that popping the last value reads a slot of the array.
  std::array<double, kMaxCompiledNumbers + 2> numbers;
  numbers[0] = 0.0;
  double* n = numbers.data() + 1;
  double top = 0.0;
  std::array<TextSlot, kMaxCompiledTexts + 1> texts;
  TextSlot* t = texts.data();
  // The buffer of the text slot `slot`.
  const auto buffer = [this, &texts](const TextSlot* slot) -> std::string& {
    return buffers_[static_cast<std::size_t>(slot - texts.data())];
  };
  const auto push = [&n, &top](double value) {
    *n++ = top;
    top = value;
  };
  const auto pop = [&n, &top]() {
    const double value = top;
    top = *--n;
    return value;
  };
  // Pops `count` values, the deepest first at the place answered (valid
  // until the next push).
  const auto popMany = [&n, &top](int count) {
    n[0] = top;
    const double* values = n - count + 1;
    top = n[-count];
    n -= count;
    return values;
  };
  Instruction* i = nullptr;
  NEXT_INSTRUCTION();

op_Number:
  push(i->number);
  NEXT_INSTRUCTION();
op_Scalar:
  push(i->variable->number);
  NEXT_INSTRUCTION();
op_ElementAt : {
  const Variable& array = *i->variable;
  int32_t index = 0;
  if (SubscriptInRange(top, array.extents[0], index)) [[likely]] {
    const auto cell = static_cast<std::size_t>(index);
    top = cell < array.numbers.size() ? array.numbers[cell] : 0.0;
  } else {
    CheckedIndex(interp_, array, 0, top);
    top = 0.0;
  }
  NEXT_INSTRUCTION();
}
op_ElementOfScalar : {
  const Variable& array = *i->variable;
  const double subscript = ip->variable->number;
  ++ip;
  int32_t index = 0;
  double element = 0.0;
  if (SubscriptInRange(subscript, array.extents[0], index)) [[likely]] {
    const auto cell = static_cast<std::size_t>(index);
    if (cell < array.numbers.size()) element = array.numbers[cell];
  } else {
    CheckedIndex(interp_, array, 0, subscript);
  }
  push(element);
  NEXT_INSTRUCTION();
}
op_Subscript : {
  int32_t index = 0;
  if (SubscriptInRange(top, i->variable->extents[i->a], index)) [[likely]] {
    top = index;
  } else {
    top = CheckedIndex(interp_, *i->variable, i->a, top);
  }
  NEXT_INSTRUCTION();
}
op_Element : {
  const double* indexes = popMany(i->a);
  const int64_t cell = CellOf(*i->variable, indexes, i->a);
  push(cell < 0 ? 0.0 : i->variable->numbers[static_cast<std::size_t>(cell)]);
  NEXT_INSTRUCTION();
}
op_Negate:
  top = -top;
  NEXT_INSTRUCTION();
op_Not:
  top = static_cast<double>(~RoundToInt(top));
  NEXT_INSTRUCTION();
op_Add:
  top = *--n + top;
  NEXT_INSTRUCTION();
op_Subtract:
  top = *--n - top;
  NEXT_INSTRUCTION();
op_Multiply:
  top = *--n * top;
  NEXT_INSTRUCTION();
op_Divide:
  top = *--n / top;
  NEXT_INSTRUCTION();
op_Modulo:
  top = Modulo(interp_, *--n, top);
  NEXT_INSTRUCTION();
op_Compare:
  top = Holds(i->a, OrderOf(*--n, top)) ? 1.0 : 0.0;
  NEXT_INSTRUCTION();
op_And:
  top = AndOf(*--n, top);
  NEXT_INSTRUCTION();
op_Or:
  top = OrOf(*--n, top);
  NEXT_INSTRUCTION();
op_Binary:
  top = ApplyOperator(interp_, KindOf(*i), *--n, top);
  NEXT_INSTRUCTION();
op_AddNumber:
  top += i->number;
  NEXT_INSTRUCTION();
op_SubtractNumber:
  top -= i->number;
  NEXT_INSTRUCTION();
op_MultiplyNumber:
  top *= i->number;
  NEXT_INSTRUCTION();
op_DivideNumber:
  top /= i->number;
  NEXT_INSTRUCTION();
op_ModuloNumber:
  top = Modulo(interp_, top, i->number);
  NEXT_INSTRUCTION();
op_RemainderNumber:
  top = Modulo(interp_, top, i->number);
  NEXT_INSTRUCTION();
op_CompareNumber:
  top = Holds(i->a, OrderOf(top, i->number)) ? 1.0 : 0.0;
  NEXT_INSTRUCTION();
op_AddScalars:
  push(i->variable->number + ip->variable->number);
  ++ip;
  NEXT_INSTRUCTION();
op_SubtractScalars:
  push(i->variable->number - ip->variable->number);
  ++ip;
  NEXT_INSTRUCTION();
op_MultiplyScalars:
  push(i->variable->number * ip->variable->number);
  ++ip;
  NEXT_INSTRUCTION();
op_AddScalarAndNumber:
  push(i->variable->number + ip->number);
  ++ip;
  NEXT_INSTRUCTION();
op_SubtractScalarAndNumber:
  push(i->variable->number - ip->number);
  ++ip;
  NEXT_INSTRUCTION();
op_MultiplyScalarAndNumber:
  push(i->variable->number * ip->number);
  ++ip;
  NEXT_INSTRUCTION();
op_DivideScalarAndNumber:
  push(i->variable->number / ip->number);
  ++ip;
  NEXT_INSTRUCTION();
op_CompareScalarAndNumber:
  push(Holds(i->a, OrderOf(i->variable->number, ip->number)) ? 1.0 : 0.0);
  ++ip;
  NEXT_INSTRUCTION();
op_AddScalar:
  top += i->variable->number;
  NEXT_INSTRUCTION();
op_SubtractScalar:
  top -= i->variable->number;
  NEXT_INSTRUCTION();
op_MultiplyScalar:
  top *= i->variable->number;
  NEXT_INSTRUCTION();
op_DivideScalar:
  top /= i->variable->number;
  NEXT_INSTRUCTION();
op_ModuloScalar:
  top = Modulo(interp_, top, i->variable->number);
  NEXT_INSTRUCTION();
op_CompareScalar:
  top = Holds(i->a, OrderOf(top, i->variable->number)) ? 1.0 : 0.0;
  NEXT_INSTRUCTION();
op_Function:
  top = NumericFunction(KindOf(*i), top);
  NEXT_INSTRUCTION();
op_Literal:
  *t++ = std::string_view(i->text, i->b);
  NEXT_INSTRUCTION();
op_Text:
  *t++ = TextOf(*i->variable);
  NEXT_INSTRUCTION();
op_TakeText:
  *t++ = Take(*i->variable);
  NEXT_INSTRUCTION();
op_Join:
  --t;
  t[-1] = Join(buffer(t - 1), t[-1], t[0]);
  NEXT_INSTRUCTION();
op_CompareText:
  t -= 2;
  push(TextRelation(i->a, t[0], t[1]));
  NEXT_INSTRUCTION();
op_Mid : {
  const double* from = popMany(i->a - 1);
  t[-1] = MidOf(t[-1], RoundToInt(from[0]),
                i->a == 3 ? RoundToInt(from[1]) : static_cast<int32_t>(kMaxStringLength));
  NEXT_INSTRUCTION();
}
op_Left:
  t[-1] = LeftOf(t[-1], RoundToInt(pop()));
  NEXT_INSTRUCTION();
op_Right:
  t[-1] = RightOf(t[-1], RoundToInt(pop()));
  NEXT_INSTRUCTION();
op_Character : {
  const auto c = static_cast<std::size_t>(RoundToInt(pop()) & 0xFF);
  *t++ = c == 0 ? std::string_view() : std::string_view(&kCharacters[c], 1);
  NEXT_INSTRUCTION();
}
op_Format : {
  std::string& into = buffer(t);
  into = FormatNumber(pop());
  *t++ = std::string_view(into);
  NEXT_INSTRUCTION();
}
op_Code:
  --t;
  push(CodeOfText(t[0]));
  NEXT_INSTRUCTION();
op_Length:
  --t;
  push(static_cast<double>(t[0].size));
  NEXT_INSTRUCTION();
op_Transform:
  t[-1] = Transformed(buffer(t - 1), t[-1], KindOf(*i));
  NEXT_INSTRUCTION();
op_Statement:
  if (interp_.Attention() != attention_) GO_ON(Leave(i->at));
  NEXT_INSTRUCTION();
op_Store:
  i->variable->number = pop();
  NEXT_INSTRUCTION();
op_StoreLast:
  i->variable->number = pop();
  END_OF_LINE();
op_StoreElement : {
  const double value = pop();
  const double* indexes = popMany(i->a);
  const int64_t cell = CellOf(*i->variable, indexes, i->a);
  if (cell >= 0) i->variable->numbers[static_cast<std::size_t>(cell)] = value;
  NEXT_INSTRUCTION();
}
op_StoreElementAt : {
  const double value = pop();
  const double index = pop();
  std::vector<double>& cells = i->variable->numbers;
  if (index >= 0 && index < static_cast<double>(cells.size())) {
    cells[static_cast<std::size_t>(index)] = value;
  }
  NEXT_INSTRUCTION();
}
op_StoreElementOfScalar:
  StoreElementOfScalar(*i->variable, ip);
  ip += 2;
  NEXT_INSTRUCTION();
op_StoreElementOfScalarLast:
  StoreElementOfScalar(*i->variable, ip);
  ip += 2;
  END_OF_LINE();
op_AddToScalar:
  i->variable->number += ip->number;
  ++ip;
  NEXT_INSTRUCTION();
op_SetScalar:
  i->variable->number = OperandValue(*ip);
  ++ip;
  NEXT_INSTRUCTION();
op_SetScalarLast:
  i->variable->number = OperandValue(*ip);
  ++ip;
  END_OF_LINE();
op_AddToScalarLast:
  i->variable->number += ip->number;
  ++ip;
  END_OF_LINE();
op_StoreText:
  StoreText(*i->variable, *--t);
  WatchBudget();
  NEXT_INSTRUCTION();
op_Jump:
  ip = JumpTarget(i);
  NEXT_INSTRUCTION();
op_JumpUnless:
  if (pop() == 0.0) ip = JumpTarget(i);
  NEXT_INSTRUCTION();
op_JumpUnlessNumber:
  if (!Holds(i->a, OrderOf(pop(), i->number))) ip = JumpTarget(i);
  NEXT_INSTRUCTION();
op_JumpUnlessScalar:
  if (!Holds(i->a, OrderOf(pop(), i->variable->number))) ip = JumpTarget(i);
  NEXT_INSTRUCTION();
op_JumpUnlessScalarAndNumber:
  ip = Holds(i->a, OrderOf(i->variable->number, ip->number)) ? ip + 1 : JumpTarget(i);
  NEXT_INSTRUCTION();
op_Goto:
  GO_ON(JumpToNumber(*i, static_cast<int32_t>(i->b)));
op_GotoComputed:
  GO_ON(JumpToNumber(*i, RoundToInt(pop())));
op_Gosub:
  GO_ON(Gosub(*i, static_cast<int32_t>(i->b)));
op_GosubComputed:
  GO_ON(Gosub(*i, RoundToInt(pop())));
op_Return:
  GO_ON(Return(*i));
op_For : {
  const double step = i->a != 0 ? pop() : 1.0;
  const double limit = pop();
  GO_ON(For(*i, limit, step, ip));
}
op_Next:
  GO_ON(Next(*i, ip));
op_While:
  PushWhile(*i);
  NEXT_INSTRUCTION();
op_WhileEnter:
  if (pop() == 0.0) GO_ON(WhileFalse(*i));
  NEXT_INSTRUCTION();
op_WhileAgain:
  if (pop() != 0.0) {
    ip = JumpTarget(i);
    NEXT_INSTRUCTION();
  }
  GO_ON(AfterWend());
op_Wend:
  GO_ON(Wend(*i, ip));
op_EndLine:
  if (Instruction* const next = NextLineKept(*i)) [[likely]] {
    ip = Enter(next, line_->next);
    NEXT_INSTRUCTION();
  }
find_next_line:
  GO_ON(FindNextLine(*i));
op_Handler:
  GO_ON(Handler(i->at));
op_OperandNumber:
op_OperandScalar:
op_Target:
  return exit_;  // never reached: the instruction before steps over it
op_Result:
  if (n != numbers.data() + 1) resultNumber_ = top;
  if (t != texts.data()) resultText_ = t[-1];
  return Exit::Result;
}

#undef GO_ON
#undef END_OF_LINE
#undef NEXT_INSTRUCTION
#undef TENREK_LABEL

}  // namespace

LineCode& CompileLine(Interpreter& interp, ProgramLine& line) {
  line.code = std::make_unique<LineCode>();
  line.code->stamp = interp.CodeStamp();
  line.code->checkEvery = interp.StatementLimited();
  CompileFrom(line.tokens, *line.code, 0);
  // No address in code just made is kept anywhere yet: the buffers it
  // outgrew while compiling, and the room left in its own, can go.
  line.code->outgrown.reset();
  line.code->code.shrink_to_fit();
  line.code->entries.shrink_to_fit();
  return *line.code;
}

bool RunsCompiled(const Interpreter& interp, const StatementCursor& cursor) {
  const ProgramLine* const line = interp.CurrentLine();
  return interp.compileLines && line != nullptr && cursor.list == &line->tokens &&
         cursor.pos < line->tokens.size() && interp.NestingDepth() == 0 &&
         interp.QuietButForLimit();
}

bool RunCompiled(Interpreter& interp, StatementCursor& cursor, std::string& messageBuffer) {
  return Machine(interp, cursor, messageBuffer).RunStatements();
}

bool EvaluateCompiled(Interpreter& interp, const TokenList& tokens, std::size_t& pos,
                      Value& value) {
  if (!interp.compileLines || interp.NestingDepth() != 0) return false;
  LineCode code;
  bool isText = false;
  const int64_t end = CompileExpression(tokens, code, pos, isText);
  if (end < 0) return false;
  StatementCursor cursor;
  std::string messageBuffer;
  value = Machine(interp, cursor, messageBuffer).RunExpression(code, isText);
  pos = static_cast<std::size_t>(end);
  return true;
}

}  // namespace tenrek
