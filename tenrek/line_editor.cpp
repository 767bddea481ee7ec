#include "tenrek/line_editor.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "tenrek/interrupts.h"

#ifdef TENREK_HAVE_LIBEDIT
#include <editline/readline.h>
#endif

namespace tenrek {
namespace {

LineEditor* activeEditor = nullptr;

constexpr int kHistoryLines = 1000;

std::string HistoryPathInHome() {
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') return {};
  return std::string(home) + "/.tenrek_history";
}

}  // namespace

LineEditor* ActiveLineEditor() { return activeEditor; }

LineEditor::LineEditor() : interactive_(isatty(STDIN_FILENO) != 0), plain_(stdin) {
  activeEditor = this;
#ifdef TENREK_HAVE_LIBEDIT
  if (!interactive_) return;
  historyPath_ = HistoryPathInHome();
  using_history();
  stifle_history(kHistoryLines);
  if (!historyPath_.empty()) read_history(historyPath_.c_str());
#endif
}

LineEditor::~LineEditor() { activeEditor = nullptr; }

void LineEditor::SaveHistory() const {
#ifdef TENREK_HAVE_LIBEDIT
  // Written after every line, so a closed terminal loses nothing.
  if (!historyPath_.empty()) write_history(historyPath_.c_str());
#endif
}

LineResult LineEditor::Read(const char* prompt, std::string& line, bool remember) {
#ifdef TENREK_HAVE_LIBEDIT
  if (interactive_) {
    TakeInterrupt();
    char* text = readline(prompt);
    // The editor gives up its line when Ctrl-C interrupts it; only a
    // Ctrl-D (or a closed terminal) is the end of the input.
    if (TakeInterrupt()) {
      std::free(text);
      std::fputc('\n', stdout);
      std::fflush(stdout);
      return LineResult::Interrupted;
    }
    if (text == nullptr) return LineResult::End;
    line = text;
    std::free(text);
    if (remember && !line.empty()) {
      add_history(line.c_str());
      SaveHistory();
    }
    return LineResult::Line;
  }
#else
  if (interactive_) {
    std::fputs(prompt, stdout);
    std::fflush(stdout);
  }
  (void)remember;
#endif
  switch (plain_.Next(line)) {
    case LineStatus::Line: return LineResult::Line;
    case LineStatus::TooLong: return LineResult::TooLong;
    case LineStatus::End: break;
  }
  return LineResult::End;
}

}  // namespace tenrek
