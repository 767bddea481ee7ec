// Reading the files the command is given, with a reason when it cannot,
// and a bound on what any of them may cost.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace tenrek {

struct FileCloser {
  void operator()(std::FILE* file) const;
};
// Null for standard input, which is never closed.
using InputFile = std::unique_ptr<std::FILE, FileCloser>;

// Opens `path` for reading ("-" is standard input). Only a regular file
// opens: a device or a pipe could feed the command for ever. On failure
// returns false and sets `reason` ("No such file or directory", "Is a
// directory", "not a regular file").
bool OpenInputFile(const std::string& path, InputFile& file, std::FILE*& stream,
                   std::string& reason);

// Reads all of `path` ("-" is standard input) into `text`, at most
// `limit` bytes. On failure returns false and sets `reason`.
bool ReadInputFile(const std::string& path, std::size_t limit, std::string& text,
                   std::string& reason);

// The program file `tenrek run NAME` means: NAME itself when it exists,
// else NAME.BAS, else NAME.bas (SAVE "NAME" writes NAME.BAS). NAME when
// none exists, so that the report names what was typed.
std::string FindProgramFile(const std::string& name);

}  // namespace tenrek
