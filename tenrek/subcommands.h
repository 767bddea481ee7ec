// The subcommands of the `tenrek` command.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "interp/memory_budget.h"

namespace tenrek {

class Interpreter;

// What every interpreter the command makes starts with.
struct Options {
  // RANDOM's first state; the time of day when not given (--seed N).
  std::optional<uint32_t> seed;
  // Bytes the interpreter may hold (--memory MB); past it a run ends with
  // error -2.
  std::size_t memoryBudget = kDefaultMemoryBudget;
  // `run --check`: the program runs only when the checker finds nothing.
  bool checkFirst = false;
};

// Applies `options` to a new interpreter, and makes it ready for commands.
void PrepareInterpreter(Interpreter& interp, const Options& options);

// `tenrek`: the interactive prompt (or a script on standard input).
int RunPrompt(const Options& options);
// `tenrek run FILE`: enters the numbered lines of FILE, then runs them.
int RunProgramFile(const char* path, const Options& options);
// `tenrek dis FILE`: enters the program of FILE and lists each line's
// compiled instructions; nothing runs.
int DisassembleProgramFile(const char* path, const Options& options);
// `tenrek host FILE|-`: plays a host script and writes its transcript.
int RunHostCommand(int argc, char** argv);
// `tenrek check FILE...`: warns of the dialect's traps in each program.
int RunCheckCommand(int count, char** paths);

}  // namespace tenrek
