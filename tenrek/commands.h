// The subcommands of the `tenrek` command.
#pragma once

namespace tenrek {

// `tenrek`: the interactive prompt (or a script on standard input).
int RunPrompt();
// `tenrek run FILE`: enters the numbered lines of FILE, then runs them.
int RunProgramFile(const char* path);
// `tenrek host FILE|-`: plays a host script and writes its transcript.
int RunHostCommand(int argc, char** argv);

}  // namespace tenrek
