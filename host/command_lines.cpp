#include "host/command_lines.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "eval/number_format.h"
#include "interp/interpreter.h"

namespace tenrek::host {

namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

std::string Joined(std::string_view a, std::string_view b) {
  std::string out;
  out.reserve(a.size() + b.size());
  out.append(a);
  out.append(b);
  return out;
}

}  // namespace

void GenerateEvent(RunData& run, int32_t code) {
  RunHost* host = run.header.runHost;
  if (host != nullptr && host->generateEvent != nullptr) host->generateEvent(&run, code, 0);
}

bool SubmitCommand(RunData& run, std::string_view line) {
  Interpreter* interp = run.interpreter;
  if (interp == nullptr) return true;
  interp->host.returnNumber = 0.0;
  interp->errorNumber = 0;
  interp->ExecuteCommand(line);
  if (interp->Abandoned()) {
    // DestroyRunObject ran inside this command and left the Interpreter to
    // the outermost command, which frees it now that nothing runs on it.
    if (interp->CommandDepth() == 0) std::unique_ptr<Interpreter> release(interp);
    return false;
  }
  run.lastErrorNumber = interp->errorNumber;
  if (run.lastErrorNumber != 0) return true;
  run.lastErrorText[0] = '\0';
  GenerateEvent(run, kEventCommandDone);
  return true;
}

void ForEachTextLine(std::string_view text, LineEnds ends,
                     const std::function<void(std::string_view)>& line) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t start = pos;
    while (pos < text.size() && !IsLineEnd(text[pos])) ++pos;
    const std::string_view current = text.substr(start, pos - start);
    if (ends == LineEnds::OnePerLine) {
      if (pos < text.size() && text[pos] == '\r') ++pos;
      if (pos < text.size() && text[pos] == '\n') ++pos;
    } else {
      while (pos < text.size() && IsLineEnd(text[pos])) ++pos;
    }
    line(current);
  }
}

bool SubmitProgramText(RunData& run, std::string_view text, LineEnds ends) {
  bool alive = SubmitCommand(run, "NEW");
  ForEachTextLine(text, ends, [&run, &alive](std::string_view line) {
    if (alive) alive = SubmitCommand(run, line);
  });
  return alive;
}

std::string RunFromLineCommand(int32_t line) { return "RUN " + std::to_string(line); }

std::string RerunFromLineCommand(int32_t line) { return "RERUN " + std::to_string(line); }

std::string SetIntegerCommand(std::string_view name, int32_t value) {
  return Joined(Joined("LET ", name), "=") + FormatNumber(static_cast<double>(value));
}

std::string SetStringCommand(std::string_view name, std::string_view value) {
  return Joined(Joined("LET ", name), "=") + std::string(value);
}

std::string SetFloatCommand(std::string_view name, uint32_t floatBits) {
  float value;
  std::memcpy(&value, &floatBits, sizeof value);
  return Joined(Joined("LET ", name), "=") + FormatNumber(static_cast<double>(value));
}

std::string LoadFileCommand(std::string_view name) { return Joined("LOAD ", name); }

std::string GetCommand(std::string_view expression) { return Joined("GET ", expression); }

std::string GosubCommand(int32_t line) { return "GOTO " + std::to_string(line); }

}  // namespace tenrek::host
