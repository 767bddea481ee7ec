#include "tenrek/terminal_platform.h"

#include <cstdio>

#include "tenrek/console_reports.h"
#include "tenrek/line_editor.h"

namespace tenrek {

std::optional<std::string> TerminalPlatform::AskInput(const InputRequest& request) {
  LineEditor* editor = ActiveLineEditor();
  if (editor == nullptr) return ConsolePlatform::AskInput(request);
  const std::string prompt = std::string(request.prompt) + " ";
  // The line editor shows the prompt only at a terminal; elsewhere it is
  // part of the output, as the dialog's prompt is part of the screen.
  if (!editor->Interactive()) WriteOutput(prompt);
  std::fflush(stdout);
  std::string answer;
  switch (editor->Read(prompt.c_str(), answer, false)) {
    case LineResult::Line:
    case LineResult::TooLong: return answer;  // the dialog, too, takes the beginning
    case LineResult::Interrupted:
      if (reports_ != nullptr) reports_->BrokenWhileWaiting();
      return std::nullopt;
    case LineResult::End: break;
  }
  if (!editor->Interactive()) WriteOutput("\n");
  if (reports_ != nullptr) reports_->NoMoreInput();
  return std::nullopt;
}

}  // namespace tenrek
