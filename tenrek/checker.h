// `tenrek check`: reads a program without running it and warns where the
// dialect gives another answer than other BASICs would, with no error or
// with a confusing one: names that other BASICs use as functions (here
// automatic arrays), SQR where a root is meant, DEF FN, "'" remarks,
// keywords in mixed case or glued to a name, line targets that no line
// has, loops without their ends, names that differ only after their 20th
// character, lines too long, and variables read but never given a value.
#pragma once

#include <cstdio>

#include "tenrek/program_source.h"

namespace tenrek {

// Writes one line per warning to `out`,
//   FILE:LINE:COLUMN: warning: WHAT (write INSTEAD)
// where LINE is the BASIC line number (as in the run's reports) or, for a
// line that has none, the line of the file, and COLUMN counts the line's
// characters from 1. Answers the number of warnings.
int CheckProgram(const ProgramSource& source, std::FILE* out);

}  // namespace tenrek
