// The interactive prompt, which also plays a script of commands from a
// pipe or a file.
#include <cstdio>
#include <string>
#include <string_view>

#include "interp/interpreter.h"
#include "interp/limits.h"
#include "tenrek/console_reports.h"
#include "tenrek/interrupts.h"
#include "tenrek/line_editor.h"
#include "tenrek/subcommands.h"
#include "tenrek/terminal_platform.h"

namespace tenrek {
namespace {

constexpr const char* kHelpPage =
    "A line that starts with a number is stored in the program (a number alone\n"
    "deletes that line); any other line runs at once.\n"
    "  RUN, LIST, NEW, CLEAR        run, show, forget the program; reset variables\n"
    "  LOAD \"NAME\", SAVE \"NAME\"     read or write NAME.BAS; MERGE \"NAME\" adds it\n"
    "  DEL 10-50, RENUM             remove or renumber lines\n"
    "  BYE (QUIT) or Ctrl-D         leave; Ctrl-C stops a running program\n"
    "  help                         this page\n"
    "Outside the prompt: tenrek FILE runs a program, tenrek check FILE points out\n"
    "what other BASICs do differently. The language: man tenrek-basic; the command:\n"
    "man tenrek; the whole manual: " TENREK_DOC_DIR "/Basic.pdf\n";

bool IsHelpRequest(std::string_view line) {
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  return line == "help" || line == "HELP";
}

void ShowBanner() {
  std::printf("Tenrek BASIC %s: type help for the commands; BYE or Ctrl-D leaves.\n",
              TENREK_VERSION);
  std::puts("The manual: " TENREK_DOC_DIR "/Basic.pdf");
}

// A line the interpreter would refuse whole: said here with its reason.
void RefuseLongLine(ConsoleReports& reports, const LineEditor& editor) {
  std::string where = "input line " + std::to_string(editor.PlainInput().LineNumber());
  if (editor.Interactive()) where = "the line";
  reports.ShowFileProblem(
      0, where + " is longer than " + std::to_string(kMaxLineLength) + " characters: refused");
}

}  // namespace

void PrepareInterpreter(Interpreter& interp, const Options& options) {
  interp.state = RunState::Idle;
  if (options.seed) interp.random.Seed(*options.seed);
  interp.budget.SetLimit(options.memoryBudget);
}

int RunPrompt(const Options& options) {
  TerminalPlatform platform;
  Interpreter interp(platform);
  PrepareInterpreter(interp, options);
  ConsoleReports reports(interp, "");
  platform.ReportTo(reports);
  LineEditor editor;
  const InterruptRoute interrupts(interp);
  if (editor.Interactive()) ShowBanner();
  std::string line;
  for (;;) {
    const LineResult result = editor.Read("] ", line, true);
    if (result == LineResult::End) break;
    interp.TakeBreakRequest();  // a Ctrl-C typed at the prompt stops nothing
    if (result == LineResult::Interrupted) continue;
    if (result == LineResult::TooLong || line.size() > kMaxLineLength) {
      RefuseLongLine(reports, editor);
      continue;
    }
    if (IsHelpRequest(line)) {
      std::fputs(kHelpPage, stdout);
      continue;
    }
    interp.errorNumber = 0;
    interp.ExecuteCommand(WithTabsAsBlanks(line));
    reports.EndOfCommand();
    if (interp.quitRequested) break;
  }
  if (editor.PlainInput().NotText()) {
    reports.ShowFileProblem(0, "input line " + std::to_string(editor.PlainInput().LineNumber()) +
                                   " has no line end: not text, reading stopped");
  }
  // A script that met errors fails, as a program run does; at a terminal
  // the user has seen them.
  return !editor.Interactive() && reports.Count() != 0 ? 1 : 0;
}

}  // namespace tenrek
