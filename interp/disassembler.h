// A listing of compiled code, as `luac -l` gives one: each line of the
// program with its instructions, operands named, and the reason each
// statement that runs through its handler does so.
#pragma once

#include <string>

namespace tenrek {

class Interpreter;
struct ProgramLine;

// Every stored line compiled and listed.
std::string DisassembleProgram(Interpreter& interp);

// One line's code, compiled when it has none.
std::string DisassembleLine(Interpreter& interp, ProgramLine& line);

}  // namespace tenrek
