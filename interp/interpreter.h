// One complete BASIC machine: the stored program, the variables, the
// control stack, the READ position, the values handed back to the host,
// the last error and the run state. There is no global state: everything
// hangs off an Interpreter, and the outside world is reached only through
// its Platform.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "eval/functions.h"
#include "eval/variables.h"
#include "interp/cursor.h"
#include "interp/errors.h"
#include "interp/host_exchange.h"
#include "interp/limits.h"
#include "interp/memory_budget.h"
#include "interp/program.h"
#include "platform/platform.h"

namespace tenrek {

enum class RunState : int32_t {
  Created = 0,
  Entering = 1,
  Running = 3,
  Idle = 4,
  Returned = 5,
};

enum class FrameKind : int16_t { For = 0, While = 1, Gosub = 2 };

// One open FOR loop, WHILE loop or GOSUB call. `list` and `resume` name the
// token the loop or return resumes from; `line` is null for a frame pushed
// by a command line, whose tokens live only as long as that command.
struct ControlFrame {
  FrameKind kind = FrameKind::Gosub;
  ProgramLine* line = nullptr;
  const TokenList* list = nullptr;
  std::size_t resume = 0;
  Variable* variable = nullptr;          // FOR only: the control variable
  int32_t cellIndex = CellRef::kScalar;  // FOR only: its element, for an array
  double limit = 0.0;                    // FOR only
  double step = 1.0;                     // FOR only
};

// A box or dialog lets the host run commands of its own while a statement
// waits; each level of such nesting costs the host thread's stack a box's
// modal loop plus a run. Real hosts nest two or three levels; 16 keeps far
// from the 1 MB stack of a Windows thread.
inline constexpr int kMaxCommandDepth = 16;

// The system code of the out-of-memory report.
inline constexpr int32_t kOutOfMemoryCode = -2;

class Interpreter {
 public:
  explicit Interpreter(Platform& platform);
  ~Interpreter();
  Interpreter(const Interpreter&) = delete;
  Interpreter& operator=(const Interpreter&) = delete;

  // Enters one line exactly as typed at a prompt: a numbered line is
  // stored (or replaces or deletes that line), any other line runs at once.
  void ExecuteCommand(std::string_view text);

  // Strips a leading line number into `enteredLineNumber`, tokenizes the
  // rest into `tokens`, and stores, replaces or deletes the numbered line.
  void EnterLine(std::string_view text, TokenList& tokens);

  // The line with exactly this number, or null after "Undefined line".
  ProgramLine* FindLine(int32_t number);

  // Stores the number and composed text and notifies the message window.
  void ReportError(int32_t number, std::string_view message);
  void Report(Error error);
  // The same, naming what the report is about (see errorCulprit).
  void Report(Error error, std::string_view culprit);
  // LOAD, MERGE and SAVE could not open (or write) the file `file`.
  void ReportIoFailure(int32_t ioSubCode, std::string_view file = {});
  // Posts `notice` to the host's message window, when there is one.
  void Notify(HostNotice notice);

  // Asks the running program to stop at the next statement, as STOP does.
  // Safe to call from a signal handler.
  void RequestBreak() {
    breakRequested_.store(true);
    CallAttention();
  }
  // Asked before every statement: a plain load first, so that the common
  // answer costs no locked exchange.
  bool TakeBreakRequest() {
    return breakRequested_.load(std::memory_order_relaxed) && breakRequested_.exchange(false);
  }
  bool BreakPending() const { return breakRequested_.load(); }

  // Ends every run at its next statement boundary and refuses further
  // commands: the owner is going away while a command is still on the
  // stack (a box is up), and frees the Interpreter once it has returned.
  void Abandon();
  bool Abandoned() const { return abandoned_; }

  // At most `limit` statements per command (0: no limit); past it the run
  // is broken as by Ctrl-C. For callers that must get control back.
  void SetStatementLimit(uint64_t limit) {
    // Compiled code counted statement by statement is compiled so.
    if ((limit != 0) != (statementLimit_ != 0)) ++codeStamp_;
    statementLimit_ = limit;
    CallAttention();
  }
  bool StatementLimited() const { return statementLimit_ != 0; }

  // Called by the executor before each statement of a run. Answers false
  // when the run must end (abandoned, or memory exhausted, which it
  // reports). In the outermost run it frees what was removed meanwhile.
  bool BeginStatement(const TokenList& commandTokens) {
    return StatementIsQuiet() || BeginStatementWithChecks(commandTokens);
  }
  // Counts the events that a run of compiled statements must stop for: a
  // change to what BeginStatement looks at besides the budget (a command
  // begun or ended, a line or variable retired, the object abandoned, a
  // statement limit set), a break request, and a change of the code stamp.
  // Safe to bump from a signal handler.
  uint32_t Attention() const { return attention_.load(std::memory_order_relaxed); }
  // The one owner of what compiled code depends on: compiled lines and
  // the targets they keep hold while the stamp stays as it was when they
  // were made. Never 0.
  uint64_t CodeStamp() const { return codeStamp_; }
  // Compiled code no longer holds: a line stored, removed or renumbered,
  // variables changing shape (DIM, a first subscripted use, CLEAR, NEW).
  void CodeChanged() {
    ++codeStamp_;
    CallAttention();
  }
  // RENUM's final pass over the stored lines.
  void RenumberLines(int32_t first, int32_t increment) {
    program.ApplyNewNumbers(first, increment);
    CodeChanged();
  }
  bool StatementIsQuiet() const { return statementLimit_ == 0 && QuietButForLimit(); }
  // The same, a statement limit aside: compiled code counts statements
  // by leaving each one to the general loop.
  bool QuietButForLimit() const {
    return !abandoned_ && !budget.Exhausted() && (commandDepth_ != 1 || !HasRetired());
  }

  // The -2 report: the budget is exhausted or the machine gave no memory.
  void ReportOutOfMemory();
  // Makes the -2 report when the budget ran out since the last check;
  // answers whether it did (the run then ends).
  bool TakeOutOfMemory();

  // NEW and CLEAR, for the statements and for LOAD.
  void NewProgram(StatementCursor& cursor);
  void ClearProgramState(StatementCursor& cursor);

  // The stack's block goes too: a runaway GOSUB may have made it large.
  void FreeControlStack() {
    controlStack.clear();
    controlStack.shrink_to_fit();
    lowestCommandFrame_ = kNoCommandFrame;
  }
  // Every push goes through here, so that the end of a command knows where
  // the frames pointing into its tokens can begin.
  void PushFrame(const ControlFrame& frame) {
    if (frame.line == nullptr) {
      lowestCommandFrame_ = std::min(lowestCommandFrame_, controlStack.size());
    }
    controlStack.push_back(frame);
  }
  // After a frame is pushed: the stack counts against the memory budget.
  void CheckControlStackBudget() {
    if (!budget.Fits(0, controlStack.capacity() * sizeof(ControlFrame))) budget.MarkExhausted();
  }
  void ResetReadPosition() {
    dataLine = nullptr;
    dataToken = 0;
  }

  // Removing lines and variables while a command runs: the records stay
  // allocated until the outermost command ends, so a run still standing on
  // them reads valid memory and ends at its next statement boundary.
  void RemoveLine(ProgramLine* line);
  void RemoveAllLines();
  // Refused, with the budget exhausted, when the line would exceed it.
  void StoreLine(int32_t number, const TokenList& tokens);
  void RetireVariable(std::unique_ptr<Variable> variable);

  // Discards the frames that point into `tokens` (a command line that ends)
  // or into lines no longer stored.
  void DiscardFramesInto(const TokenList* tokens);
  void DiscardFramesOfRemovedLines();

  int CommandDepth() const { return commandDepth_; }

  // Where execution stands: the stored line being run, or null on the
  // command line. Changed only through the three below.
  ProgramLine* CurrentLine() const { return currentLine_; }
  // The run goes on in `line` (a jump, a loop's or a return's resumption).
  void EnterLine(ProgramLine* line) { currentLine_ = line; }
  // Execution stands on the command line: at its end the run ends.
  void LeaveProgram() { currentLine_ = nullptr; }
  // Moves on to the line after the current one; false when there is none
  // (execution then stands on no line).
  bool StepToNextLine() {
    if (currentLine_ != nullptr) currentLine_ = currentLine_->next;
    return currentLine_ != nullptr;
  }

  // How deeply the expression evaluator is nested right now (eval/); it
  // refuses to nest further than kMaxEvaluationDepth.
  int32_t NestingDepth() const { return nestingDepth_; }
  void EnterNesting() { ++nestingDepth_; }
  void LeaveNesting() { --nestingDepth_; }

  // ---- the record's fields ----
  Platform& platform;
  ProgramStore program;
  std::vector<std::unique_ptr<Variable>> variables;
  std::unordered_map<std::string, Variable*> variableIndex;
  std::vector<ControlFrame> controlStack;  // top is back()
  int32_t enteredLineNumber = 0;
  ProgramLine* dataLine = nullptr;  // null: READ starts at the first line
  std::size_t dataToken = 0;        // index into dataLine->tokens
  bool quitRequested = false;
  int16_t stopCode = kNoStopCode;
  int32_t ioResult = 0;
  RunState state = RunState::Created;
  int32_t errorNumber = 0;
  std::string errorText;
  HostExchange host;
  RandomGenerator random;
  std::vector<uint8_t> memory;  // PEEK and POKE, kPokeMemorySize bytes
  MemoryBudget budget;
  // Stored lines run compiled. Off (set before any line has run), every
  // statement goes through its handler and every expression through the
  // evaluator: both ways must agree, and tests compare them.
  bool compileLines = true;
  // Statements of stored lines that ran through their handlers for want
  // of a compiled form; the tests check that the loops of busy programs
  // never do.
  uint64_t statementsByHandler = 0;
  // Times a NEXT, RETURN, WEND, GOTO, GOSUB or line end of compiled code
  // looked for where it goes instead of taking the place it kept; the tests check that the loops
  // of busy programs never do after their first pass.
  uint64_t targetsFound = 0;

  // What the report being made is about, when the code that found the
  // error knows: the missing line's number, a variable or an element with
  // its subscript, a file. Readable from onError; the stored text never
  // carries it, and it is emptied after every report.
  std::string errorCulprit;

  // Called after every report with the number and the composed text (the
  // embedder's error callback; may be empty).
  std::function<void(int32_t, std::string_view)> onError;

 private:
  bool BeginStatementWithChecks(const TokenList& commandTokens);
  void EnterAndRun(std::string_view text);
  void RunCommandTokens(TokenList& tokens);
  void FindLowestCommandFrame(std::size_t from);
  void ReleaseRetired();
  void ReleaseRetiredDuringRun(const TokenList& commandTokens);
  void FreeRetiredLines();
  bool HasRetired() const { return !retiredLines_.empty() || !retiredVariables_.empty(); }

  static constexpr std::size_t kNoCommandFrame = static_cast<std::size_t>(-1);

  int commandDepth_ = 0;
  // No frame of a command line (line == null) sits below this index. A
  // program left by a jump out of a loop keeps its frame, so a long host
  // session can pile up frames that the end of each command must not scan.
  std::size_t lowestCommandFrame_ = kNoCommandFrame;
  void CallAttention() { attention_.fetch_add(1, std::memory_order_relaxed); }

  std::atomic<uint32_t> attention_{0};
  uint64_t codeStamp_ = 1;
  ProgramLine* currentLine_ = nullptr;
  int32_t nestingDepth_ = 0;
  bool abandoned_ = false;
  uint64_t statementLimit_ = 0;
  uint64_t statementsRun_ = 0;
  std::vector<std::unique_ptr<ProgramLine>> retiredLines_;
  std::vector<std::unique_ptr<Variable>> retiredVariables_;
  std::atomic<bool> breakRequested_{false};
};

}  // namespace tenrek
