// `tenrek run FILE`: enters the numbered lines of a program file, then
// runs them.
#include <cstdio>
#include <string>

#include "interp/disassembler.h"
#include "interp/interpreter.h"
#include "interp/limits.h"
#include "tenrek/checker.h"
#include "tenrek/console_reports.h"
#include "tenrek/input_files.h"
#include "tenrek/interrupts.h"
#include "tenrek/line_editor.h"
#include "tenrek/program_source.h"
#include "tenrek/subcommands.h"
#include "tenrek/terminal_platform.h"

namespace tenrek {
namespace {

constexpr int kUnreadable = 2;
constexpr int kFailed = 1;

// Each numbered line is entered as if typed. A line that is not one is
// reported with its place in the file and left out; reports made while a
// line is entered (a line too long to list, say) name the same place.
void EnterSource(Interpreter& interp, ConsoleReports& reports, const ProgramSource& source) {
  for (const SourceLine& line : source.lines) {
    if (IsSkippedLine(line)) continue;
    if (line.tooLong) {
      reports.ShowFileProblem(
          line.number, "longer than " + std::to_string(kMaxLineLength) + " characters: left out");
      continue;
    }
    if (LineNumberEnd(line.text) == 0) {
      reports.ShowFileProblem(line.number, "not a numbered line");
      continue;
    }
    reports.AboutFileLine(line.number);
    interp.ExecuteCommand(WithTabsAsBlanks(line.text));
    reports.AboutFileLine(0);
  }
  if (source.notTextAt != 0) {
    reports.ShowFileProblem(source.notTextAt, "no line end: not text, reading stopped");
  }
}

// Reads the program file `name` (or NAME.BAS ...); false after saying why.
bool ReadProgram(const char* name, ProgramSource& source) {
  const std::string path = FindProgramFile(name);
  std::string reason;
  if (ReadProgramSource(path, source, reason)) return true;
  std::fprintf(stderr, "tenrek: cannot read %s: %s\n", path.c_str(), reason.c_str());
  return false;
}

}  // namespace

namespace {

// Reads the program file `name`, enters its lines into a fresh
// interpreter and hands that to `then`. The exit status: unreadable, or
// whether anything was reported.
template <typename Then>
int WithProgramEntered(const char* name, const Options& options, Then then) {
  ProgramSource source;
  if (!ReadProgram(name, source)) return kUnreadable;
  if (options.checkFirst && CheckProgram(source, stderr) != 0) return kFailed;
  TerminalPlatform platform;
  Interpreter interp(platform);
  PrepareInterpreter(interp, options);
  ConsoleReports reports(interp, source.name);
  platform.ReportTo(reports);
  EnterSource(interp, reports, source);
  then(interp, reports);
  return reports.Count() == 0 ? 0 : kFailed;
}

}  // namespace

int DisassembleProgramFile(const char* name, const Options& options) {
  return WithProgramEntered(name, options, [](Interpreter& interp, ConsoleReports&) {
    std::fputs(DisassembleProgram(interp).c_str(), stdout);
  });
}

int RunProgramFile(const char* name, const Options& options) {
  return WithProgramEntered(name, options, [](Interpreter& interp, ConsoleReports& reports) {
    LineEditor editor;
    const InterruptRoute interrupts(interp);
    interp.ExecuteCommand("RUN");
    reports.EndOfCommand();
  });
}

}  // namespace tenrek
