// Reading lines at the prompt and for INPUT: with editing and a history
// kept in the user's home on a terminal, plainly from standard input
// otherwise.
#pragma once

#include <string>

#include "tenrek/line_source.h"

namespace tenrek {

// TooLong: not from a terminal, a line longer than the interpreter takes;
// `line` holds its beginning.
enum class LineResult { Line, TooLong, Interrupted, End };

class LineEditor {
 public:
  LineEditor();
  ~LineEditor();
  LineEditor(const LineEditor&) = delete;
  LineEditor& operator=(const LineEditor&) = delete;

  bool Interactive() const { return interactive_; }
  // Where plain reading stands: the number of the line read last, and
  // whether reading ended because the input is not text.
  const LineSource& PlainInput() const { return plain_; }

  // Shows `prompt` (on a terminal) and reads one line into `line`.
  // Interrupted: Ctrl-C was typed, the partly typed line is dropped.
  // `remember` puts a non-empty line into the history.
  LineResult Read(const char* prompt, std::string& line, bool remember);

 private:
  void SaveHistory() const;

  bool interactive_;
  std::string historyPath_;
  LineSource plain_;
};

// The LineEditor that INPUT at a terminal shares with the prompt; null
// when none is open.
LineEditor* ActiveLineEditor();

}  // namespace tenrek
