#include "interp/interpreter.h"

#include <algorithm>
#include <ctime>
#include <new>
#include <unordered_set>
#include <utility>

#include "interp/executor.h"
#include "text/characters.h"
#include "text/lister.h"
#include "text/tokenizer.h"

namespace tenrek {
namespace {

std::string CutToField(std::string_view text) {
  return std::string(text.substr(0, std::min(text.size(), kMaxFieldText)));
}

}  // namespace

Interpreter::Interpreter(Platform& platformIn) : platform(platformIn), memory(kPokeMemorySize, 0) {
  random.Seed(static_cast<uint32_t>(std::time(nullptr)));
}

Interpreter::~Interpreter() = default;

void Interpreter::ExecuteCommand(std::string_view text) {
  if (abandoned_) return;
  if (commandDepth_ >= kMaxCommandDepth) {
    // Refused whole; the run that is waiting in its box goes on.
    ReportError(kOutOfMemoryCode, "Commands nested too deeply");
    return;
  }
  const bool nested = commandDepth_ > 0;
  const RunState outerState = state;
  ProgramLine* const outerLine = currentLine_;
  // A break left pending by the previous command (INPUT at end of input as
  // its last statement) must not stop this one.
  if (!nested) {
    breakRequested_.store(false);
    statementsRun_ = 0;
  }
  ++commandDepth_;
  CallAttention();
  state = RunState::Entering;
  text = text.substr(0, text.find('\0'));
  if (text.size() > kMaxLineLength) {
    // Cutting the line would silently change the program: refuse it whole.
    Report(Error::SyntaxError);
    state = RunState::Idle;
  } else {
    EnterAndRun(text);
  }
  --commandDepth_;
  CallAttention();
  if (nested) {
    // The outer run goes on where it was.
    EnterLine(outerLine);
    state = outerState;
  } else {
    // The run is over: no line is current until the next one begins, and
    // the lines it removed may now be freed.
    LeaveProgram();
    ReleaseRetired();
  }
}

// No exception leaves a command: whatever throws (the machine refusing
// memory, above all) ends the command with the -2 report, and the
// interpreter stays usable.
void Interpreter::EnterAndRun(std::string_view text) {
  const int32_t outerEvaluationDepth = nestingDepth_;
  TokenList tokens;
  try {
    EnterLine(text, tokens);
    if (enteredLineNumber == 0) {
      RunCommandTokens(tokens);
    } else {
      TakeOutOfMemory();
    }
  } catch (...) {
    nestingDepth_ = outerEvaluationDepth;
    DiscardFramesInto(&tokens);
    state = RunState::Idle;
    budget.TakeExhausted();
    try {
      ReportOutOfMemory();
    } catch (...) {
      errorNumber = kOutOfMemoryCode;
    }
  }
}

void Interpreter::RunCommandTokens(TokenList& tokens) {
  LeaveProgram();
  if (!tokens.empty()) {
    state = RunState::Entering;
    RunProgram(*this, tokens);
    state = RunState::Returned;
  }
  // Frames pushed by this command point into its tokens, which end here.
  DiscardFramesInto(&tokens);
  if (controlStack.empty()) controlStack.shrink_to_fit();
  TakeOutOfMemory();
  state = RunState::Idle;
}

void Interpreter::EnterLine(std::string_view text, TokenList& tokens) {
  std::size_t start = 0;
  while (start < text.size() && IsWhitespace(text[start])) ++start;
  uint32_t number = 0;  // 32-bit arithmetic that wraps, as the line number field does
  while (start < text.size() && text[start] >= '0' && text[start] <= '9') {
    number = number * 10u + static_cast<uint32_t>(text[start] - '0');
    ++start;
  }
  enteredLineNumber = static_cast<int32_t>(number);
  Tokenize(*this, text.substr(start), tokens);
  if (enteredLineNumber == 0) return;
  if (!ListingFits(enteredLineNumber, tokens)) {
    // LIST, SAVE and the setup dialog could not carry the line whole.
    Report(Error::SyntaxError);
    tokens.clear();
    return;
  }
  StoreLine(enteredLineNumber, tokens);
  tokens.clear();
  FreeControlStack();
  ResetReadPosition();
}

ProgramLine* Interpreter::FindLine(int32_t number) {
  ProgramLine* line = program.Find(number);
  if (line == nullptr) Report(Error::UndefinedLine, std::to_string(number));
  return line;
}

void Interpreter::ReportError(int32_t number, std::string_view message) {
  errorText = CutToField(FormatSystemError(number, 0, message));
  errorNumber = number;
  Notify(HostNotice::Error);
  if (onError) onError(errorNumber, errorText);
  errorCulprit.clear();
}

void Interpreter::Notify(HostNotice notice) {
  if (host.messageWindow != nullptr) platform.PostNotification(host.messageWindow, notice);
}

void Interpreter::Report(Error error) {
  const ErrorInfo info = DescribeError(error);
  ReportError(info.number, info.message);
}

void Interpreter::Report(Error error, std::string_view culprit) {
  errorCulprit = culprit;
  Report(error);
}

void Interpreter::ReportOutOfMemory() {
  std::string message = "Out of memory";
  if (currentLine_ != nullptr) message += " in " + std::to_string(currentLine_->number);
  ReportError(kOutOfMemoryCode, message);
}

bool Interpreter::TakeOutOfMemory() {
  if (!budget.TakeExhausted()) return false;
  ReportOutOfMemory();
  return true;
}

void Interpreter::ReportIoFailure(int32_t ioSubCode, std::string_view file) {
  errorText = CutToField(FormatSystemError(kIoFailureCode, ioSubCode, ""));
  errorNumber = kIoFailureCode;
  errorCulprit = file;
  Notify(HostNotice::Error);
  if (onError) onError(errorNumber, errorText);
  errorCulprit.clear();
}

void Interpreter::NewProgram(StatementCursor& cursor) {
  LeaveProgram();
  cursor.ToLineEnd();
  FreeControlStack();
  ResetReadPosition();
  RemoveAllLines();
  DiscardVariables(*this);
}

void Interpreter::ClearProgramState(StatementCursor& cursor) {
  LeaveProgram();
  cursor.ToLineEnd();
  FreeControlStack();
  ClearVariables(*this);
}

void Interpreter::RemoveLine(ProgramLine* line) {
  if (line == nullptr) return;
  if (line == dataLine) ResetReadPosition();
  program.Remove(line, retiredLines_);
  CodeChanged();
  if (commandDepth_ == 0) ReleaseRetired();
}

void Interpreter::RemoveAllLines() {
  program.RemoveAll(retiredLines_);
  CodeChanged();
  if (commandDepth_ == 0) ReleaseRetired();
}

namespace {

// What the allocator adds to a heap block: its header and the rounding.
constexpr std::size_t kHeapBlockOverhead = 16;

// A line's translation, built when it first runs, as a line has always
// been charged for it: a record of 104 bytes and three heap blocks, and a
// token's share of 37 bytes (an index slot of 2, an operation of 16, and
// a seventh of an expression's 96-byte record, its pointer and two heap
// blocks). These are the sizes the translation had when the budget was
// set; they stay fixed so that the point where a program runs out of
// memory does not move when the translation's layout changes.
constexpr std::size_t kChargedLineCodeBytes = 104;
constexpr std::size_t kChargedSlotBytes = 2;
constexpr std::size_t kChargedOpBytes = 16;
constexpr std::size_t kChargedExpressionBytes = 96;
constexpr std::size_t kChargedPointerBytes = 8;
constexpr std::size_t kTokensPerExpression = 7;
constexpr std::size_t kTranslationLineBytes = kChargedLineCodeBytes + 3 * kHeapBlockOverhead;
constexpr std::size_t kTranslationTokenBytes =
    kChargedSlotBytes + kChargedOpBytes +
    (kChargedExpressionBytes + 2 * kHeapBlockOverhead + kChargedPointerBytes) /
        kTokensPerExpression;
static_assert(kTranslationLineBytes == 152 && kTranslationTokenBytes == 37);

// A stored line as a line has always been charged: a record of 56 bytes
// (32 in a 32-bit build) and a 16-byte token each in two heap blocks, a
// text of a literal or remark in a heap block of its own (a 4-byte
// length, the characters and a NUL). Lines are stored more compactly now;
// the figures stay so that the point where a program runs out of memory
// does not move.
constexpr std::size_t kChargedLineRecordBytes = sizeof(void*) == 8 ? 56 : 32;
constexpr std::size_t kChargedTokenBytes = 16;
constexpr std::size_t kChargedTextHeaderBytes = 5;

// What a stored line holds once it has run: its record and its tokens,
// its pointer in the store's blocks (which keep up to as much room
// again), the texts of its literals and remarks, and a typical
// translation.
std::size_t LineBytes(const TokenList& tokens) {
  std::size_t bytes = kChargedLineRecordBytes + tokens.size() * kChargedTokenBytes +
                      2 * kHeapBlockOverhead + 2 * sizeof(std::unique_ptr<ProgramLine>);
  for (const Token& token : tokens) {
    if (!token.Text().empty()) {
      bytes += kChargedTextHeaderBytes + token.Text().size() + kHeapBlockOverhead;
    }
  }
  return bytes + kTranslationLineBytes + tokens.size() * kTranslationTokenBytes;
}

}  // namespace

void Interpreter::StoreLine(int32_t number, const TokenList& tokens) {
  // Deleting a line is always allowed; storing one must fit the budget.
  const std::size_t bytes = tokens.empty() ? 0 : LineBytes(tokens);
  if (bytes != 0 && !budget.Reserve(bytes)) return;
  program.Store(number, tokens, retiredLines_);
  CodeChanged();
  if (commandDepth_ == 0) ReleaseRetired();
}

void Interpreter::RetireVariable(std::unique_ptr<Variable> variable) {
  if (variable == nullptr) return;
  retiredVariables_.push_back(std::move(variable));
  CallAttention();
  if (commandDepth_ == 0) ReleaseRetired();
}

void Interpreter::FindLowestCommandFrame(std::size_t from) {
  lowestCommandFrame_ = kNoCommandFrame;
  for (std::size_t i = from; i < controlStack.size(); ++i) {
    if (controlStack[i].line == nullptr) {
      lowestCommandFrame_ = i;
      return;
    }
  }
}

void Interpreter::DiscardFramesInto(const TokenList* tokens) {
  // Only a command's own frames point into its tokens, and none of those
  // sits below lowestCommandFrame_: the frames underneath are not looked at.
  if (lowestCommandFrame_ >= controlStack.size()) {
    lowestCommandFrame_ = kNoCommandFrame;
    return;
  }
  const auto from = controlStack.begin() + static_cast<std::ptrdiff_t>(lowestCommandFrame_);
  controlStack.erase(std::remove_if(from, controlStack.end(),
                                    [tokens](const ControlFrame& f) { return f.list == tokens; }),
                     controlStack.end());
  FindLowestCommandFrame(lowestCommandFrame_);
}

void Interpreter::DiscardFramesOfRemovedLines() {
  std::erase_if(controlStack,
                [](const ControlFrame& f) { return f.line != nullptr && f.line->removed; });
  // Command frames may have moved down into the gaps.
  FindLowestCommandFrame(0);
}

void Interpreter::Abandon() {
  abandoned_ = true;
  CallAttention();
  host.messageWindow = nullptr;  // its window is gone
  onError = nullptr;
}

bool Interpreter::BeginStatementWithChecks(const TokenList& commandTokens) {
  if (abandoned_ || TakeOutOfMemory()) return false;
  if (statementLimit_ != 0 && ++statementsRun_ > statementLimit_) RequestBreak();
  if (commandDepth_ == 1 && HasRetired()) ReleaseRetiredDuringRun(commandTokens);
  return true;
}

// Between two statements of the outermost run nothing stands on a removed
// line: the run ends when its own line goes, and frames and the READ
// position into removed lines are dropped here. Removed variables are
// named only by the command line being run (lines and frames that named
// them went with them), so those it names are kept until it ends.
void Interpreter::ReleaseRetiredDuringRun(const TokenList& commandTokens) {
  FreeRetiredLines();
  if (retiredVariables_.empty()) return;
  std::unordered_set<const Variable*> inUse;
  for (const Token& token : commandTokens) {
    if (token.kind == TokenKind::Identifier) inUse.insert(token.Var());
  }
  for (const ControlFrame& frame : controlStack) inUse.insert(frame.variable);
  std::erase_if(retiredVariables_, [this, &inUse](const std::unique_ptr<Variable>& variable) {
    if (inUse.contains(variable.get())) return false;
    budget.Release(VariableBytes(*variable));
    return true;
  });
}

// Nothing may point at a line once it is freed: loops, returns and the
// READ position that stood on a removed line go first. (No run stands on
// one: a run ends when its own line goes.)
void Interpreter::FreeRetiredLines() {
  if (retiredLines_.empty()) return;
  DiscardFramesOfRemovedLines();
  if (dataLine != nullptr && dataLine->removed) ResetReadPosition();
  // A line's charge depends only on its tokens' count and texts, which
  // nothing changes once it is stored.
  for (const auto& line : retiredLines_) budget.Release(LineBytes(line->tokens));
  retiredLines_.clear();
}

void Interpreter::ReleaseRetired() {
  FreeRetiredLines();
  for (const auto& variable : retiredVariables_) budget.Release(VariableBytes(*variable));
  retiredVariables_.clear();
}

}  // namespace tenrek
