// A program file as the runner and the checker read it: its text lines,
// each with its number in the file, none longer than a line may be.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tenrek {

struct SourceLine {
  std::size_t number = 0;  // in the file, from 1
  std::string text;        // without the line end
  bool tooLong = false;    // then `text` is its beginning only
};

struct ProgramSource {
  std::string name;  // as reports show it: the path, or "<stdin>"
  std::vector<SourceLine> lines;
  // Reading stopped at this line, which had no line end within a
  // megabyte: the input is not text. 0 when it ended normally.
  std::size_t notTextAt = 0;
};

// The most text a program file may have.
inline constexpr std::size_t kMaxProgramText = std::size_t{16} << 20;

// Reads the program file `path` ("-": standard input) into `source`. False
// with `reason` when it cannot be opened, is not a regular file, or holds
// more than kMaxProgramText characters.
bool ReadProgramSource(const std::string& path, ProgramSource& source, std::string& reason);

// Lines that the runner passes over: "#!" on the first line, so that a
// program can be made executable, and lines of nothing but blanks.
bool IsSkippedLine(const SourceLine& line);

// Where the line's number ends, past its blanks and digits; 0 when the
// line does not start with a line number other than 0.
std::size_t LineNumberEnd(std::string_view text);

}  // namespace tenrek
