// The word layer under both host-script parsers (run-time operations here,
// editor operations in the Windows test host): script lines, their
// blank-separated words, double-quoted strings with their escapes, and
// reading a script from a file or standard input.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tenrek::host {

inline bool IsScriptBlank(char c) { return c == ' ' || c == '\t'; }

// The value of a hexadecimal digit, or -1.
int HexDigitValue(char c);

// One operation line of a script, without its line end.
struct ScriptLine {
  std::string_view text;
  int number = 0;  // in the script, from 1
};

// The lines that hold an operation: blank lines and comments (a '#' as the
// first thing on the line) are left out. Lines end in "\n" or "\r\n".
std::vector<ScriptLine> OperationLines(std::string_view script);

// The operation's name: the line's first word, as written.
std::string_view OperationName(std::string_view line);

// One blank-separated element of a script line: a double-quoted string
// (decoded) or a bare word (as written).
struct ScriptWord {
  bool quoted = false;
  std::string text;
};

// Reads a double-quoted string with the escapes \\ \" \n \r \t \xHH;
// `pos` stands on the opening quote and ends after the closing one.
std::optional<std::string> ReadScriptString(std::string_view line, std::size_t& pos,
                                            std::string& error);

// Splits a line into its elements; a string must be followed by a blank
// or the end of the line.
std::optional<std::vector<ScriptWord>> SplitScriptWords(std::string_view line, std::string& error);

// The whole of file `path`, byte for byte, or of standard input for "-".
std::optional<std::string> ReadScriptFile(const std::string& path);

}  // namespace tenrek::host
