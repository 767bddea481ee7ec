#include "interp/interpreter.h"

#include <algorithm>
#include <ctime>

#include "interp/executor.h"
#include "text/tokenizer.h"

namespace tenrek {
namespace {

bool IsLeadingSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string CutToField(std::string_view text) {
  return std::string(text.substr(0, std::min(text.size(), kMaxFieldText)));
}

}  // namespace

Interpreter::Interpreter(Platform& platformIn)
    : platform(platformIn), memory(kPokeMemorySize, 0) {
  random.Seed(static_cast<uint32_t>(std::time(nullptr)));
}

Interpreter::~Interpreter() = default;

void Interpreter::ExecuteCommand(std::string_view text) {
  const bool nested = commandDepth_ > 0;
  const RunState outerState = state;
  ProgramLine* const outerLine = currentLine;
  // A break left pending by the previous command (INPUT at end of input as
  // its last statement) must not stop this one.
  if (!nested) breakRequested_.store(false);
  ++commandDepth_;
  state = RunState::Entering;
  text = text.substr(0, text.find('\0'));
  if (text.size() > kMaxLineLength) {
    // Cutting the line would silently change the program: refuse it whole.
    Report(Error::SyntaxError);
    state = RunState::Idle;
  } else {
    TokenList tokens;
    EnterLine(text, tokens);
    if (enteredLineNumber == 0) RunCommandTokens(tokens);
  }
  --commandDepth_;
  if (nested) {
    // The outer run goes on where it was.
    currentLine = outerLine;
    state = outerState;
  } else {
    ReleaseRetired();
  }
}

void Interpreter::RunCommandTokens(TokenList& tokens) {
  currentLine = nullptr;
  if (!tokens.empty()) {
    state = RunState::Entering;
    RunProgram(*this, tokens);
    state = RunState::Returned;
  }
  // Frames pushed by this command point into its tokens, which end here.
  DiscardFramesInto(&tokens);
  state = RunState::Idle;
}

void Interpreter::EnterLine(std::string_view text, TokenList& tokens) {
  std::size_t start = 0;
  while (start < text.size() && IsLeadingSpace(text[start])) ++start;
  uint32_t number = 0;  // 32-bit arithmetic that wraps, as the line number field does
  while (start < text.size() && text[start] >= '0' && text[start] <= '9') {
    number = number * 10u + static_cast<uint32_t>(text[start] - '0');
    ++start;
  }
  enteredLineNumber = static_cast<int32_t>(number);
  Tokenize(*this, text.substr(start), tokens);
  if (enteredLineNumber == 0) return;
  StoreLine(enteredLineNumber, std::move(tokens));
  tokens.clear();
  FreeControlStack();
  ResetReadPosition();
}

ProgramLine* Interpreter::FindLine(int32_t number) {
  ProgramLine* line = program.Find(number);
  if (line == nullptr) Report(Error::UndefinedLine);
  return line;
}

void Interpreter::ReportError(int32_t number, std::string_view message) {
  errorText = CutToField(FormatSystemError(number, 0, message));
  errorNumber = number;
  if (messageWindow != nullptr) platform.PostNotification(messageWindow, WM_BASIC_ERROR);
  if (onError) onError(errorNumber, errorText);
}

void Interpreter::Report(Error error) {
  const ErrorInfo info = DescribeError(error);
  ReportError(info.number, info.message);
}

void Interpreter::ReportIoFailure(int32_t ioSubCode) {
  errorText = CutToField(FormatSystemError(kIoFailureCode, ioSubCode, ""));
  errorNumber = kIoFailureCode;
  if (messageWindow != nullptr) platform.PostNotification(messageWindow, WM_BASIC_ERROR);
  if (onError) onError(errorNumber, errorText);
}

void Interpreter::NewProgram(StatementCursor& cursor) {
  currentLine = nullptr;
  cursor.ToLineEnd();
  FreeControlStack();
  ResetReadPosition();
  RemoveAllLines();
  DiscardVariables(*this);
}

void Interpreter::ClearProgramState(StatementCursor& cursor) {
  currentLine = nullptr;
  cursor.ToLineEnd();
  FreeControlStack();
  ClearVariables(*this);
}

void Interpreter::RemoveLine(ProgramLine* line) {
  if (line == nullptr) return;
  if (line == dataLine) ResetReadPosition();
  program.Remove(line, retiredLines_);
  if (commandDepth_ == 0) ReleaseRetired();
}

void Interpreter::RemoveAllLines() {
  program.RemoveAll(retiredLines_);
  if (commandDepth_ == 0) ReleaseRetired();
}

void Interpreter::StoreLine(int32_t number, TokenList tokens) {
  program.Store(number, std::move(tokens), retiredLines_);
  if (commandDepth_ == 0) ReleaseRetired();
}

void Interpreter::RetireVariable(std::unique_ptr<Variable> variable) {
  if (variable == nullptr) return;
  retiredVariables_.push_back(std::move(variable));
  if (commandDepth_ == 0) ReleaseRetired();
}

void Interpreter::PushFrame(const ControlFrame& frame) {
  if (frame.line == nullptr) lowestCommandFrame_ = std::min(lowestCommandFrame_, controlStack.size());
  controlStack.push_back(frame);
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
  std::erase_if(controlStack, [](const ControlFrame& f) {
    return f.line != nullptr && f.line->removed;
  });
  // Command frames may have moved down into the gaps.
  FindLowestCommandFrame(0);
}

void Interpreter::ReleaseRetired() {
  retiredLines_.clear();
  retiredVariables_.clear();
}

}  // namespace tenrek
