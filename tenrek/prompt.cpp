// The interactive prompt and the program runner.
#include <csignal>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "interp/interpreter.h"
#include "platform/native/console_platform.h"
#include "tenrek/commands.h"
#include "text/files.h"

#ifdef TENREK_HAVE_LIBEDIT
#include <editline/readline.h>
#endif

namespace tenrek {
namespace {

// The interpreter a Ctrl-C interrupts. Set only while the prompt or the
// runner owns one.
Interpreter* volatile interruptTarget = nullptr;

extern "C" void OnInterrupt(int) {
  if (interruptTarget != nullptr) interruptTarget->RequestBreak();
}

void InstallInterruptHandler(Interpreter& interp) {
  interruptTarget = &interp;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
}

// Shows every report on standard error at once, and counts them.
void ShowErrorsOnStderr(Interpreter& interp, int& reports) {
  interp.onError = [&reports](int32_t, std::string_view text) {
    ++reports;
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
  };
}

bool ReadLine(bool interactive, std::string& line) {
#ifdef TENREK_HAVE_LIBEDIT
  if (interactive) {
    char* text = readline("] ");
    if (text == nullptr) return false;
    line = text;
    if (!line.empty()) add_history(text);
    std::free(text);
    return true;
  }
#else
  if (interactive) std::fputs("] ", stdout), std::fflush(stdout);
#endif
  return ReadConsoleLine(stdin, line);
}

}  // namespace

int RunPrompt() {
  ConsolePlatform platform;
  Interpreter interp(platform);
  interp.state = RunState::Idle;
  int reports = 0;
  ShowErrorsOnStderr(interp, reports);
  InstallInterruptHandler(interp);
  const bool interactive = isatty(STDIN_FILENO) != 0;
  if (interactive) std::puts("Tenrek BASIC. Type BASIC lines; end of input (Ctrl-D) leaves.");
  std::string line;
  while (ReadLine(interactive, line)) {
    interp.TakeBreakRequest();  // a Ctrl-C typed at the prompt stops nothing
    interp.errorNumber = 0;
    interp.ExecuteCommand(line);
  }
  interruptTarget = nullptr;
  return 0;
}

int RunProgramFile(const char* path) {
  ConsolePlatform platform;
  Interpreter interp(platform);
  interp.state = RunState::Idle;
  int reports = 0;
  ShowErrorsOnStderr(interp, reports);
  if (!EnterProgramFile(interp, path)) {
    std::fprintf(stderr, "tenrek: cannot read %s\n", path);
    return 2;
  }
  InstallInterruptHandler(interp);
  interp.ExecuteCommand("RUN");
  interruptTarget = nullptr;
  return reports == 0 ? 0 : 1;
}

}  // namespace tenrek
