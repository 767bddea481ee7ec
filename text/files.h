// Program files: plain text, one numbered line per text line, CR LF line
// ends when written, either line end accepted when read.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "interp/cursor.h"

namespace tenrek {

class Interpreter;

// Evaluates a file-name operand; a number reports "Type mismatch error"
// and gives the empty name.
std::string EvaluateFileName(Interpreter& interp, StatementCursor& cursor);

// LOAD (merge false, begins with NEW) or MERGE of NAME.BAS.
void LoadProgramFile(Interpreter& interp, bool merge, std::string_view name,
                     StatementCursor& cursor);

// Enters every line of the file at `path` (no extension added) as LOAD
// does, without NEW. Returns false when the file cannot be opened.
bool EnterProgramFile(Interpreter& interp, const std::string& path);
// The same for an open stream; false when reading it failed.
bool EnterProgramStream(Interpreter& interp, std::FILE* stream);

// Whether the last part of `path` names a Windows device (CON, PRN, AUX,
// NUL, COM1 to COM9, LPT1 to LPT9, CONIN$, CONOUT$), with any extension:
// Windows opens the device for such a name in every folder.
bool NamesWindowsDevice(std::string_view path);

// Whether `path` is a file LOAD may read: a regular file (after links),
// and on Windows a disk file, not a device. Pipes, devices and folders
// never end or never read, and would hold the caller for good.
bool IsLoadableFile(const std::string& path);

}  // namespace tenrek
