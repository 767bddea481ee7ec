// How the run-time object talks to its Interpreter: every action and
// expression builds one command line, exactly as a user would type it,
// and submits it; the outcome lands in RunData and, on success, becomes
// event 2 at once.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "host/host_api.h"

namespace tenrek::host {

// Clears the Interpreter's error number and numeric result, executes the
// line, records the error number in RunData and, when it is 0, clears the
// last error text and generates event 2. The error's text and event 1
// arrive later with WM_BASIC_ERROR. Does nothing without an Interpreter.
// Answers false when the object was destroyed while the line ran (from a
// box): RunData may be gone and must not be touched again.
bool SubmitCommand(RunData& run, std::string_view line);

// How a loading action steps over line ends.
enum class LineEnds {
  // "Load from ...": one CR, then one LF, is skipped; further line ends
  // close empty lines, which are submitted too.
  OnePerLine,
  // "Load program block": every CR and LF after a line is skipped, so blank
  // lines are not submitted (only a text that begins with line ends
  // submits one empty line first).
  SkipBlankLines,
};

// Calls `line` with each line of `text`: the characters up to the next CR,
// LF or the end of the text.
void ForEachTextLine(std::string_view text, LineEnds ends,
                     const std::function<void(std::string_view)>& line);

// Submits "NEW", then every line of `text`; an error in one line does not
// stop the loading, the object's destruction does (answering false).
bool SubmitProgramText(RunData& run, std::string_view text, LineEnds ends);

// Calls the RunHost generate-event service, if there is one.
void GenerateEvent(RunData& run, int32_t code);

// ---- the command texts ----
std::string RunFromLineCommand(int32_t line);                                 // "RUN 20"
std::string RerunFromLineCommand(int32_t line);                               // "RERUN 20"
std::string SetIntegerCommand(std::string_view name, int32_t value);          // "LET A=5"
std::string SetStringCommand(std::string_view name, std::string_view value);  // "LET B$=hello"
// The float is widened and written with the interpreter's number text, so
// 0.1 becomes "LET X=0.1000000015".
std::string SetFloatCommand(std::string_view name, uint32_t floatBits);
std::string LoadFileCommand(std::string_view name);   // "LOAD " + name, verbatim
std::string GetCommand(std::string_view expression);  // "GET " + expression
std::string GosubCommand(int32_t line);               // "GOTO 100"

}  // namespace tenrek::host
