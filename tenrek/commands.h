// The subcommands of the `tenrek` command.
#pragma once

#include <cstddef>

namespace tenrek {

// `tenrek`: the interactive prompt (or a script on standard input), its
// interpreter held to `memoryBudget` bytes.
int RunPrompt(std::size_t memoryBudget);
// `tenrek run FILE`: enters the numbered lines of FILE, then runs them.
int RunProgramFile(const char* path, std::size_t memoryBudget);
// `tenrek host FILE|-`: plays a host script and writes its transcript.
int RunHostCommand(int argc, char** argv);

}  // namespace tenrek
