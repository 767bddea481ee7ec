// Reading the files the command is given, with a reason when it cannot.
#pragma once

#include <string>

namespace tenrek {

// Reads all of `path` ("-" is standard input) into `text`. On failure
// returns false and sets `reason` to the system's words for it ("Is a
// directory", "No such file or directory").
bool ReadInputFile(const std::string& path, std::string& text, std::string& reason);

// The program file `tenrek run NAME` means: NAME itself when it exists,
// else NAME.BAS, else NAME.bas (SAVE "NAME" writes NAME.BAS). NAME when
// none exists, so that the report names what was typed.
std::string FindProgramFile(const std::string& name);

}  // namespace tenrek
