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

double TextRelation(TokenKind kind, std::string_view a, std::string_view b) {
  const int c = a.compare(b);
  return Compare(kind, (c > 0) - (c < 0), false) ? 1.0 : 0.0;
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
int64_t CellOf(const Variable& variable, const double* indexes, int count) {
  int64_t offset = 0;
  for (int k = 0; k < count; ++k) {
    if (indexes[k] < 0) return -1;
    offset =
        offset * variable.extents[static_cast<std::size_t>(k)] + static_cast<int64_t>(indexes[k]);
  }
  return static_cast<std::size_t>(offset) < variable.numbers.size() ? offset : -1;
}

// ---- the machine ----

class Machine {
 public:
  Machine(Interpreter& interp, StatementCursor& cursor, std::string& messageBuffer)
      : interp_(interp),
        cursor_(cursor),
        messageBuffer_(messageBuffer),
        attention_(interp.Attention()) {}

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
    code_ = &CodeOf(interp_, *line);
    int64_t pc = code_->EntryAt(pos);
    if (pc < 0) pc = CompileFrom(line->tokens, *code_, pos);
    return code_->code.data() + pc;
  }
  // The start of `line`.
  Instruction* EnterLine(ProgramLine* line) {
    interp_.EnterLine(line);
    line_ = line;
    code_ = &CodeOf(interp_, *line);
    return code_->code.data();
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
  Instruction* GoOnGenerally(bool checkEnd) {
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
  Instruction* Handler(std::size_t at) {
    cursor_.Point(&line_->tokens, at);
    cursor_.jumped = false;
    cursor_.resumeAtCursor = false;
    interp_.state = RunState::Running;
    if (!RunHandledStatement(interp_, cursor_, messageBuffer_)) return Over();
    return ContinueAtCursor();
  }

  // GOTO and GOSUB: line `number`, kept in the instruction once found.
  Instruction* JumpToNumber(Instruction& jump, int32_t number) {
    ProgramLine* target = jump.op == Opcode::Goto || jump.op == Opcode::Gosub ? jump.line : nullptr;
    if (target == nullptr) {
      target = interp_.FindLine(number);
      if (target == nullptr) {
        cursor_.Point(&line_->tokens, line_->tokens.size());
        JumpTo(interp_, cursor_, nullptr);
        return GoOnGenerally(true);
      }
      if (jump.op == Opcode::Goto || jump.op == Opcode::Gosub) jump.line = target;
    }
    return EnterLine(target);
  }
  Instruction* Gosub(Instruction& jump, int32_t number) {
    ControlFrame frame;
    frame.kind = FrameKind::Gosub;
    frame.line = line_;
    frame.list = &line_->tokens;
    frame.resume = jump.at;
    interp_.PushFrame(frame);
    interp_.CheckControlStackBudget();
    return JumpToNumber(jump, number);
  }

  // How a kept target is found from its frame's place: the next statement
  // from there (NEXT), from the end of the statement there (RETURN), or
  // the WHILE condition there (WEND).
  enum class Way : uint8_t { AtStatement, PastStatement, LoopHead };

  // Where the run goes on from token `pos` of `from`, the way `way`,
  // kept in `cache` for that place; null, with nothing done, when compiled
  // code cannot take it there (a frame of a command line, a removed line,
  // the end of the program).
  Instruction* Arrive(TargetCache& cache, ProgramLine* from, std::size_t pos, Way way) {
    const bool known = cache.line != nullptr && cache.fromLine == from && cache.fromToken == pos &&
                       cache.line->code != nullptr &&
                       cache.line->code->stamp == interp_.CodeStamp();
    if (!known && !Find(cache, from, pos, way)) return nullptr;
    interp_.EnterLine(cache.line);
    line_ = cache.line;
    code_ = cache.line->code.get();
    return code_->code.data() + cache.pc;
  }
  bool Find(TargetCache& cache, ProgramLine* from, std::size_t pos, Way way) {
    if (from == nullptr || from->removed) return false;
    const TokenList& tokens = from->tokens;
    std::size_t start = pos;
    if (way == Way::PastStatement) {
      while (start < tokens.size() && tokens[start].kind != TokenKind::Colon &&
             tokens[start].kind != TokenKind::Else) {
        ++start;
      }
    }
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
    cache = {from, static_cast<uint32_t>(pos), static_cast<uint32_t>(pc), line};
    return true;
  }

  // ---- statements ----

  Instruction* Return(const Instruction& ret) {
    auto& stack = interp_.controlStack;
    if (stack.empty() || stack.back().kind != FrameKind::Gosub) return Handler(statementAt_);
    const ControlFrame& frame = stack.back();
    Instruction* back = Arrive(code_->targets[ret.b], frame.line, frame.resume, Way::PastStatement);
    if (back == nullptr) return Handler(statementAt_);
    stack.pop_back();
    return back;
  }

  Instruction* Next(Instruction& next, Instruction* following) {
    auto& stack = interp_.controlStack;
    if (stack.empty()) return Handler(statementAt_);
    ControlFrame& frame = stack.back();
    Variable* const named = next.variable;
    if (frame.kind != FrameKind::For || frame.variable != named ||
        frame.cellIndex != CellRef::kScalar) {
      return Handler(statementAt_);
    }
    const double value = named->number + frame.step;
    named->number = value;
    if (!LoopContinues(value, frame.limit, frame.step)) {
      stack.pop_back();
      return following;
    }
    if (Instruction* loop =
            Arrive(code_->targets[next.b], frame.line, frame.resume, Way::AtStatement)) {
      return loop;
    }
    ResumeAt(interp_, cursor_, frame);
    return GoOnGenerally(true);
  }

  Instruction* For(const Instruction& loop, double limit, double step, Instruction* following) {
    Variable* const control = loop.variable;
    cursor_.Point(&line_->tokens, loop.at);
    if (!LoopContinues(control->number, limit, step)) {
      SkipUnenteredForBody(interp_, cursor_, control);
      return GoOnGenerally(true);
    }
    ControlFrame frame;
    frame.kind = FrameKind::For;
    frame.line = line_;
    frame.list = &line_->tokens;
    frame.resume = loop.at;
    frame.variable = control;
    frame.cellIndex = CellRef::kScalar;
    frame.limit = limit;
    frame.step = step;
    interp_.PushFrame(frame);
    interp_.CheckControlStackBudget();
    return following;
  }

  Instruction* Wend(const Instruction& wend, Instruction* following) {
    auto& stack = interp_.controlStack;
    if (stack.empty() || stack.back().kind != FrameKind::While) return Handler(statementAt_);
    const ControlFrame& frame = stack.back();
    wendLine_ = line_;
    wendPc_ = static_cast<uint32_t>(following - code_->code.data());
    Instruction* head = Arrive(code_->targets[wend.b], frame.line, frame.resume, Way::LoopHead);
    return head != nullptr ? head : Handler(statementAt_);
  }
  // Back after the WEND whose loop ended.
  Instruction* AfterWend() {
    interp_.controlStack.pop_back();
    interp_.EnterLine(wendLine_);
    line_ = wendLine_;
    code_ = wendLine_->code.get();
    return code_->code.data() + wendPc_;
  }

  Instruction* WhileFalse(const Instruction& test) {
    interp_.controlStack.pop_back();
    cursor_.Point(&line_->tokens, test.at);
    SkipWhileBody(interp_, cursor_);
    return GoOnGenerally(true);
  }

  Instruction* EndLine() {
    if (interp_.budget.Exhausted()) {
      cursor_.Point(&line_->tokens, line_->tokens.size());
      return GoOnGenerally(false);
    }
    if (line_->next == nullptr) {
      interp_.StepToNextLine();
      return Over();
    }
    return EnterLine(line_->next);
  }

  void PushWhile(const Instruction& loop) {
    ControlFrame frame;
    frame.kind = FrameKind::While;
    frame.line = line_;
    frame.list = &line_->tokens;
    frame.resume = loop.at;
    interp_.PushFrame(frame);
    interp_.CheckControlStackBudget();
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

  Interpreter& interp_;
  StatementCursor& cursor_;
  std::string& messageBuffer_;
  const uint32_t attention_;
  ProgramLine* line_ = nullptr;
  LineCode* code_ = nullptr;
  Exit exit_ = Exit::RunOver;
  std::size_t statementAt_ = 0;
  // The WEND that asked its loop's condition again.
  ProgramLine* wendLine_ = nullptr;
  uint32_t wendPc_ = 0;
  // A text assignment building on its target's own text.
  bool taken_ = false;
  std::size_t takenBytes_ = 0;
  double resultNumber_ = 0.0;
  std::string_view resultText_;
  std::array<std::string, kMaxCompiledTexts> buffers_;
};

Machine::Exit Machine::Run(Instruction* ip) {
  std::array<double, kMaxCompiledNumbers + 1> numbers;
  std::array<TextSlot, kMaxCompiledTexts + 1> texts;
  double* n = numbers.data();
  TextSlot* t = texts.data();
  // The buffer of the text slot `slot`.
  const auto buffer = [this, &texts](const TextSlot* slot) -> std::string& {
    return buffers_[static_cast<std::size_t>(slot - texts.data())];
  };
  while (ip != nullptr) {
    Instruction& i = *ip++;
    switch (i.op) {
      case Opcode::Number: *n++ = i.number; break;
      case Opcode::Scalar: *n++ = i.variable->number; break;
      case Opcode::Subscript: n[-1] = CheckedIndex(interp_, *i.variable, i.a, n[-1]); break;
      case Opcode::Element: {
        n -= i.a;
        const int64_t cell = CellOf(*i.variable, n, i.a);
        *n++ = cell < 0 ? 0.0 : i.variable->numbers[static_cast<std::size_t>(cell)];
        break;
      }
      case Opcode::Negate: n[-1] = -n[-1]; break;
      case Opcode::Not: n[-1] = static_cast<double>(~RoundToInt(n[-1])); break;
      case Opcode::Add:
        --n;
        n[-1] += n[0];
        break;
      case Opcode::Subtract:
        --n;
        n[-1] -= n[0];
        break;
      case Opcode::Multiply:
        --n;
        n[-1] *= n[0];
        break;
      case Opcode::Divide:
        --n;
        n[-1] /= n[0];
        break;
      case Opcode::Modulo:
        --n;
        n[-1] = Modulo(interp_, n[-1], n[0]);
        break;
      case Opcode::Compare:
        --n;
        n[-1] = Relation(KindOf(i), n[-1], n[0]) ? 1.0 : 0.0;
        break;
      case Opcode::Binary:
        --n;
        n[-1] = ApplyOperator(interp_, KindOf(i), n[-1], n[0]);
        break;
      case Opcode::AddNumber: n[-1] += i.number; break;
      case Opcode::SubtractNumber: n[-1] -= i.number; break;
      case Opcode::MultiplyNumber: n[-1] *= i.number; break;
      case Opcode::DivideNumber: n[-1] /= i.number; break;
      case Opcode::ModuloNumber: n[-1] = Modulo(interp_, n[-1], i.number); break;
      case Opcode::CompareNumber: n[-1] = Relation(KindOf(i), n[-1], i.number) ? 1.0 : 0.0; break;
      case Opcode::AddScalar: n[-1] += i.variable->number; break;
      case Opcode::SubtractScalar: n[-1] -= i.variable->number; break;
      case Opcode::MultiplyScalar: n[-1] *= i.variable->number; break;
      case Opcode::DivideScalar: n[-1] /= i.variable->number; break;
      case Opcode::ModuloScalar: n[-1] = Modulo(interp_, n[-1], i.variable->number); break;
      case Opcode::CompareScalar:
        n[-1] = Relation(KindOf(i), n[-1], i.variable->number) ? 1.0 : 0.0;
        break;
      case Opcode::Function: n[-1] = NumericFunction(KindOf(i), n[-1]); break;
      case Opcode::Literal: *t++ = std::string_view(i.text, i.b); break;
      case Opcode::Text: *t++ = TextOf(*i.variable); break;
      case Opcode::TakeText: *t++ = Take(*i.variable); break;
      case Opcode::Join:
        --t;
        t[-1] = Join(buffer(t - 1), t[-1], t[0]);
        break;
      case Opcode::CompareText:
        t -= 2;
        *n++ = TextRelation(KindOf(i), t[0], t[1]);
        break;
      case Opcode::Mid:
        n -= i.a - 1;
        t[-1] = MidOf(t[-1], RoundToInt(n[0]),
                      i.a == 3 ? RoundToInt(n[1]) : static_cast<int32_t>(kMaxStringLength));
        break;
      case Opcode::Left:
        --n;
        t[-1] = LeftOf(t[-1], RoundToInt(n[0]));
        break;
      case Opcode::Right:
        --n;
        t[-1] = RightOf(t[-1], RoundToInt(n[0]));
        break;
      case Opcode::Character: {
        const auto c = static_cast<std::size_t>(RoundToInt(*--n) & 0xFF);
        *t++ = c == 0 ? std::string_view() : std::string_view(&kCharacters[c], 1);
        break;
      }
      case Opcode::Format: {
        std::string& into = buffer(t);
        into = FormatNumber(*--n);
        *t++ = std::string_view(into);
        break;
      }
      case Opcode::Code:
        --t;
        *n++ = CodeOfText(t[0]);
        break;
      case Opcode::Length:
        --t;
        *n++ = static_cast<double>(t[0].size);
        break;
      case Opcode::Transform: t[-1] = Transformed(buffer(t - 1), t[-1], KindOf(i)); break;
      case Opcode::Statement:
        statementAt_ = i.at;
        if (interp_.Attention() != attention_ || interp_.budget.Exhausted()) ip = Leave(i.at);
        break;
      case Opcode::Store: i.variable->number = *--n; break;
      case Opcode::StoreElement: {
        const double value = *--n;
        n -= i.a;
        const int64_t cell = CellOf(*i.variable, n, i.a);
        if (cell >= 0) i.variable->numbers[static_cast<std::size_t>(cell)] = value;
        break;
      }
      case Opcode::StoreText: StoreText(*i.variable, *--t); break;
      case Opcode::Jump: ip = code_->code.data() + i.b; break;
      case Opcode::JumpUnless:
        if (*--n == 0.0) ip = code_->code.data() + i.b;
        break;
      case Opcode::Goto: ip = JumpToNumber(i, static_cast<int32_t>(i.b)); break;
      case Opcode::GotoComputed: ip = JumpToNumber(i, RoundToInt(*--n)); break;
      case Opcode::Gosub: ip = Gosub(i, static_cast<int32_t>(i.b)); break;
      case Opcode::GosubComputed: ip = Gosub(i, RoundToInt(*--n)); break;
      case Opcode::Return: ip = Return(i); break;
      case Opcode::For: {
        const double step = i.a != 0 ? *--n : 1.0;
        const double limit = *--n;
        ip = For(i, limit, step, ip);
        break;
      }
      case Opcode::Next: ip = Next(i, ip); break;
      case Opcode::While: PushWhile(i); break;
      case Opcode::WhileEnter:
        if (*--n == 0.0) ip = WhileFalse(i);
        break;
      case Opcode::WhileAgain: ip = *--n != 0.0 ? code_->code.data() + i.b : AfterWend(); break;
      case Opcode::Wend: ip = Wend(i, ip); break;
      case Opcode::EndLine: ip = EndLine(); break;
      case Opcode::Handler: ip = Handler(i.at); break;
      case Opcode::Result:
        if (n != numbers.data()) resultNumber_ = n[-1];
        if (t != texts.data()) resultText_ = t[-1];
        return Exit::Result;
    }
  }
  return exit_;
}

}  // namespace

LineCode& CodeOf(Interpreter& interp, ProgramLine& line) {
  if (line.code == nullptr || line.code->stamp != interp.CodeStamp()) {
    line.code = std::make_unique<LineCode>();
    line.code->stamp = interp.CodeStamp();
    CompileFrom(line.tokens, *line.code, 0);
  }
  return *line.code;
}

bool RunsCompiled(const Interpreter& interp, const StatementCursor& cursor) {
  const ProgramLine* const line = interp.CurrentLine();
  return interp.compileLines && line != nullptr && cursor.list == &line->tokens &&
         cursor.pos < line->tokens.size() && interp.NestingDepth() == 0 &&
         interp.StatementIsQuiet();
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
